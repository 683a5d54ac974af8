#pragma once

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace vellumark {

// The one libcurl setup of a run: the library initialised once, and one
// share of DNS answers, connections and TLS sessions for every transfer,
// whichever thread runs it. Made on first use, ended at exit.
class CurlRuntime {
 public:
  static CurlRuntime& Get();

  CurlRuntime(const CurlRuntime&) = delete;
  CurlRuntime& operator=(const CurlRuntime&) = delete;

  CURLSH* share() const { return share_; }

 private:
  CurlRuntime();
  ~CurlRuntime();

  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self);
  static void Unlock(CURL*, curl_lock_data data, void* self);

  CURLSH* share_ = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

}  // namespace vellumark
