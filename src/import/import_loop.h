#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/program_state.h"
#include "common/text_ops.h"

namespace vellumark {

class ExcelApp;
class ExcelWorkbooks;

// Takes one imported row (column A, column B) and appends it where the
// front end keeps rows; returns the index it got, or -1.
using RowSink = std::function<std::int32_t(const Text& id, const Text& address)>;

struct ImportResult {
  std::int32_t rows = 0;  // rows handed to the sink
  std::string refusal;    // why the workbook was not read; empty when it was
  bool ok() const { return refusal.empty(); }
};

// Drives the two spreadsheet components over the workbook at `path`: hidden
// application, open, activate, first sheet, its used range, then cells A r
// and B r of every row from 1 to the used range's last row, each handed to
// `sink` in order; then closes, quits and releases everything. Writes
// RowCount, RowCursor, CurrentId, CurrentUrl and LastItemIndex.
ImportResult RunImport(std::string_view path, ExcelApp& application,
                       ExcelWorkbooks& workbooks, ProgramState& state,
                       const RowSink& sink);

// The low 32 bits of the number truncated toward zero; 0 for what is not a
// finite number in the 64-bit range.
std::int32_t TruncateToInt32(double value);

}  // namespace vellumark
