#include "sheets/xls/record_cursor.h"

#include <algorithm>
#include <bit>

#include "sheets/xls/utf8_builder.h"

namespace vellumark::sheets::xls {
namespace {

constexpr std::size_t kHeaderBytes = 4;

}  // namespace

RecordCursor::RecordCursor(const Record& record)
    : part_(record.data),
      continuation_(record.continuation),
      remaining_(record.total_bytes) {}

bool RecordCursor::NextPart() {
  // The record stream checked every header and length already.
  if (continuation_.size() < kHeaderBytes) return false;
  const std::size_t length =
      static_cast<std::uint8_t>(continuation_[2]) |
      (static_cast<std::size_t>(static_cast<std::uint8_t>(continuation_[3]))
       << 8);
  part_ = continuation_.substr(kHeaderBytes, length);
  continuation_.remove_prefix(kHeaderBytes + part_.size());
  return true;
}

bool RecordCursor::Settle() {
  if (!ok_) return false;
  while (part_.empty()) {
    if (!NextPart()) return false;
  }
  return true;
}

std::uint8_t RecordCursor::U8() {
  if (!Settle()) {
    ok_ = false;
    return 0;
  }
  const auto byte = static_cast<std::uint8_t>(part_[0]);
  Consume(1);
  return byte;
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
  if (count > remaining()) {
    ok_ = false;
    return;
  }
  while (count > 0 && Settle()) {
    const std::size_t step = std::min(count, part_.size());
    Consume(step);
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
    const std::size_t step = std::min(count, part_.size());
    bytes.append(part_.substr(0, step));
    Consume(step);
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
    if (part_.empty()) {
      // A run continued in the next part starts with its own option byte.
      if (!NextPart()) {
        ok_ = false;
        break;
      }
      high_byte = (U8() & 0x01) != 0;
    }
    text.PushUnit(high_byte ? U16() : U8());
  }
  if (!ok_) return {};
  return text.Finish();
}

}  // namespace vellumark::sheets::xls
