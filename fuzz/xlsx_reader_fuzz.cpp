// libFuzzer entry point for the .xlsx reader: any bytes must give a
// workbook or a refusal, never a crash, a hang or runaway memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sheets/xlsx/xlsx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto workbook = vellumark::sheets::XlsxReader().ReadBytes(bytes);
  if (workbook.ok()) {
    // Touch what the engine would read.
    const auto used = workbook->first_sheet.UsedRange();
    if (used) workbook->first_sheet.Find(used->first_row, used->first_column);
  } else if (workbook.reason().empty()) {
    __builtin_trap();  // every refusal must say why
  }
  return 0;
}
