#include "import/import_loop.h"

#include <cmath>

#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "sheets/automation_object.h"

namespace vellumark {
namespace {

using import::ExcelApp;
using import::ExcelWorkbooks;
using sheets::AutomationObject;
using sheets::ClearObject;
using sheets::GetNumberProperty;
using sheets::GetObjectProperty;
using sheets::GetTextProperty;

// The one-cell range at `column` `row`, its value read as text. The address
// is built anew for each of the two calls, as the range takes two cells.
Text ReadCell(ExcelWorkbooks& workbooks, std::string_view column,
              std::int32_t row, AutomationObject& cell) {
  workbooks.SetRangeStart(JoinTexts({column, TextOfInteger(row)}));
  workbooks.SetRangeEnd(JoinTexts({column, TextOfInteger(row)}));
  cell = workbooks.GetRange();
  return GetTextProperty(cell, "Value");
}

// Rows 1 to the used range's last row: a used range that starts below row
// 1 still has every row up to its bottom read.
std::int32_t LastUsedRow(const AutomationObject& used_range,
                         const AutomationObject& rows) {
  const std::int32_t count = TruncateToInt32(GetNumberProperty(rows, "Count"));
  if (count <= 0) return count;
  const std::int32_t first =
      TruncateToInt32(GetNumberProperty(used_range, "Row"));
  return first > 1 ? first + count - 1 : count;
}

}  // namespace

std::int32_t TruncateToInt32(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
}

ImportResult RunImport(std::string_view path, ExcelApp& application,
                       ExcelWorkbooks& workbooks, ProgramState& state,
                       const RowSink& sink) {
  AutomationObject worksheet;
  AutomationObject used_range;
  AutomationObject rows;
  AutomationObject cell;
  ImportResult result;

  const bool started = application.CreateApplication();
  application.SetVisible(false);
  workbooks.AttachApplication(application);
  const import::OpenOutcome opened = workbooks.OpenWorkbook(path);
  if (!opened.opened) {
    // Not the blank workbook's empty sheet: a refused file adds no row.
    result.refusal = !started ? std::string(kNoEngine) : opened.reason;
    if (result.refusal.empty()) result.refusal = "无法打开工作簿";
    state.RowCount = 0;
  } else {
    workbooks.ActivateWorkbook();
    workbooks.ActivateWorksheet();
    worksheet = workbooks.GetWorksheet();
    used_range = GetObjectProperty(worksheet, "UsedRange");
    rows = GetObjectProperty(used_range, "Rows");
    state.RowCount = LastUsedRow(used_range, rows);
  }

  const std::int32_t count = state.RowCount;
  for (std::int32_t pass = 1;; ++pass) {
    state.RowCursor = pass;
    if (pass > count) break;
    state.CurrentId = ReadCell(workbooks, "A", pass, cell);
    state.CurrentUrl = ReadCell(workbooks, "B", pass, cell);
    state.LastItemIndex = sink(state.CurrentId, state.CurrentUrl);
    ++result.rows;
  }

  workbooks.CloseAllWorkbooks();
  workbooks.ReleaseWorkbooks();
  application.QuitApplication();
  application.ReleaseApplication();
  for (AutomationObject* handle : {&worksheet, &used_range, &rows, &cell}) {
    ClearObject(*handle);
  }
  return result;
}

}  // namespace vellumark
