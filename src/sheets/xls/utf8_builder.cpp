#include "sheets/xls/utf8_builder.h"

#include <utility>

namespace vellumark::sheets::xls {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

void Utf8Builder::PushUnit(std::uint16_t unit) {
  if (pending_high_ != 0) {
    const std::uint16_t high = std::exchange(pending_high_, 0);
    if (IsLowSurrogate(unit)) {
      PushCodePoint(0x10000 + ((char32_t{high} - 0xD800) << 10) +
                    (char32_t{unit} - 0xDC00));
      return;
    }
    PushCodePoint(kReplacement);
  }
  if (IsHighSurrogate(unit)) {
    pending_high_ = unit;
  } else if (IsLowSurrogate(unit)) {
    PushCodePoint(kReplacement);
  } else {
    PushCodePoint(unit);
  }
}

std::string Utf8Builder::Finish() {
  if (pending_high_ != 0) {
    pending_high_ = 0;
    PushCodePoint(kReplacement);
  }
  return std::move(text_);
}

void Utf8Builder::PushCodePoint(char32_t c) {
  if (c < 0x80) {
    text_.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    text_.push_back(static_cast<char>(0xC0 | (c >> 6)));
    text_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    text_.push_back(static_cast<char>(0xE0 | (c >> 12)));
    text_.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    text_.push_back(static_cast<char>(0xF0 | (c >> 18)));
    text_.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    text_.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace vellumark::sheets::xls
