#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace vellumark::testing {

// Clears the proxy variables for a test and puts them back afterwards, so a
// proxy set on the machine never sees the loopback traffic of the tests.
class ProxyEnvironment {
 public:
  ProxyEnvironment() {
    for (const char* name : kNames) {
      if (const char* value = std::getenv(name)) saved_[name] = value;
      unsetenv(name);
    }
  }
  ~ProxyEnvironment() {
    for (const char* name : kNames) {
      auto found = saved_.find(name);
      if (found == saved_.end()) {
        unsetenv(name);
      } else {
        setenv(name, found->second.c_str(), 1);
      }
    }
  }
  void Set(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
  }

 private:
  static constexpr const char* kNames[] = {
      "http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
      "ALL_PROXY",  "no_proxy",    "NO_PROXY"};
  std::map<std::string, std::string> saved_;
};

}  // namespace vellumark::testing
