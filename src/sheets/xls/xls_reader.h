#pragma once

// Reads legacy .xls workbooks (BIFF5, BIFF7 and BIFF8 inside a compound
// file): the sheet names in order and the first sheet's cells.

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "common/result.h"
#include "sheets/workbook_data.h"
#include "sheets/workbook_reader.h"

namespace vellumark::sheets {

// Bounds on what one workbook may make the reader hold in memory.
struct XlsLimits {
  std::size_t max_file_bytes = std::size_t{256} << 20;
  std::size_t max_cells = 5'000'000;
  // Text held by the first sheet's cells; a shared string counts once per
  // cell that shows it.
  std::size_t max_text_bytes = std::size_t{256} << 20;
  // Each shared string costs a string object even when it is empty.
  std::size_t max_shared_strings = 4'000'000;
};

class XlsReader : public WorkbookReader {
 public:
  explicit XlsReader(XlsLimits limits = {}) : limits_(limits) {}

  bool Recognises(std::string_view first_bytes) const override;
  Result<WorkbookData> Read(const std::filesystem::path& file) const override;

  // The same for a file already in memory (tests and fuzzing).
  Result<WorkbookData> ReadFromBytes(std::string_view bytes) const;

 private:
  XlsLimits limits_;
};

}  // namespace vellumark::sheets
