#pragma once

// The workbook-global records at the start of the stream: the BIFF
// version, the sheet list, the shared strings, the date system, the code
// page and the formats that make a cell a date.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace vellumark::sheets::xls {

struct SheetEntry {
  std::string name;  // UTF-8
  bool chart = false;
  std::uint32_t offset = 0;  // of the sheet's BOF record in the stream
};

struct WorkbookGlobals {
  bool biff8 = false;
  bool date1904 = false;
  std::uint16_t code_page = 0;
  std::vector<SheetEntry> sheets;  // in the workbook's order
  std::vector<std::string> shared_strings;
  // Per XF index: true when its number format shows a date or a time.
  std::vector<bool> date_xf;

  bool IsDateXf(std::uint16_t xf) const {
    return xf < date_xf.size() && date_xf[xf];
  }
};

// More shared strings than `max_shared_strings` is refused as too large.
Result<WorkbookGlobals> ReadWorkbookGlobals(std::string_view stream,
                                            std::size_t max_shared_strings);

}  // namespace vellumark::sheets::xls
