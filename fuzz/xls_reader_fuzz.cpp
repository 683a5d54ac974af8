// Feeds arbitrary bytes to the .xls reader: it must refuse or read, never
// crash, hang or run out of memory.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sheets/xls/xls_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // Small bounds keep each run quick; the reader's checks are the same.
  vellumark::sheets::XlsLimits limits;
  limits.max_file_bytes = std::size_t{4} << 20;
  limits.max_cells = 200'000;
  limits.max_text_bytes = std::size_t{16} << 20;
  const vellumark::sheets::XlsReader reader(limits);
  const auto read = reader.ReadFromBytes(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.ok()) {
    // Touch what a caller would use.
    const auto range = read->first_sheet.UsedRange();
    if (range && range->last_row < range->first_row) __builtin_trap();
  }
  return 0;
}
