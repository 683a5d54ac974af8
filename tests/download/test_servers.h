#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace vellumark::testing {

// A server that answers each path with fixed bytes and keeps every request
// exactly as it arrived, for checks of the bytes on the wire.
class RawServer {
 public:
  struct Reply {
    std::string bytes;
    // Send, then keep the connection for a next request until Stop.
    bool hold_open = false;
  };

  RawServer();
  ~RawServer();

  void Answer(const std::string& path, Reply reply);
  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  std::vector<std::string> Requests() const;
  void Stop();

 private:
  void Serve();
  void Handle(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  std::vector<std::string> requests_;
  std::thread thread_;
  std::vector<std::thread> connections_;  // touched by the accept thread only
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

// A listener on 127.0.0.1 whose queue of pending connections is full, so a
// new connection is never completed: for connect time-outs.
class FullListener {
 public:
  FullListener();
  ~FullListener();
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

// A self-signed certificate for 127.0.0.1 that no system trusts, kept as
// PEM texts; the certificate is its own CA.
struct TestCertificate {
  std::string certificate_pem;
  std::string key_pem;
};
TestCertificate MakeSelfSignedCertificate();

// Starts a cpp-httplib server (plain or TLS) on 127.0.0.1 on a thread and
// stops it when destroyed.
class HttpServer {
 public:
  explicit HttpServer(const TestCertificate* tls = nullptr);
  ~HttpServer();
  httplib::Server& server() { return *server_; }
  void Listen();
  int port() const { return port_; }
  std::string Url(const std::string& path) const;

 private:
  std::unique_ptr<httplib::Server> server_;
  std::string scheme_;
  int listen_socket_ = -1;
  int port_ = 0;
  std::thread thread_;
};

// A gate that blocks server handlers until opened (or the test ends).
class Gate {
 public:
  void Wait();
  void Open();

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

}  // namespace vellumark::testing
