#include "common/text_ops.h"

#include <algorithm>

namespace vellumark {

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::string TextOfInteger(std::int32_t value) { return std::to_string(value); }

std::string JoinTexts(std::initializer_list<std::string_view> parts) {
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  std::string joined;
  joined.reserve(length);
  for (std::string_view part : parts) joined.append(part);
  return joined;
}

Text RightBytes(std::string_view text, std::int32_t count) {
  if (count <= 0) return std::nullopt;
  const std::size_t k = std::min(static_cast<std::size_t>(count), text.size());
  if (k == 0) return std::nullopt;
  return std::string(text.substr(text.size() - k));
}

}  // namespace vellumark
