#pragma once

// The cells of one sheet substream, from its BOF record to its EOF.

#include <cstddef>
#include <string_view>

#include "common/result.h"
#include "sheets/workbook_data.h"
#include "sheets/xls/workbook_globals.h"

namespace vellumark::sheets::xls {

struct CellLimits {
  std::size_t max_cells = 0;
  std::size_t max_text_bytes = 0;
};

Result<SheetData> ReadSheetCells(std::string_view stream,
                                 const WorkbookGlobals& globals,
                                 const SheetEntry& sheet,
                                 const CellLimits& limits);

}  // namespace vellumark::sheets::xls
