#include "import/excel_workbooks.h"

#include "import/dispatch_call.h"
#include "sheets/engine.h"
#include "sheets/reasons.h"

namespace vellumark::import {

using sheets::InvokeKind;
using sheets::Variant;
namespace member = sheets::member;

bool ExcelWorkbooks::AttachApplication(const ExcelApp& application) {
  ReleaseWorkbooks();
  sheets::Dispatch* app = application.application().get();
  if (!app) return false;
  // A failing step ends the sequence; what was set before it stays.
  auto workbooks = CallForObject(app, member::kWorkbooks, InvokeKind::kPropertyGet, {});
  if (!workbooks) return true;
  workbooks_ = std::move(workbooks);
  if (!Call(workbooks_.get(), member::kAdd, InvokeKind::kMethod, {Variant::Missing()})) {
    return true;
  }
  auto workbook = CallForObject(app, member::kApplication, InvokeKind::kPropertyGet, {});
  if (!workbook) return true;
  workbook_ = std::move(workbook);
  auto sheets = CallForObject(workbook_.get(), member::kSheets, InvokeKind::kPropertyGet, {});
  if (!sheets) return true;
  sheets_ = std::move(sheets);
  auto worksheet = CallForObject(sheets_.get(), member::kItem, InvokeKind::kPropertyGet,
                                 {Variant::Int32(1)});
  if (worksheet) worksheet_ = std::move(worksheet);
  return true;
}

OpenOutcome ExcelWorkbooks::OpenWorkbook(std::string_view path) {
  OpenOutcome outcome;
  if (!workbooks_) {
    outcome.reason = std::string(sheets::reasons::kEngineFailed);
    return outcome;
  }
  sheets::ExceptionInfo exception;
  bool failed = false;
  // The path, then twelve optional arguments, all left out.
  const Variant m = Variant::Missing();
  auto workbook = CallForObject(workbooks_.get(), member::kOpen, InvokeKind::kMethod,
                                {Variant::String(std::string(path)), m, m, m, m, m, m,
                                 m, m, m, m, m, m},
                                &exception, &failed);
  if (failed) {
    // The engine refused the file: the blank workbook stays current.
    outcome.result = true;
    outcome.reason = exception.description.empty()
                         ? std::string(sheets::reasons::kEngineFailed)
                         : exception.description;
    return outcome;
  }
  if (!workbook) {
    outcome.reason = std::string(sheets::reasons::kEngineFailed);
    return outcome;
  }
  outcome.result = true;
  outcome.opened = true;
  workbook_ = std::move(workbook);
  auto sheets = CallForObject(workbook_.get(), member::kSheets, InvokeKind::kPropertyGet, {});
  if (!sheets) return outcome;
  sheets_ = std::move(sheets);
  auto worksheet = CallForObject(sheets_.get(), member::kItem, InvokeKind::kPropertyGet,
                                 {Variant::Int32(1)});
  if (worksheet) worksheet_ = std::move(worksheet);
  return outcome;
}

void ExcelWorkbooks::ActivateWorkbook() {
  if (workbook_) Call(workbook_.get(), member::kActivate, InvokeKind::kMethod, {});
}

void ExcelWorkbooks::ActivateWorksheet() {
  if (worksheet_) Call(worksheet_.get(), member::kActivate, InvokeKind::kMethod, {});
}

sheets::AutomationObject ExcelWorkbooks::GetWorksheet() const {
  return sheets::AutomationObject(worksheet_);
}

void ExcelWorkbooks::SetRangeStart(std::string_view address) {
  range_start_.assign(address);
}

void ExcelWorkbooks::SetRangeEnd(std::string_view address) {
  if (!worksheet_) return;
  range_end_.assign(address);
  auto range = CallForObject(worksheet_.get(), member::kRange, InvokeKind::kPropertyGet,
                             {Variant::String(range_start_), Variant::String(range_end_)});
  if (range) range_ = std::move(range);
}

sheets::AutomationObject ExcelWorkbooks::GetRange() const {
  return sheets::AutomationObject(range_);
}

void ExcelWorkbooks::CloseAllWorkbooks() {
  if (workbooks_) Call(workbooks_.get(), member::kClose, InvokeKind::kMethod, {});
}

void ExcelWorkbooks::ReleaseWorkbooks() {
  workbook_.reset();
  workbooks_.reset();
  range_.reset();
  worksheet_.reset();
  sheets_.reset();
  range_start_.clear();
  range_end_.clear();
}

}  // namespace vellumark::import
