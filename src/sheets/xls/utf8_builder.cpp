#include "sheets/xls/utf8_builder.h"

#include <utility>

#include "common/text_ops.h"

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

void Utf8Builder::PushCodePoint(char32_t c) { AppendUtf8(text_, c); }

}  // namespace vellumark::sheets::xls
