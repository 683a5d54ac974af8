#include "sheets/xls/biff_text.h"

namespace vellumark::sheets::xls {
namespace {

constexpr std::uint8_t kHighByte = 0x01;
constexpr std::uint8_t kFarEast = 0x04;
constexpr std::uint8_t kRich = 0x08;
constexpr std::size_t kRunBytes = 4;

std::size_t ReadCount(RecordCursor& cursor, std::size_t count_bytes) {
  return count_bytes == 1 ? cursor.U8() : cursor.U16();
}

}  // namespace

std::string ReadBiff8String(RecordCursor& cursor, std::size_t count_bytes) {
  const std::size_t count = ReadCount(cursor, count_bytes);
  const std::uint8_t options = cursor.U8();
  if (!cursor.ok()) return {};
  return cursor.Characters(count, (options & kHighByte) != 0);
}

std::string ReadSharedStringEntry(RecordCursor& cursor) {
  const std::size_t count = cursor.U16();
  const std::uint8_t options = cursor.U8();
  const std::size_t runs = (options & kRich) != 0 ? cursor.U16() : 0;
  const std::size_t far_east_bytes =
      (options & kFarEast) != 0 ? cursor.U32() : 0;
  if (!cursor.ok()) return {};
  std::string text = cursor.Characters(count, (options & kHighByte) != 0);
  // A claimed length beyond the data fails the cursor, it never waits.
  cursor.Skip(runs * kRunBytes);
  cursor.Skip(far_east_bytes);
  return text;
}

std::string ReadBiff5Bytes(RecordCursor& cursor, std::size_t count_bytes) {
  const std::size_t count = ReadCount(cursor, count_bytes);
  if (!cursor.ok()) return {};
  return cursor.Bytes(count);
}

}  // namespace vellumark::sheets::xls
