#include <algorithm>

#include "sheets/engine_objects.h"
#include "sheets/reasons.h"
#include "sheets/variant_convert.h"
#include "sheets/workbook_reader.h"

namespace vellumark::sheets::engine {
namespace {

const TypeInfo& ApplicationType() {
  static const TypeInfo type({
      {"Visible", member::kVisible, InvokeKind::kPropertyGet},
      {"Visible", member::kVisible, InvokeKind::kPropertyPut},
      {"Quit", member::kQuit, InvokeKind::kMethod},
      {"Workbooks", member::kWorkbooks, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
      {"Sheets", member::kSheets, InvokeKind::kPropertyGet},
      {"Worksheets", member::kWorksheets, InvokeKind::kPropertyGet},
      {"ActiveWorkbook", member::kActiveWorkbook, InvokeKind::kPropertyGet},
      {"ActiveSheet", member::kActiveSheet, InvokeKind::kPropertyGet},
      {"Name", member::kName, InvokeKind::kPropertyGet},
  });
  return type;
}

}  // namespace

DispatchStatus Fail(ExceptionInfo* exception, std::string_view why) {
  if (exception) exception->description = std::string(why);
  return DispatchStatus::kException;
}

void SetResult(Variant* result, Variant value) {
  if (result) *result = std::move(value);
}

bool Connected(const Workbook& workbook) {
  const auto application = workbook.application();
  return !workbook.closed() && application && !application->quit();
}

std::optional<std::uint32_t> EventSource::Advise(std::shared_ptr<Dispatch> sink) {
  if (!sink) return std::nullopt;
  const std::uint32_t cookie = next_cookie_++;
  sinks_[cookie] = std::move(sink);
  return cookie;
}

void EventSource::Unadvise(std::uint32_t cookie) { sinks_.erase(cookie); }

void EventSource::Raise(MemberId event, std::vector<Variant> args) {
  // A sink may unadvise while it is called.
  const auto sinks = sinks_;
  for (const auto& [cookie, sink] : sinks) {
    sink->Invoke(event, InvokeKind::kMethod, args, nullptr, nullptr);
  }
}

Application::Application(WorkbookFileReader reader)
    : reader_(reader ? std::move(reader) : WorkbookFileReader(&ReadWorkbookFile)) {}

const TypeInfo* Application::type_info() const { return &ApplicationType(); }

std::shared_ptr<ConnectionPoint> Application::FindConnectionPoint(
    std::string_view interface_id) {
  if (interface_id != kAppEventsInterface) return nullptr;
  return events_;
}

DispatchStatus Application::Invoke(MemberId member, InvokeKind kind,
                                   std::span<const Variant> args, Variant* result,
                                   ExceptionInfo* exception) {
  if (quit_) return DispatchStatus::kDisconnected;
  const bool get = kind == InvokeKind::kPropertyGet;
  switch (member) {
    case member::kVisible:
      if (get) {
        if (!args.empty()) return DispatchStatus::kBadParamCount;
        SetResult(result, Variant::Boolean(visible_));
        return DispatchStatus::kOk;
      }
      if (kind != InvokeKind::kPropertyPut) break;
      if (args.size() != 1) return DispatchStatus::kBadParamCount;
      if (const auto value = ChangeToNumber(args[0])) {
        visible_ = *value != 0;
        return DispatchStatus::kOk;
      }
      return DispatchStatus::kTypeMismatch;
    case member::kQuit:
      if (kind != InvokeKind::kMethod) break;
      // A close cancelled by an event handler keeps the program running.
      if (CloseAll()) quit_ = true;
      return DispatchStatus::kOk;
    case member::kWorkbooks:
      if (!get) break;
      SetResult(result, Variant::Object(MakeWorkbooks(shared_from_this())));
      return DispatchStatus::kOk;
    case member::kApplication:
      if (!get) break;
      SetResult(result, Variant::Object(shared_from_this()));
      return DispatchStatus::kOk;
    case member::kSheets:
    case member::kWorksheets:
    case member::kActiveWorkbook:
    case member::kActiveSheet: {
      if (!get) break;
      const auto workbook = active_workbook();
      if (!workbook) return Fail(exception, reasons::kNoWorkbook);
      if (member == member::kActiveWorkbook) {
        SetResult(result, Variant::Object(MakeWorkbook(workbook)));
      } else if (member == member::kActiveSheet) {
        SetResult(result, Variant::Object(MakeSheet(workbook, workbook->active_sheet())));
      } else {
        SetResult(result, Variant::Object(MakeSheets(workbook)));
      }
      return DispatchStatus::kOk;
    }
    case member::kName:
      if (!get) break;
      SetResult(result, Variant::String("Vellumark"));
      return DispatchStatus::kOk;
    default:
      break;
  }
  return DispatchStatus::kMemberNotFound;
}

void Application::AddWorkbook(const std::shared_ptr<Workbook>& workbook) {
  workbooks_.push_back(workbook);
}

void Application::ActivateWorkbook(const std::shared_ptr<Workbook>& workbook) {
  const auto previous = active_workbook();
  if (previous == workbook) return;
  if (previous) {
    Raise(event::kWorkbookDeactivate, {Variant::Object(MakeWorkbook(previous))});
  }
  active_ = workbook;
  if (workbook) {
    Raise(event::kWorkbookActivate, {Variant::Object(MakeWorkbook(workbook))});
  }
}

void Application::ActivateSheet(const std::shared_ptr<Workbook>& workbook,
                                const std::shared_ptr<SheetModel>& sheet) {
  const auto previous = workbook->active_sheet();
  if (previous == sheet) return;
  if (previous) {
    Raise(event::kSheetDeactivate, {Variant::Object(MakeSheet(workbook, previous))});
  }
  workbook->set_active_sheet(sheet);
  Raise(event::kSheetActivate, {Variant::Object(MakeSheet(workbook, sheet))});
}

bool Application::CloseWorkbook(const std::shared_ptr<Workbook>& workbook) {
  if (workbook->closed()) return true;
  Variant cancel = Variant::Boolean(false);
  Raise(event::kWorkbookBeforeClose,
        {Variant::Object(MakeWorkbook(workbook)), Variant::Reference(&cancel)});
  if (cancel.boolean()) return false;
  const bool was_active = active_workbook() == workbook;
  workbooks_.erase(std::remove(workbooks_.begin(), workbooks_.end(), workbook),
                   workbooks_.end());
  if (was_active) {
    Raise(event::kWorkbookDeactivate, {Variant::Object(MakeWorkbook(workbook))});
    active_.reset();
  }
  workbook->MarkClosed();
  if (was_active && !workbooks_.empty()) ActivateWorkbook(workbooks_.back());
  return true;
}

bool Application::CloseAll() {
  bool all = true;
  const auto open = workbooks_;
  for (const auto& workbook : open) all = CloseWorkbook(workbook) && all;
  return all;
}

}  // namespace vellumark::sheets::engine

namespace vellumark::sheets {

std::shared_ptr<Dispatch> StartEngine(WorkbookFileReader reader) {
  return std::make_shared<engine::Application>(std::move(reader));
}

}  // namespace vellumark::sheets
