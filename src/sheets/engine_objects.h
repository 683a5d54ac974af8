#pragma once

// The engine's objects. Children hold their parents strongly (as automation
// objects keep what they belong to alive); the application holds its open
// workbooks, and a workbook reaches its application only weakly.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sheets/engine.h"

namespace vellumark::sheets::engine {

class Application;

// One sheet of a workbook: its cells and its kind.
struct SheetModel {
  std::string name;
  SheetData data;
};

class Workbook {
 public:
  Workbook(std::weak_ptr<Application> application, std::string name,
           bool date1904, std::vector<std::shared_ptr<SheetModel>> sheets,
           std::size_t sheet_count)
      : application_(std::move(application)),
        name_(std::move(name)),
        date1904_(date1904),
        sheets_(std::move(sheets)),
        sheet_count_(sheet_count) {}

  std::shared_ptr<Application> application() const { return application_.lock(); }
  const std::string& name() const { return name_; }
  bool date1904() const { return date1904_; }
  bool closed() const { return closed_; }
  void MarkClosed() { closed_ = true; }

  // Sheets the engine holds cells for, and how many the file has.
  std::vector<std::shared_ptr<SheetModel>>& sheets() { return sheets_; }
  std::size_t sheet_count() const { return sheet_count_; }
  void AddSheet(std::shared_ptr<SheetModel> sheet) {
    sheets_.insert(sheets_.begin(), std::move(sheet));
    ++sheet_count_;
  }
  std::shared_ptr<SheetModel> active_sheet() const { return active_sheet_.lock(); }
  void set_active_sheet(const std::shared_ptr<SheetModel>& sheet) { active_sheet_ = sheet; }

 private:
  std::weak_ptr<Application> application_;
  std::string name_;
  bool date1904_;
  std::vector<std::shared_ptr<SheetModel>> sheets_;
  std::size_t sheet_count_;
  std::weak_ptr<SheetModel> active_sheet_;
  bool closed_ = false;
};

// Delivers events to the advised sinks.
class EventSource : public ConnectionPoint {
 public:
  std::optional<std::uint32_t> Advise(std::shared_ptr<Dispatch> sink) override;
  void Unadvise(std::uint32_t cookie) override;
  void Raise(MemberId event, std::vector<Variant> args);

 private:
  std::uint32_t next_cookie_ = 1;
  std::map<std::uint32_t, std::shared_ptr<Dispatch>> sinks_;
};

class Application : public Dispatch,
                    public std::enable_shared_from_this<Application> {
 public:
  explicit Application(WorkbookFileReader reader);

  const TypeInfo* type_info() const override;
  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override;
  std::shared_ptr<ConnectionPoint> FindConnectionPoint(
      std::string_view interface_id) override;

  bool quit() const { return quit_; }
  const WorkbookFileReader& reader() const { return reader_; }
  std::vector<std::shared_ptr<Workbook>>& workbooks() { return workbooks_; }
  std::shared_ptr<Workbook> active_workbook() const { return active_.lock(); }

  // Opens `workbook` as the program does: it becomes the active one.
  void AddWorkbook(const std::shared_ptr<Workbook>& workbook);
  void ActivateWorkbook(const std::shared_ptr<Workbook>& workbook);
  void ActivateSheet(const std::shared_ptr<Workbook>& workbook,
                     const std::shared_ptr<SheetModel>& sheet);
  // False when an event handler cancelled the close.
  bool CloseWorkbook(const std::shared_ptr<Workbook>& workbook);
  // False when any close was cancelled.
  bool CloseAll();
  void Raise(MemberId event, std::vector<Variant> args) {
    events_->Raise(event, std::move(args));
  }

 private:
  WorkbookFileReader reader_;
  bool visible_ = true;
  bool quit_ = false;
  std::vector<std::shared_ptr<Workbook>> workbooks_;
  std::weak_ptr<Workbook> active_;
  std::shared_ptr<EventSource> events_ = std::make_shared<EventSource>();
};

// The dispatch objects handed out, made on demand.
std::shared_ptr<Dispatch> MakeWorkbooks(std::shared_ptr<Application> application);
std::shared_ptr<Dispatch> MakeWorkbook(std::shared_ptr<Workbook> workbook);
std::shared_ptr<Dispatch> MakeSheets(std::shared_ptr<Workbook> workbook);
std::shared_ptr<Dispatch> MakeSheet(std::shared_ptr<Workbook> workbook,
                                    std::shared_ptr<SheetModel> sheet);

// Shared helpers of the objects' Invoke.
DispatchStatus Fail(ExceptionInfo* exception, std::string_view why);
void SetResult(Variant* result, Variant value);
// True for a workbook that is still open in a running application.
bool Connected(const Workbook& workbook);

}  // namespace vellumark::sheets::engine
