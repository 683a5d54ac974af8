#pragma once

// Reads one record's data together with the CONTINUE records that follow
// it. Plain reads run straight across part boundaries; a BIFF8 character
// run that crosses a boundary restarts with an option byte in the new part.
// A read past the end yields zeros and marks the cursor failed, so callers
// check ok() once after a group of reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sheets/xls/record_stream.h"

namespace vellumark::sheets::xls {

class RecordCursor {
 public:
  explicit RecordCursor(const Record& record);

  bool ok() const { return ok_; }
  std::size_t remaining() const { return ok_ ? remaining_ : 0; }

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  double F64();
  void Skip(std::size_t count);
  // Raw bytes, for BIFF5 text in the workbook's code page.
  std::string Bytes(std::size_t count);
  // `count` BIFF8 characters, one byte each (compressed) or UTF-16LE, as
  // UTF-8.
  std::string Characters(std::size_t count, bool high_byte);

 private:
  // Moves to the next CONTINUE record's data; false when there is none.
  bool NextPart();
  // Steps over exhausted parts; false when nothing is left.
  bool Settle();
  void Consume(std::size_t count) {
    part_.remove_prefix(count);
    remaining_ -= count;
  }

  std::string_view part_;          // what is left of the current part
  std::string_view continuation_;  // CONTINUE records not yet entered
  std::size_t remaining_ = 0;
  bool ok_ = true;
};

}  // namespace vellumark::sheets::xls
