#include "picture_routes.h"

#include <httplib.h>

#include <chrono>
#include <thread>

namespace vellumark::testing {
namespace {

constexpr char kHtml[] = "text/html";
constexpr char kPng[] = "image/png";

void Close(httplib::Response& response) {
  response.set_header("Connection", "close");
}

}  // namespace

std::string PictureBytes(char seed, std::size_t size) {
  std::string bytes = "\x89PNG\r\n\x1a\n";
  bytes += seed;
  for (std::size_t i = bytes.size(); i < size; ++i) {
    bytes +=
        static_cast<char>((i * 31 + static_cast<unsigned char>(seed)) % 256);
  }
  return bytes;
}

PictureRoutes::PictureRoutes(httplib::Server& server,
                             std::chrono::milliseconds slow_delay) {
  server.set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response&) {
        std::multimap<std::string, std::string> headers(request.headers.begin(),
                                                        request.headers.end());
        Note(request.target, headers);
        return httplib::Server::HandlerResponse::Unhandled;
      });
  server.Get("/pic.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_content(PictureBytes('A'), kPng);
    Close(r);
  });
  server.Get("/pic2.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_content(PictureBytes('B', 4100), kPng);
    Close(r);
  });
  server.Get(
      R"(/slow/(.*))", [this, slow_delay](const httplib::Request& request,
                                          httplib::Response& r) {
        const int now = ++in_flight_;
        int seen = max_in_flight_.load();
        while (now > seen && !max_in_flight_.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(slow_delay);
        --in_flight_;
        r.set_content(PictureBytes(request.matches[1].str().empty()
                                       ? 'S'
                                       : request.matches[1].str()[0]),
                      kPng);
        Close(r);
      });
  server.Get("/404.png", [](const httplib::Request&, httplib::Response& r) {
    r.status = 404;
    r.set_content("<html><body>Not Found</body></html>", kHtml);
    Close(r);
  });
  server.Get("/500.png", [](const httplib::Request&, httplib::Response& r) {
    r.status = 500;
    r.set_content("<html><body>Server Error</body></html>", kHtml);
    Close(r);
  });
  server.Get("/301.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_redirect("/pic.png", 301);
    Close(r);
  });
  server.Get("/302.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_redirect("/pic.png", 302);
    Close(r);
  });
  server.Get("/loop.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_redirect("/loop.png", 302);
    Close(r);
  });
  server.Get("/nolen.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_content_provider(
        kPng, [](std::size_t offset, httplib::DataSink& sink) {
          const std::string picture = PictureBytes('N', 25000);
          if (offset >= picture.size()) {
            sink.done();
            return true;
          }
          const std::size_t step =
              std::min<std::size_t>(7000, picture.size() - offset);
          sink.write(picture.data() + offset, step);
          return true;
        });
    Close(r);
  });
  server.Get("/cut.png", [](const httplib::Request&, httplib::Response& r) {
    const std::string picture = PictureBytes('C');
    r.set_content_provider(
        picture.size(), kPng,
        [picture](std::size_t offset, std::size_t, httplib::DataSink& sink) {
          if (offset > 0) return false;  // break off after the first half
          sink.write(picture.data(), picture.size() / 2);
          return true;
        });
    Close(r);
  });
  server.Get(
      "/stall.png", [this](const httplib::Request&, httplib::Response& r) {
        const std::string picture = PictureBytes('T');
        r.set_content_provider(picture.size(), kPng,
                               [this, picture](std::size_t offset, std::size_t,
                                               httplib::DataSink& sink) {
                                 stall_gate_.Wait();
                                 sink.write(picture.data() + offset,
                                            picture.size() - offset);
                                 return true;
                               });
        Close(r);
      });
  server.Get("/empty.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_content("", kPng);
    Close(r);
  });
}

void PictureRoutes::Note(
    const std::string& target,
    const std::multimap<std::string, std::string>& headers) {
  std::lock_guard<std::mutex> lock(mutex_);
  seen_.push_back({target, headers});
}

std::vector<SeenRequest> PictureRoutes::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

std::size_t PictureRoutes::SeenCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_.size();
}

}  // namespace vellumark::testing
