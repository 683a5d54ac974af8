#pragma once

#include <string_view>

#include "download/fetch_result.h"

namespace vellumark {

// One GET of `address`, blocking: HTTP/1.0, the program's User-Agent, one
// "Accept: */*", redirects followed (at most 10), the proxy from the
// environment, certificates checked. An empty address sends nothing.
FetchResult HttpFetch(std::string_view address,
                      const FetchOptions& options = {});

}  // namespace vellumark
