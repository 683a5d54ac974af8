#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "download/fetch_result.h"

namespace vellumark {

// One GET on its own easy handle, set up with the program's request
// settings; run by curl_easy_perform or by a multi handle. It collects the
// final response's status, announced length and body, and turns curl's
// outcome into a FetchResult.
class Transfer {
 public:
  Transfer(std::string_view address, const FetchOptions& options,
           const std::atomic<bool>* cancel = nullptr);
  ~Transfer();

  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Null when libcurl could not give a handle.
  CURL* handle() const { return easy_; }

  // The result once curl has finished the transfer with `code`.
  FetchResult Finish(CURLcode code);

 private:
  using Clock = std::chrono::steady_clock;

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count,
                              void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count,
                            void* self);
  static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t,
                        curl_off_t);
  void NoteHeader(std::string_view line);
  bool StatusIsSuccess() const { return status_ >= 200 && status_ < 300; }

  CURL* easy_ = nullptr;
  curl_slist* headers_ = nullptr;
  std::string url_;
  const std::atomic<bool>* cancel_;
  Clock::duration stall_timeout_;
  Clock::time_point last_byte_;

  long status_ = 0;
  std::optional<std::uint64_t> announced_;
  std::string body_;
  bool complete_ = false;  // the announced length has arrived
  bool refused_ = false;   // body not wanted: the status is no success
  bool stalled_ = false;
  bool cancelled_ = false;
};

}  // namespace vellumark
