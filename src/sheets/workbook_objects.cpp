#include <cmath>

#include "common/path_text.h"
#include "sheets/engine_objects.h"
#include "sheets/reasons.h"
#include "sheets/variant_convert.h"

namespace vellumark::sheets::engine {
namespace {

constexpr std::size_t kOpenArguments = 15;

const TypeInfo& WorkbooksType() {
  static const TypeInfo type({
      {"Add", member::kAdd, InvokeKind::kMethod},
      {"Open", member::kOpen, InvokeKind::kMethod},
      {"Close", member::kClose, InvokeKind::kMethod},
      {"Count", member::kCount, InvokeKind::kPropertyGet},
      {"Item", member::kItem, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

const TypeInfo& WorkbookType() {
  static const TypeInfo type({
      {"Sheets", member::kSheets, InvokeKind::kPropertyGet},
      {"Worksheets", member::kWorksheets, InvokeKind::kPropertyGet},
      {"Activate", member::kActivate, InvokeKind::kMethod},
      {"Close", member::kClose, InvokeKind::kMethod},
      {"Save", member::kSave, InvokeKind::kMethod},
      {"PrintOut", member::kPrintOut, InvokeKind::kMethod},
      {"Name", member::kName, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

const TypeInfo& SheetsType() {
  static const TypeInfo type({
      {"Item", member::kItem, InvokeKind::kPropertyGet},
      {"Count", member::kCount, InvokeKind::kPropertyGet},
      {"Add", member::kAdd, InvokeKind::kMethod},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

// A 1-based index from a number argument; 0 when it is none.
std::size_t IndexArgument(const Variant& argument) {
  const auto number = ChangeToNumber(argument);
  if (!number || !std::isfinite(*number) || *number < 1 || *number > 1e9) return 0;
  return static_cast<std::size_t>(*number);
}

std::string FileName(const std::string& path) {
  return TextFromPath(PathFromText(path).filename());
}

class WorkbooksObject : public Dispatch {
 public:
  explicit WorkbooksObject(std::shared_ptr<Application> application)
      : application_(std::move(application)) {}

  const TypeInfo* type_info() const override { return &WorkbooksType(); }

  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override {
    if (application_->quit()) return DispatchStatus::kDisconnected;
    const bool method = kind == InvokeKind::kMethod;
    const bool get = kind == InvokeKind::kPropertyGet;
    auto& open = application_->workbooks();
    switch (member) {
      case member::kAdd:
        if (!method) break;
        if (args.size() > 1) return DispatchStatus::kBadParamCount;
        return Add(result);
      case member::kOpen:
        if (!method) break;
        if (args.empty() || args.size() > kOpenArguments) {
          return DispatchStatus::kBadParamCount;
        }
        return Open(args[0], result, exception);
      case member::kClose:
        if (!method) break;
        application_->CloseAll();
        return DispatchStatus::kOk;
      case member::kCount:
        if (!get) break;
        SetResult(result, Variant::Int32(static_cast<std::int32_t>(open.size())));
        return DispatchStatus::kOk;
      case kDefaultMember:
      case member::kItem: {
        if (!get) break;
        if (args.size() != 1) return DispatchStatus::kBadParamCount;
        const std::size_t index = IndexArgument(args[0]);
        if (index == 0 || index > open.size()) return DispatchStatus::kOverflow;
        SetResult(result, Variant::Object(MakeWorkbook(open[index - 1])));
        return DispatchStatus::kOk;
      }
      case member::kApplication:
        if (!get) break;
        SetResult(result, Variant::Object(application_));
        return DispatchStatus::kOk;
      default:
        break;
    }
    return DispatchStatus::kMemberNotFound;
  }

 private:
  DispatchStatus Add(Variant* result) {
    auto sheet = std::make_shared<SheetModel>();
    sheet->name = "Sheet1";
    auto workbook = std::make_shared<Workbook>(
        application_, "工作簿" + std::to_string(++blank_count_), false,
        std::vector<std::shared_ptr<SheetModel>>{sheet}, 1);
    workbook->set_active_sheet(sheet);
    application_->AddWorkbook(workbook);
    application_->ActivateWorkbook(workbook);
    SetResult(result, Variant::Object(MakeWorkbook(workbook)));
    return DispatchStatus::kOk;
  }

  DispatchStatus Open(const Variant& path_argument, Variant* result,
                      ExceptionInfo* exception) {
    const auto path = ChangeToText(path_argument);
    if (!path || path_argument.is_missing()) return DispatchStatus::kTypeMismatch;
    auto data = application_->reader()(PathFromText(*path));
    if (!data) return Fail(exception, data.reason());
    auto sheet = std::make_shared<SheetModel>();
    sheet->name = data->sheet_names.empty() ? "Sheet1" : data->sheet_names.front();
    sheet->data = std::move(data->first_sheet);
    const std::size_t count = std::max<std::size_t>(1, data->sheet_names.size());
    auto workbook = std::make_shared<Workbook>(
        application_, FileName(*path), data->date1904,
        std::vector<std::shared_ptr<SheetModel>>{sheet}, count);
    workbook->set_active_sheet(sheet);
    application_->AddWorkbook(workbook);
    application_->Raise(event::kWorkbookOpen,
                        {Variant::Object(MakeWorkbook(workbook))});
    application_->ActivateWorkbook(workbook);
    SetResult(result, Variant::Object(MakeWorkbook(workbook)));
    return DispatchStatus::kOk;
  }

  std::shared_ptr<Application> application_;
  static inline int blank_count_ = 0;
};

class WorkbookObject : public Dispatch {
 public:
  explicit WorkbookObject(std::shared_ptr<Workbook> workbook)
      : workbook_(std::move(workbook)) {}

  const TypeInfo* type_info() const override { return &WorkbookType(); }

  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override {
    if (!Connected(*workbook_)) return DispatchStatus::kDisconnected;
    const auto application = workbook_->application();
    const bool method = kind == InvokeKind::kMethod;
    const bool get = kind == InvokeKind::kPropertyGet;
    switch (member) {
      case member::kSheets:
      case member::kWorksheets:
        if (!get) break;
        SetResult(result, Variant::Object(MakeSheets(workbook_)));
        return DispatchStatus::kOk;
      case member::kActivate:
        if (!method) break;
        application->ActivateWorkbook(workbook_);
        return DispatchStatus::kOk;
      case member::kClose:
        if (!method) break;
        application->CloseWorkbook(workbook_);
        return DispatchStatus::kOk;
      case member::kSave:
      case member::kPrintOut: {
        if (!method) break;
        // The events come as the program raises them; the engine itself
        // never writes or prints a workbook.
        Variant cancel = Variant::Boolean(false);
        if (member == member::kSave) {
          application->Raise(event::kWorkbookBeforeSave,
                             {Variant::Object(MakeWorkbook(workbook_)),
                              Variant::Boolean(false), Variant::Reference(&cancel)});
        } else {
          application->Raise(event::kWorkbookBeforePrint,
                             {Variant::Object(MakeWorkbook(workbook_)),
                              Variant::Reference(&cancel)});
        }
        if (cancel.boolean()) return DispatchStatus::kOk;
        return Fail(exception, reasons::kReadOnly);
      }
      case member::kName:
        if (!get) break;
        SetResult(result, Variant::String(workbook_->name()));
        return DispatchStatus::kOk;
      case member::kApplication:
        if (!get) break;
        SetResult(result, Variant::Object(application));
        return DispatchStatus::kOk;
      default:
        break;
    }
    (void)args;
    return DispatchStatus::kMemberNotFound;
  }

 private:
  std::shared_ptr<Workbook> workbook_;
};

class SheetsObject : public Dispatch {
 public:
  explicit SheetsObject(std::shared_ptr<Workbook> workbook)
      : workbook_(std::move(workbook)) {}

  const TypeInfo* type_info() const override { return &SheetsType(); }

  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override {
    if (!Connected(*workbook_)) return DispatchStatus::kDisconnected;
    const bool get = kind == InvokeKind::kPropertyGet;
    auto& sheets = workbook_->sheets();
    switch (member) {
      case kDefaultMember:
      case member::kItem: {
        if (!get) break;
        if (args.size() != 1) return DispatchStatus::kBadParamCount;
        const std::size_t index = IndexArgument(args[0]);
        if (index == 0 || index > workbook_->sheet_count()) {
          return DispatchStatus::kOverflow;
        }
        if (index > sheets.size()) return Fail(exception, reasons::kOnlyFirstSheet);
        SetResult(result, Variant::Object(MakeSheet(workbook_, sheets[index - 1])));
        return DispatchStatus::kOk;
      }
      case member::kCount:
        if (!get) break;
        SetResult(result,
                  Variant::Int32(static_cast<std::int32_t>(workbook_->sheet_count())));
        return DispatchStatus::kOk;
      case member::kAdd: {
        if (kind != InvokeKind::kMethod) break;
        auto sheet = std::make_shared<SheetModel>();
        sheet->name = "Sheet" + std::to_string(workbook_->sheet_count() + 1);
        workbook_->AddSheet(sheet);
        const auto application = workbook_->application();
        application->Raise(event::kWorkbookNewSheet,
                           {Variant::Object(MakeWorkbook(workbook_)),
                            Variant::Object(MakeSheet(workbook_, sheet))});
        application->ActivateSheet(workbook_, sheet);
        SetResult(result, Variant::Object(MakeSheet(workbook_, sheet)));
        return DispatchStatus::kOk;
      }
      case member::kApplication:
        if (!get) break;
        SetResult(result, Variant::Object(workbook_->application()));
        return DispatchStatus::kOk;
      default:
        break;
    }
    return DispatchStatus::kMemberNotFound;
  }

 private:
  std::shared_ptr<Workbook> workbook_;
};

}  // namespace

std::shared_ptr<Dispatch> MakeWorkbooks(std::shared_ptr<Application> application) {
  return std::make_shared<WorkbooksObject>(std::move(application));
}

std::shared_ptr<Dispatch> MakeWorkbook(std::shared_ptr<Workbook> workbook) {
  return std::make_shared<WorkbookObject>(std::move(workbook));
}

std::shared_ptr<Dispatch> MakeSheets(std::shared_ptr<Workbook> workbook) {
  return std::make_shared<SheetsObject>(std::move(workbook));
}

}  // namespace vellumark::sheets::engine
