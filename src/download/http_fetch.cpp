#include "download/http_fetch.h"

#include "download/address.h"
#include "download/transfer.h"

namespace vellumark {

FetchResult HttpFetch(std::string_view address, const FetchOptions& options) {
  if (address.empty()) {
    FetchResult nothing;
    nothing.reason = "没有地址";
    return nothing;
  }
  if (!HasHttpScheme(address)) {
    FetchResult refused;
    refused.reason = "地址无效";
    return refused;
  }
  Transfer transfer(address, options);
  if (transfer.handle() == nullptr) return transfer.Finish(CURLE_FAILED_INIT);
  return transfer.Finish(curl_easy_perform(transfer.handle()));
}

}  // namespace vellumark
