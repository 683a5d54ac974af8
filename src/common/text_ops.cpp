#include "common/text_ops.h"

#include <algorithm>

namespace vellumark {

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
