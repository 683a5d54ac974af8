#include "download/address.h"

namespace vellumark {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool NeedsEncoding(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return true;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '`':
    case '{':
    case '}':
      return true;
    default:
      return false;
  }
}

// Where the path begins: after "scheme://authority". The authority ends at
// the first "/", "?" or "#" after the "//".
std::size_t PathStart(std::string_view address) {
  const std::size_t slashes = address.find("://");
  if (slashes == std::string_view::npos) return 0;
  const std::size_t end = address.find_first_of("/?#", slashes + 3);
  return end == std::string_view::npos ? address.size() : end;
}

}  // namespace

bool HasHttpScheme(std::string_view address) {
  const std::string_view trimmed = Trimmed(address);
  const std::size_t colon = trimmed.find("://");
  if (colon == std::string_view::npos) return false;
  std::string scheme(trimmed.substr(0, colon));
  for (char& c : scheme) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return scheme == "http" || scheme == "https";
}

std::string_view WithoutFragment(std::string_view address) {
  return address.substr(0, address.find('#'));
}

std::string_view WithoutQueryAndFragment(std::string_view address) {
  return address.substr(0, address.find_first_of("?#"));
}

void AppendEncoded(std::string_view text, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEncoding(byte)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
}

std::string EncodeAddress(std::string_view address) {
  const std::string_view trimmed = WithoutFragment(Trimmed(address));
  const std::size_t path_start = PathStart(trimmed);
  std::string encoded;
  // Credentials ("user:password@") are encoded too; the host is left to the
  // HTTP client, which turns a non-ASCII name into its ASCII form.
  const std::size_t slashes = trimmed.find("://");
  const std::size_t at = trimmed.substr(0, path_start).rfind('@');
  if (slashes != std::string_view::npos && at != std::string_view::npos &&
      at > slashes) {
    encoded.append(trimmed.substr(0, slashes + 3));
    AppendEncoded(trimmed.substr(slashes + 3, at - slashes - 3), encoded);
    encoded.append(trimmed.substr(at, path_start - at));
  } else {
    encoded.append(trimmed.substr(0, path_start));
  }
  AppendEncoded(trimmed.substr(path_start), encoded);
  return encoded;
}

}  // namespace vellumark
