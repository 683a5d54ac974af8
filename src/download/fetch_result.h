#pragma once

#include <chrono>
#include <string>

namespace vellumark {

// What one fetch gave. `ok` only for a final 2xx with a non-empty body that
// is complete (as long as an announced Content-Length); otherwise `reason`
// says why in a few words the user can read.
struct FetchResult {
  bool ok = false;
  long status = 0;  // final HTTP status, 0 when no response came
  std::string bytes;
  std::string reason;
};

struct FetchOptions {
  std::chrono::milliseconds connect_timeout{30000};
  // A transfer that receives no byte for this long fails.
  std::chrono::milliseconds stall_timeout{30000};
  // Empty: the system's certificate store. Tests name their own CA here.
  std::string ca_file;
};

}  // namespace vellumark
