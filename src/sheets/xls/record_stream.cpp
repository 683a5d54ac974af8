#include "sheets/xls/record_stream.h"

namespace vellumark::sheets::xls {
namespace {

constexpr std::size_t kHeaderBytes = 4;

std::uint16_t ReadU16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(
      static_cast<std::uint8_t>(bytes[at]) |
      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

}  // namespace

bool RecordStream::Seek(std::size_t offset) {
  if (offset >= stream_.size()) return false;
  position_ = offset;
  return true;
}

bool RecordStream::ReadOne(std::uint16_t& type, std::string_view& body) {
  if (stream_.size() - position_ < kHeaderBytes) return false;
  type = ReadU16(stream_, position_);
  const std::size_t length = ReadU16(stream_, position_ + 2);
  if (stream_.size() - position_ - kHeaderBytes < length) return false;
  body = stream_.substr(position_ + kHeaderBytes, length);
  position_ += kHeaderBytes + length;
  return true;
}

RecordStream::Step RecordStream::Next(Record& out) {
  if (position_ >= stream_.size()) return Step::kEnd;
  // Writers pad the stream's last sector with zeros; a zero record type
  // with no length there is padding, not data.
  out.offset = position_;
  std::string_view body;
  if (!ReadOne(out.type, body)) {
    const std::string_view rest = stream_.substr(position_);
    if (rest.find_first_not_of('\0') == std::string_view::npos) {
      position_ = stream_.size();
      return Step::kEnd;
    }
    return Step::kBroken;
  }
  out.data = body;
  out.total_bytes = body.size();
  // Each CONTINUE is at least a header, so this loop ends with the stream.
  const std::size_t continuation_start = position_;
  while (stream_.size() - position_ >= kHeaderBytes &&
         ReadU16(stream_, position_) == record::kContinue) {
    std::uint16_t type = 0;
    if (!ReadOne(type, body)) return Step::kBroken;
    out.total_bytes += body.size();
  }
  out.continuation =
      stream_.substr(continuation_start, position_ - continuation_start);
  return Step::kRecord;
}

}  // namespace vellumark::sheets::xls
