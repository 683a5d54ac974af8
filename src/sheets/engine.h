#pragma once

// The spreadsheet engine: an in-process application object answering the
// members of the spreadsheet program's automation model by member id and
// by name.

#include <filesystem>
#include <functional>
#include <memory>

#include "common/result.h"
#include "sheets/dispatch.h"
#include "sheets/workbook_data.h"

namespace vellumark::sheets {

namespace member {
inline constexpr MemberId kValue = 0x6;
inline constexpr MemberId kCount = 0x76;
inline constexpr MemberId kApplication = 0x94;
inline constexpr MemberId kItem = 0xAA;
inline constexpr MemberId kAdd = 0xB5;
inline constexpr MemberId kRange = 0xC5;
inline constexpr MemberId kAddress = 0xEC;
inline constexpr MemberId kColumn = 0xF0;
inline constexpr MemberId kColumns = 0xF1;
inline constexpr MemberId kRow = 0x101;
inline constexpr MemberId kRows = 0x102;
inline constexpr MemberId kName = 0x6E;
inline constexpr MemberId kClose = 0x115;
inline constexpr MemberId kSave = 0x11B;
inline constexpr MemberId kQuit = 0x12E;
inline constexpr MemberId kActivate = 0x130;
inline constexpr MemberId kActiveSheet = 0x133;
inline constexpr MemberId kActiveWorkbook = 0x134;
inline constexpr MemberId kUsedRange = 0x19C;
inline constexpr MemberId kSheets = 0x1E5;
inline constexpr MemberId kWorksheets = 0x1EE;
inline constexpr MemberId kVisible = 0x22E;
inline constexpr MemberId kWorkbooks = 0x23C;
inline constexpr MemberId kOpen = 0x2AA;
inline constexpr MemberId kPrintOut = 0x389;
}  // namespace member

// The application events, by member id, in the order of their numbers.
namespace event {
inline constexpr MemberId kWorkbookOpen = 0x61F;
inline constexpr MemberId kWorkbookActivate = 0x620;
inline constexpr MemberId kWorkbookDeactivate = 0x621;
inline constexpr MemberId kWorkbookBeforeClose = 0x622;
inline constexpr MemberId kWorkbookBeforeSave = 0x623;
inline constexpr MemberId kWorkbookBeforePrint = 0x624;
inline constexpr MemberId kWorkbookNewSheet = 0x625;
inline constexpr MemberId kSheetActivate = 0x619;
inline constexpr MemberId kSheetDeactivate = 0x61A;
}  // namespace event

using WorkbookFileReader =
    std::function<Result<WorkbookData>(const std::filesystem::path&)>;

// A new application with no workbook open. `reader` opens workbook files;
// by default ReadWorkbookFile. A refused file makes Workbooks.Open fail
// with the refusal's reason as the exception description.
std::shared_ptr<Dispatch> StartEngine(WorkbookFileReader reader = {});

// The value a one-cell range answers for a cell: dates become automation
// dates (the 1904 system and the phantom 1900-02-29 accounted for).
Variant CellVariant(const CellValue* cell, bool date1904);

}  // namespace vellumark::sheets
