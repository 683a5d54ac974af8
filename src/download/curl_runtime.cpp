#include "download/curl_runtime.h"

namespace vellumark {

CurlRuntime& CurlRuntime::Get() {
  static CurlRuntime runtime;
  return runtime;
}

CurlRuntime::CurlRuntime() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  share_ = curl_share_init();
  if (share_ == nullptr) return;
  curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlRuntime::Lock);
  curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlRuntime::Unlock);
  curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
}

CurlRuntime::~CurlRuntime() {
  if (share_ != nullptr) curl_share_cleanup(share_);
  curl_global_cleanup();
}

void CurlRuntime::Lock(CURL*, curl_lock_data data, curl_lock_access,
                       void* self) {
  static_cast<CurlRuntime*>(self)->locks_[data].lock();
}

void CurlRuntime::Unlock(CURL*, curl_lock_data data, void* self) {
  static_cast<CurlRuntime*>(self)->locks_[data].unlock();
}

}  // namespace vellumark
