#pragma once

#include <string>
#include <string_view>

namespace vellumark {

// Whether the address names the scheme http or https (in any case); other
// addresses are never handed to the HTTP client.
bool HasHttpScheme(std::string_view address);

// The address without its fragment ("#..."), which is never sent.
std::string_view WithoutFragment(std::string_view address);

// The address without its query ("?...") and fragment: what the file ending
// is taken from, so ".../a.png?x=1" ends in ".png".
std::string_view WithoutQueryAndFragment(std::string_view address);

// The address as a browser would send it: surrounding blanks dropped, the
// fragment removed, and in the credentials, path and query every space,
// control byte, non-ASCII byte and one of "<>`{} percent-encoded ("%20",
// "%E5..."). Scheme and host are left as they are; "%" is kept, so an
// address that is already encoded is not encoded twice.
std::string EncodeAddress(std::string_view address);

}  // namespace vellumark
