#include "sheets/xls/record_cursor.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "sheets/xls/utf8_builder.h"

namespace vellumark::sheets::xls {

RecordCursor::RecordCursor(std::span<const std::string_view> parts)
    : parts_(parts) {
  if (parts_.empty()) ok_ = false;
}

std::size_t RecordCursor::remaining() const {
  if (!ok_) return 0;
  std::size_t total = parts_[part_].size() - offset_;
  for (std::size_t i = part_ + 1; i < parts_.size(); ++i) {
    total += parts_[i].size();
  }
  return total;
}

bool RecordCursor::Settle() {
  if (!ok_) return false;
  while (AtPartEnd()) {
    if (part_ + 1 >= parts_.size()) return false;
    ++part_;
    offset_ = 0;
  }
  return true;
}

std::uint8_t RecordCursor::U8() {
  if (!Settle()) {
    ok_ = false;
    return 0;
  }
  return static_cast<std::uint8_t>(parts_[part_][offset_++]);
}

std::uint16_t RecordCursor::U16() {
  const std::uint16_t low = U8();
  const std::uint16_t high = U8();
  return ok_ ? static_cast<std::uint16_t>(low | (high << 8)) : 0;
}

std::uint32_t RecordCursor::U32() {
  const std::uint32_t low = U16();
  const std::uint32_t high = U16();
  return ok_ ? (low | (high << 16)) : 0;
}

double RecordCursor::F64() {
  const std::uint64_t low = U32();
  const std::uint64_t high = U32();
  if (!ok_) return 0;
  return std::bit_cast<double>(low | (high << 32));
}

void RecordCursor::Skip(std::size_t count) {
  while (count > 0) {
    if (!Settle()) {
      ok_ = false;
      return;
    }
    const std::size_t step = std::min(count, parts_[part_].size() - offset_);
    offset_ += step;
    count -= step;
  }
}

std::string RecordCursor::Bytes(std::size_t count) {
  if (count > remaining()) {
    ok_ = false;
    return {};
  }
  std::string bytes;
  bytes.reserve(count);
  while (count > 0 && Settle()) {
    const std::size_t step = std::min(count, parts_[part_].size() - offset_);
    bytes.append(parts_[part_].substr(offset_, step));
    offset_ += step;
    count -= step;
  }
  return bytes;
}

std::string RecordCursor::Characters(std::size_t count, bool high_byte) {
  // Each character takes at least one byte: a count beyond what is left is
  // refused before anything is allocated for it.
  if (count > remaining()) {
    ok_ = false;
    return {};
  }
  Utf8Builder text;
  for (std::size_t i = 0; i < count && ok_; ++i) {
    if (AtPartEnd()) {
      // A run continued in the next part starts with its own option byte.
      if (part_ + 1 >= parts_.size()) {
        ok_ = false;
        break;
      }
      ++part_;
      offset_ = 0;
      high_byte = (U8() & 0x01) != 0;
    }
    text.PushUnit(high_byte ? U16() : U8());
  }
  if (!ok_) return {};
  return text.Finish();
}

}  // namespace vellumark::sheets::xls
