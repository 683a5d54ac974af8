#pragma once

// The workbook component: attached to an ExcelApp, it holds that engine's
// Workbooks collection, a current workbook, its Sheets, a current worksheet
// and a current range; it opens a file, activates, hands the worksheet and
// the range out as handles, fetches ranges by address and closes all.

#include <memory>
#include <string>
#include <string_view>

#include "import/excel_app.h"
#include "sheets/automation_object.h"

namespace vellumark::import {

struct OpenOutcome {
  // The component's own answer: false only without a Workbooks collection
  // or when the engine returned no workbook; true after a refused file.
  bool result = false;
  // Whether the file was opened and is now the current workbook.
  bool opened = false;
  // Why not, for the user, when `opened` is false (e.g. "工作簿已加密").
  std::string reason;
};

class ExcelWorkbooks {
 public:
  ExcelWorkbooks() = default;
  ExcelWorkbooks(const ExcelWorkbooks&) = delete;
  ExcelWorkbooks& operator=(const ExcelWorkbooks&) = delete;

  // Lets go of everything, then takes the application's Workbooks, adds a
  // blank workbook and makes its first sheet current. False without an
  // application.
  bool AttachApplication(const ExcelApp& application);
  // On a refused file the blank workbook's sheet stays current.
  OpenOutcome OpenWorkbook(std::string_view path);
  void ActivateWorkbook();
  void ActivateWorksheet();
  sheets::AutomationObject GetWorksheet() const;
  // Stored even when no worksheet is current; the engine is not called.
  void SetRangeStart(std::string_view address);
  // Fetches the range from the start to this address; without a worksheet
  // nothing happens. A failed fetch keeps the earlier range.
  void SetRangeEnd(std::string_view address);
  sheets::AutomationObject GetRange() const;
  // Closes every workbook of the engine, the blank one included; nothing
  // is saved.
  void CloseAllWorkbooks();
  void ReleaseWorkbooks();

  const std::string& range_start() const { return range_start_; }
  const std::string& range_end() const { return range_end_; }

 private:
  std::shared_ptr<sheets::Dispatch> workbooks_;
  std::shared_ptr<sheets::Dispatch> workbook_;
  std::shared_ptr<sheets::Dispatch> sheets_;
  std::shared_ptr<sheets::Dispatch> worksheet_;
  std::shared_ptr<sheets::Dispatch> range_;
  std::string range_start_;
  std::string range_end_;
};

}  // namespace vellumark::import
