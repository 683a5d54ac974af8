#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/program_state.h"
#include "common/text_ops.h"

namespace vellumark {

namespace import {
class ExcelApp;
class ExcelWorkbooks;
}  // namespace import

// Takes one imported row (column A, column B) and appends it where the
// front end keeps rows; returns the index it got, or -1.
using RowSink =
    std::function<std::int32_t(const Text& id, const Text& address)>;

struct ImportResult {
  std::int32_t rows = 0;  // rows handed to the sink
  std::string refusal;    // why the workbook was not read; empty when it was
  bool ok() const { return refusal.empty(); }
};

inline constexpr std::string_view kNoEngine = "没有可用的表格引擎";

// Drives the two spreadsheet components over the workbook at `path`: hidden
// application, open, activate, first sheet, its used range, then cells A r
// and B r of every row from 1 to the used range's last row, each handed to
// `sink` in order; then closes, quits and releases everything. Writes
// RowCount, RowCursor, CurrentId, CurrentUrl and LastItemIndex. A workbook
// that cannot be opened adds no row: the result says why.
ImportResult RunImport(std::string_view path, import::ExcelApp& application,
                       import::ExcelWorkbooks& workbooks, ProgramState& state,
                       const RowSink& sink);

// The low 32 bits of the number truncated toward zero; 0 for what is not a
// finite number in the 64-bit range.
std::int32_t TruncateToInt32(double value);

}  // namespace vellumark
