#pragma once

// The readers behind one interface. A refusal carries a reason the import
// can show the user (in Chinese, like the rest of the window).

#include <filesystem>

#include "common/result.h"
#include "sheets/workbook_data.h"

namespace vellumark::sheets {

class WorkbookReader {
 public:
  virtual ~WorkbookReader() = default;
  // True when the first bytes of a file look like this reader's format.
  virtual bool Recognises(std::string_view first_bytes) const = 0;
  virtual Result<WorkbookData> Read(
      const std::filesystem::path& file) const = 0;
};

// Picks the reader by the file's first bytes (a zip for .xlsx, a compound
// file for .xls) and reads the workbook's first sheet.
Result<WorkbookData> ReadWorkbookFile(const std::filesystem::path& file);

}  // namespace vellumark::sheets
