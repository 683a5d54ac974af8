#pragma once

// Walks the BIFF records of a workbook stream: a 2-byte type, a 2-byte
// length and that many bytes. A record comes with the data of the CONTINUE
// records right behind it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vellumark::sheets::xls {

namespace record {
inline constexpr std::uint16_t kFormula = 0x0006;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kFilePass = 0x002F;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kRString = 0x00D6;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kLabel = 0x0204;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kFormula3 = 0x0206;
inline constexpr std::uint16_t kString = 0x0207;
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kTable = 0x0236;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kFormula4 = 0x0406;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kSharedFormula = 0x04BC;
inline constexpr std::uint16_t kBof = 0x0809;
}  // namespace record

struct Record {
  std::uint16_t type = 0;
  std::size_t offset = 0;  // of the record header in the stream
  std::string_view data;   // the record's own data
  // The CONTINUE records right behind it, headers included, and the sum of
  // all data lengths. Kept as one view so that a record continued a
  // million times costs no memory.
  std::string_view continuation;
  std::size_t total_bytes = 0;
};

class RecordStream {
 public:
  enum class Step { kRecord, kEnd, kBroken };

  explicit RecordStream(std::string_view stream) : stream_(stream) {}

  // False when the offset lies outside the stream.
  bool Seek(std::size_t offset);
  // kBroken when a header or a body runs past the end of the stream.
  Step Next(Record& out);

 private:
  // Reads one header and body at position_; false when it does not fit.
  bool ReadOne(std::uint16_t& type, std::string_view& body);

  std::string_view stream_;
  std::size_t position_ = 0;
};

}  // namespace vellumark::sheets::xls
