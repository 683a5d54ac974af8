#pragma once

#include <filesystem>
#include <string>

#include "picture_routes.h"
#include "proxy_environment.h"
#include "test_servers.h"

namespace vellumark::testing {

// What a download test stands on: the picture routes on a local server,
// the proxy variables cleared, and a fresh folder; all gone at the end.
class ServedFolder {
 public:
  explicit ServedFolder(const std::string& label);
  ~ServedFolder();

  std::string Url(const std::string& path) const { return http_.Url(path); }
  PictureRoutes& routes() { return routes_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  ProxyEnvironment proxies_;
  HttpServer http_;
  PictureRoutes routes_;
  std::filesystem::path folder_;
};

std::string ReadFile(const std::filesystem::path& path);

}  // namespace vellumark::testing
