#pragma once

#include <string_view>

#include "sheets/workbook_reader.h"

namespace vellumark::sheets {

// Office Open XML workbooks (.xlsx), transitional or strict: a zip package
// whose parts are streamed, never held whole.
class XlsxReader : public WorkbookReader {
 public:
  bool Recognises(std::string_view first_bytes) const override;
  Result<WorkbookData> Read(const std::filesystem::path& file) const override;
  // The same from bytes in memory (the fuzz target reads this way).
  Result<WorkbookData> ReadBytes(std::string_view bytes) const;
};

}  // namespace vellumark::sheets
