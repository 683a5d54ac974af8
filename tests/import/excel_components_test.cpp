#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "sheets/engine.h"

namespace vellumark::import {
namespace {

using sheets::Dispatch;
using sheets::DispatchStatus;
using sheets::InvokeKind;
using sheets::MemberId;
using sheets::Variant;
namespace member = sheets::member;

using Log = std::vector<std::string>;

std::string Describe(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::kString:
      return "'" + v.string() + "'";
    case Variant::Kind::kInt32:
      return std::to_string(v.int32());
    case Variant::Kind::kBoolean:
      return v.boolean() ? "true" : "false";
    default:
      return v.is_missing() ? "missing" : "?";
  }
}

// A stand-in for the engine: every object logs the calls it gets as
// "name kind member args" and answers from its script.
class FakeObject : public Dispatch,
                   public std::enable_shared_from_this<FakeObject> {
 public:
  struct Answer {
    DispatchStatus status = DispatchStatus::kOk;
    Variant value;
    std::string exception;
  };

  FakeObject(std::string name, std::shared_ptr<Log> log)
      : name_(std::move(name)), log_(std::move(log)) {}

  void On(MemberId member, Answer answer) { answers_[member] = std::move(answer); }
  void Returns(MemberId member, std::shared_ptr<Dispatch> object) {
    answers_[member] = Answer{DispatchStatus::kOk, Variant::Object(std::move(object)), {}};
  }

  const sheets::TypeInfo* type_info() const override { return nullptr; }
  DispatchStatus Invoke(MemberId member, InvokeKind kind, std::span<const Variant> args,
                        Variant* result, sheets::ExceptionInfo* exception) override {
    static const std::map<InvokeKind, std::string> kinds = {
        {InvokeKind::kMethod, "call"},
        {InvokeKind::kPropertyGet, "get"},
        {InvokeKind::kPropertyPut, "put"}};
    std::string entry = name_ + " " + kinds.at(kind) + " " + std::to_string(member);
    for (const Variant& arg : args) entry += " " + Describe(arg);
    log_->push_back(entry);
    const auto found = answers_.find(member);
    if (found == answers_.end()) return DispatchStatus::kOk;
    if (result) *result = found->second.value;
    if (exception) exception->description = found->second.exception;
    return found->second.status;
  }

  std::shared_ptr<sheets::ConnectionPoint> FindConnectionPoint(std::string_view id) override {
    return id == sheets::kAppEventsInterface ? connection : nullptr;
  }
  std::shared_ptr<sheets::ConnectionPoint> connection;

 private:
  std::string name_;
  std::shared_ptr<Log> log_;
  std::map<MemberId, Answer> answers_;
};

class FakeConnection : public sheets::ConnectionPoint {
 public:
  explicit FakeConnection(std::shared_ptr<Log> log) : log_(std::move(log)) {}
  std::optional<std::uint32_t> Advise(std::shared_ptr<Dispatch> sink) override {
    this->sink = sink;
    log_->push_back("advise");
    return 7;
  }
  void Unadvise(std::uint32_t cookie) override {
    log_->push_back("unadvise " + std::to_string(cookie));
    sink.reset();
  }
  std::shared_ptr<Dispatch> sink;

 private:
  std::shared_ptr<Log> log_;
};

// An engine of fakes: the application, its Workbooks, a blank workbook
// with a sheet, and an opened workbook with a sheet.
struct FakeEngine {
  std::shared_ptr<Log> log = std::make_shared<Log>();
  std::shared_ptr<FakeObject> app = Make("app");
  std::shared_ptr<FakeObject> workbooks = Make("workbooks");
  std::shared_ptr<FakeObject> blank_sheets = Make("blank_sheets");
  std::shared_ptr<FakeObject> blank_sheet = Make("blank_sheet");
  std::shared_ptr<FakeObject> book = Make("book");
  std::shared_ptr<FakeObject> book_sheets = Make("book_sheets");
  std::shared_ptr<FakeObject> book_sheet = Make("book_sheet");
  std::shared_ptr<FakeObject> range = Make("range");
  std::shared_ptr<FakeConnection> connection = std::make_shared<FakeConnection>(log);
  int started = 0;

  FakeEngine() {
    app->connection = connection;
    app->Returns(member::kWorkbooks, workbooks);
    app->Returns(member::kApplication, app);
    app->Returns(member::kSheets, blank_sheets);
    blank_sheets->Returns(member::kItem, blank_sheet);
    workbooks->Returns(member::kOpen, book);
    book->Returns(member::kSheets, book_sheets);
    book_sheets->Returns(member::kItem, book_sheet);
    book_sheet->Returns(member::kRange, range);
    blank_sheet->Returns(member::kRange, range);
  }

  std::shared_ptr<FakeObject> Make(const std::string& name) {
    return std::make_shared<FakeObject>(name, log);
  }
  ExcelApp::EngineFactory Factory() {
    return [this] {
      ++started;
      return app;
    };
  }
};

const std::string kMissing12 =
    " missing missing missing missing missing missing missing missing missing "
    "missing missing missing";

TEST(ExcelComponentsTest, ImportCycleSendsTheCallsInOrder) {
  FakeEngine engine;
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  EXPECT_TRUE(app.CreateApplication());
  app.SetVisible(false);
  EXPECT_TRUE(books.AttachApplication(app));
  const OpenOutcome outcome = books.OpenWorkbook("/tmp/ids.xlsx");
  EXPECT_TRUE(outcome.result);
  EXPECT_TRUE(outcome.opened);
  books.ActivateWorkbook();
  books.ActivateWorksheet();
  sheets::AutomationObject sheet = books.GetWorksheet();
  books.SetRangeStart("A7");
  books.SetRangeEnd("A7");
  sheets::AutomationObject cell = books.GetRange();
  books.CloseAllWorkbooks();
  books.ReleaseWorkbooks();
  app.QuitApplication();
  app.ReleaseApplication();

  const Log expected = {
      "advise",
      "app put 558 false",                     // Visible
      "app get 572",                           // Workbooks
      "workbooks call 181 missing",            // Add
      "app get 148",                           // Application
      "app get 485",                           // Sheets
      "blank_sheets get 170 1",                // Item(1)
      "workbooks call 682 '/tmp/ids.xlsx'" + kMissing12,  // Open
      "book get 485",
      "book_sheets get 170 1",
      "book call 304",                         // Activate
      "book_sheet call 304",
      "book_sheet get 197 'A7' 'A7'",          // Range
      "workbooks call 277",                    // Close
      "app call 302",                          // Quit
      "unadvise 7",
  };
  EXPECT_EQ(*engine.log, expected);
  // The handles keep their objects after every release.
  EXPECT_EQ(sheet.object(), engine.book_sheet);
  EXPECT_EQ(cell.object(), engine.range);
}

TEST(ExcelComponentsTest, WithoutAnEngineNothingIsCalledAndHandlesAreEmpty) {
  ExcelApp app(ExcelApp::NoEngine());
  ExcelWorkbooks books;
  EXPECT_FALSE(app.CreateApplication());
  app.SetVisible(false);
  EXPECT_FALSE(books.AttachApplication(app));
  const OpenOutcome outcome = books.OpenWorkbook("/tmp/ids.xlsx");
  EXPECT_FALSE(outcome.result);
  EXPECT_FALSE(outcome.opened);
  EXPECT_FALSE(outcome.reason.empty());
  books.ActivateWorkbook();
  books.ActivateWorksheet();
  EXPECT_TRUE(books.GetWorksheet().empty());
  books.SetRangeStart("A1");
  books.SetRangeEnd("A1");
  EXPECT_EQ(books.range_start(), "A1");
  EXPECT_EQ(books.range_end(), "");
  EXPECT_TRUE(books.GetRange().empty());
  books.CloseAllWorkbooks();
  books.ReleaseWorkbooks();
  app.QuitApplication();
  app.ReleaseApplication();
  EXPECT_EQ(app.application(), nullptr);
}

TEST(ExcelComponentsTest, RefusedFileKeepsTheBlankSheetAndGivesTheReason) {
  FakeEngine engine;
  engine.workbooks->On(member::kOpen,
                       {DispatchStatus::kException, Variant(), "工作簿已加密"});
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  app.CreateApplication();
  books.AttachApplication(app);
  const OpenOutcome outcome = books.OpenWorkbook("/tmp/locked.xlsx");
  EXPECT_TRUE(outcome.result);
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(outcome.reason, "工作簿已加密");
  EXPECT_EQ(books.GetWorksheet().object(), engine.blank_sheet);
}

TEST(ExcelComponentsTest, OpenThatReturnsNoObjectIsFalse) {
  FakeEngine engine;
  engine.workbooks->On(member::kOpen, {DispatchStatus::kOk, Variant(), ""});
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  app.CreateApplication();
  books.AttachApplication(app);
  const OpenOutcome outcome = books.OpenWorkbook("/tmp/x.xlsx");
  EXPECT_FALSE(outcome.result);
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(books.GetWorksheet().object(), engine.blank_sheet);
}

TEST(ExcelComponentsTest, AttachStopsAtAFailedStepButStaysTrue) {
  FakeEngine engine;
  engine.app->On(member::kSheets, {DispatchStatus::kException, Variant(), ""});
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  app.CreateApplication();
  EXPECT_TRUE(books.AttachApplication(app));
  EXPECT_TRUE(books.GetWorksheet().empty());
  EXPECT_EQ(engine.log->back(), "app get 485");
  // The Workbooks collection was kept, so a file can still be opened.
  EXPECT_TRUE(books.OpenWorkbook("/tmp/x.xlsx").opened);
  EXPECT_EQ(books.GetWorksheet().object(), engine.book_sheet);
}

TEST(ExcelComponentsTest, RangeFetchRulesAndAFailedFetchKeepsTheEarlierRange) {
  FakeEngine engine;
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  books.SetRangeEnd("A1");  // no worksheet yet: neither stored nor fetched
  EXPECT_EQ(books.range_end(), "");
  app.CreateApplication();
  books.AttachApplication(app);
  books.SetRangeStart("B3");
  EXPECT_EQ(engine.log->back(), "blank_sheets get 170 1");  // no call for a start
  books.SetRangeEnd("C9");
  EXPECT_EQ(engine.log->back(), "blank_sheet get 197 'B3' 'C9'");
  EXPECT_EQ(books.GetRange().object(), engine.range);

  engine.blank_sheet->On(member::kRange, {DispatchStatus::kException, Variant(), ""});
  books.SetRangeStart("ZZZ0");
  books.SetRangeEnd("ZZZ0");
  EXPECT_EQ(books.range_end(), "ZZZ0");
  EXPECT_EQ(books.GetRange().object(), engine.range);
}

TEST(ExcelComponentsTest, CreatingTwiceLetsTheFirstGoWithoutQuitting) {
  FakeEngine engine;
  ExcelApp app(engine.Factory());
  EXPECT_TRUE(app.CreateApplication());
  EXPECT_TRUE(app.CreateApplication());
  EXPECT_EQ(engine.started, 2);
  const Log expected = {"advise", "unadvise 7", "advise"};
  EXPECT_EQ(*engine.log, expected);
}

TEST(ExcelComponentsTest, ReleasingEmptyComponentsDoesNothing) {
  FakeEngine engine;
  ExcelApp app(engine.Factory());
  ExcelWorkbooks books;
  books.ReleaseWorkbooks();
  app.ReleaseApplication();
  app.QuitApplication();
  EXPECT_TRUE(engine.log->empty());
}

TEST(ExcelComponentsTest, EventReceiverForwardsTheNineEvents) {
  FakeEngine engine;
  ExcelApp app(engine.Factory());
  std::vector<std::pair<int, std::size_t>> raised;
  app.SetEventHandler([&](int number, std::vector<sheets::AutomationObject>& objects) {
    raised.emplace_back(number, objects.size());
  });
  app.CreateApplication();
  const auto sink = engine.connection->sink;
  ASSERT_TRUE(sink);
  EXPECT_EQ(sink->type_info(), nullptr);
  const Variant object = Variant::Object(engine.book);
  Variant cancel = Variant::Boolean(false);
  const Variant flag = Variant::Reference(&cancel);
  struct Case {
    MemberId member;
    std::vector<Variant> args;
    int number;
    std::size_t objects;
  };
  const std::vector<Case> cases = {
      {sheets::event::kWorkbookOpen, {object}, 0, 1},
      {sheets::event::kWorkbookActivate, {object}, 1, 1},
      {sheets::event::kWorkbookDeactivate, {object}, 2, 1},
      {sheets::event::kWorkbookBeforeClose, {object, flag}, 3, 1},
      {sheets::event::kWorkbookBeforeSave, {object, Variant::Boolean(false), flag}, 4, 1},
      {sheets::event::kWorkbookBeforePrint, {object, flag}, 5, 1},
      {sheets::event::kWorkbookNewSheet, {object, object}, 6, 2},
      {sheets::event::kSheetActivate, {object}, 7, 1},
      {sheets::event::kSheetDeactivate, {object}, 8, 1},
  };
  for (const auto& c : cases) {
    raised.clear();
    EXPECT_EQ(sink->Invoke(c.member, InvokeKind::kMethod, c.args, nullptr, nullptr),
              DispatchStatus::kOk);
    ASSERT_EQ(raised.size(), 1u) << c.member;
    EXPECT_EQ(raised[0], std::make_pair(c.number, c.objects)) << c.member;
    // A wrong argument count is refused and raises nothing.
    raised.clear();
    std::vector<Variant> more = c.args;
    more.push_back(Variant());
    EXPECT_EQ(sink->Invoke(c.member, InvokeKind::kMethod, more, nullptr, nullptr),
              DispatchStatus::kBadParamCount);
    EXPECT_TRUE(raised.empty());
  }
  // Any other member id is accepted without effect.
  EXPECT_EQ(sink->Invoke(0x61B, InvokeKind::kMethod, {}, nullptr, nullptr),
            DispatchStatus::kOk);
  EXPECT_TRUE(raised.empty());
  // Once the application is released the receiver forwards nothing more.
  app.ReleaseApplication();
  sink->Invoke(sheets::event::kSheetActivate, InvokeKind::kMethod,
               std::vector<Variant>{object}, nullptr, nullptr);
  EXPECT_TRUE(raised.empty());
}

}  // namespace
}  // namespace vellumark::import
