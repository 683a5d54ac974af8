#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "test_servers.h"

namespace httplib {
class Server;
}

namespace vellumark::testing {

// Two distinct bodies that look like pictures (binary, with zero bytes).
std::string PictureBytes(char seed, std::size_t size = 3000);

struct SeenRequest {
  std::string target;
  std::multimap<std::string, std::string> headers;
};

// The routes every download test needs, each answer closing its connection:
//   /pic.png /pic2.png   a picture; /slow/NAME waits `slow_delay` first
//   /404.png /500.png    error pages with HTML bodies
//   /301.png /302.png    redirects to /pic.png; /loop.png redirects to itself
//   /nolen.png           a picture without Content-Length
//   /cut.png             half a picture, then the connection breaks
//   /stall.png           headers, then nothing until the gate opens
//   /empty.png           200 with an empty body
class PictureRoutes {
 public:
  explicit PictureRoutes(
      httplib::Server& server,
      std::chrono::milliseconds slow_delay = std::chrono::milliseconds(100));

  std::vector<SeenRequest> Seen() const;
  std::size_t SeenCount() const;
  int MaxInFlight() const { return max_in_flight_.load(); }
  Gate& stall_gate() { return stall_gate_; }

 private:
  void Note(const std::string& target,
            const std::multimap<std::string, std::string>& headers);

  mutable std::mutex mutex_;
  std::vector<SeenRequest> seen_;
  std::atomic<int> in_flight_{0};
  std::atomic<int> max_in_flight_{0};
  Gate stall_gate_;
};

}  // namespace vellumark::testing
