#include "sheets/engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "sheets/automation_object.h"
#include "sheets/reasons.h"

namespace vellumark::sheets {
namespace {

std::string Fixture(const std::string& name) {
  return (std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data/xlsx" /
          name)
      .string();
}

std::shared_ptr<Dispatch> Get(const std::shared_ptr<Dispatch>& object,
                              MemberId member, std::vector<Variant> args = {},
                              InvokeKind kind = InvokeKind::kPropertyGet) {
  if (!object) return nullptr;
  Variant result;
  if (object->Invoke(member, kind, args, &result, nullptr) !=
          DispatchStatus::kOk ||
      result.kind() != Variant::Kind::kObject) {
    return nullptr;
  }
  return result.object();
}

// Opens a fixture in a new engine and gives its first worksheet.
struct Opened {
  std::shared_ptr<Dispatch> application = StartEngine();
  std::shared_ptr<Dispatch> workbooks = Get(application, member::kWorkbooks);
  std::shared_ptr<Dispatch> workbook;
  std::shared_ptr<Dispatch> sheet;

  explicit Opened(const std::string& fixture) {
    workbook = Get(workbooks, member::kOpen,
                   {Variant::String(Fixture(fixture))}, InvokeKind::kMethod);
    sheet =
        Get(Get(workbook, member::kSheets), member::kItem, {Variant::Int32(1)});
  }
};

TEST(EngineTest, RangeAcceptsA1AddressesWithOrWithoutDollars) {
  Opened book("strings.xlsx");
  ASSERT_TRUE(book.sheet);
  struct Case {
    const char* address;
    bool valid;
  };
  const Case cases[] = {
      {"A1", true},    {"$A$1", true},      {"a1", true},
      {"B$3", true},   {"$B3", true},       {"XFD1048576", true},
      {"A1:B2", true}, {"", false},         {"A0", false},
      {"XFE1", false}, {"A1048577", false}, {"1A", false},
      {"A1B", false},  {"AAAA1", false},    {" A1", false},
      {"$$A1", false}, {"A1:", false},      {"A", false},
      {"A-1", false},
  };
  for (const auto& c : cases) {
    ExceptionInfo exception;
    Variant result;
    const auto status =
        book.sheet->Invoke(member::kRange, InvokeKind::kPropertyGet,
                           std::vector<Variant>{Variant::String(c.address),
                                                Variant::String(c.address)},
                           &result, &exception);
    EXPECT_EQ(status == DispatchStatus::kOk, c.valid) << c.address;
    if (!c.valid) {
      EXPECT_EQ(exception.description, reasons::kBadAddress) << c.address;
    }
  }
}

TEST(EngineTest, RangeOfTwoCellsSpansThemAndOneCellGivesItsValue) {
  Opened book("strings.xlsx");
  const auto span = Get(book.sheet, member::kRange,
                        {Variant::String("B3"), Variant::String("A1")});
  const AutomationObject handle(span);
  EXPECT_EQ(GetNumberProperty(handle, "Count"), 6.0);
  EXPECT_EQ(GetNumberProperty(GetObjectProperty(handle, "Rows"), "Count"), 3.0);
  // A range of several cells has no single value.
  EXPECT_EQ(GetTextProperty(handle, "Value"), std::nullopt);
  // The whole sheet has more cells than a 32-bit count holds: refused.
  const AutomationObject whole(
      Get(book.sheet, member::kRange,
          {Variant::String("A1"), Variant::String("XFD1048576")}));
  EXPECT_EQ(GetNumberProperty(whole, "Count"), 0.0);
  EXPECT_EQ(GetNumberProperty(GetObjectProperty(whole, "Rows"), "Count"),
            1048576.0);
  EXPECT_EQ(GetTextProperty(whole, "Address"), Text("$A$1:$XFD$1048576"));
  const AutomationObject cell(
      Get(book.sheet, member::kRange,
          {Variant::String("$B$1"), Variant::String("B1")}));
  EXPECT_EQ(GetTextProperty(cell, "Value"), Text("东京 都!"));
}

TEST(EngineTest, UsedRangeRowsCountByName) {
  struct Case {
    const char* fixture;
    double rows;
  };
  const Case cases[] = {
      {"used_range.xlsx", 7},   // C3:E9
      {"empty_sheet.xlsx", 1},  // A1
      {"strings.xlsx", 6},
      {"chart_first.xlsx", 0},  // a chart sheet has no used range
  };
  for (const auto& c : cases) {
    Opened book(c.fixture);
    const AutomationObject sheet(book.sheet);
    ASSERT_FALSE(sheet.empty()) << c.fixture;
    const AutomationObject used = GetObjectProperty(sheet, "UsedRange");
    const AutomationObject rows = GetObjectProperty(used, "Rows");
    EXPECT_EQ(GetNumberProperty(rows, "Count"), c.rows) << c.fixture;
  }
}

TEST(EngineTest, RefusedFileFailsOpenWithItsReason) {
  const auto application = StartEngine();
  const auto workbooks = Get(application, member::kWorkbooks);
  ExceptionInfo exception;
  Variant result;
  const std::vector<Variant> args{Variant::String(Fixture("encrypted.xlsx"))};
  EXPECT_EQ(workbooks->Invoke(member::kOpen, InvokeKind::kMethod, args, &result,
                              &exception),
            DispatchStatus::kException);
  EXPECT_EQ(exception.description, reasons::kEncrypted);
}

TEST(EngineTest, ObjectsOfAClosedWorkbookAreDisconnected) {
  Opened book("strings.xlsx");
  ASSERT_EQ(book.workbooks->Invoke(member::kClose, InvokeKind::kMethod, {},
                                   nullptr, nullptr),
            DispatchStatus::kOk);
  EXPECT_EQ(book.sheet->Invoke(member::kUsedRange, InvokeKind::kPropertyGet, {},
                               nullptr, nullptr),
            DispatchStatus::kDisconnected);
  ASSERT_EQ(book.application->Invoke(member::kQuit, InvokeKind::kMethod, {},
                                     nullptr, nullptr),
            DispatchStatus::kOk);
  EXPECT_EQ(book.workbooks->Invoke(member::kCount, InvokeKind::kPropertyGet, {},
                                   nullptr, nullptr),
            DispatchStatus::kDisconnected);
}

// Records the events the application raises, by member id and the names
// of the objects they carry.
class EventLog : public Dispatch {
 public:
  const TypeInfo* type_info() const override { return nullptr; }
  DispatchStatus Invoke(MemberId member, InvokeKind,
                        std::span<const Variant> args, Variant*,
                        ExceptionInfo*) override {
    std::string entry = std::to_string(member);
    for (const Variant& arg : args) {
      if (arg.kind() == Variant::Kind::kObject) {
        Variant name;
        arg.object()->Invoke(member::kName, InvokeKind::kPropertyGet, {}, &name,
                             nullptr);
        entry += " " + name.string();
      } else if (arg.kind() == Variant::Kind::kReference && cancel_close &&
                 member == event::kWorkbookBeforeClose) {
        *arg.reference() = Variant::Boolean(true);
      }
    }
    entries.push_back(entry);
    return DispatchStatus::kOk;
  }
  std::vector<std::string> entries;
  bool cancel_close = false;
};

std::string Entry(MemberId event, std::initializer_list<const char*> names) {
  std::string entry = std::to_string(event);
  for (const char* name : names) entry += std::string(" ") + name;
  return entry;
}

TEST(EngineTest, ApplicationEventsComeAtTheirMoments) {
  const auto application = StartEngine();
  const auto log = std::make_shared<EventLog>();
  const auto point = application->FindConnectionPoint(kAppEventsInterface);
  ASSERT_TRUE(point);
  ASSERT_TRUE(point->Advise(log).has_value());
  const auto workbooks = Get(application, member::kWorkbooks);
  const auto blank =
      Get(workbooks, member::kAdd, {Variant::Missing()}, InvokeKind::kMethod);
  Variant blank_name;
  blank->Invoke(member::kName, InvokeKind::kPropertyGet, {}, &blank_name,
                nullptr);
  const std::string b = blank_name.string();
  const auto opened =
      Get(workbooks, member::kOpen, {Variant::String(Fixture("numbers.xlsx"))},
          InvokeKind::kMethod);
  ASSERT_TRUE(opened);
  // Activating the active workbook or its active sheet raises nothing.
  opened->Invoke(member::kActivate, InvokeKind::kMethod, {}, nullptr, nullptr);
  const auto sheets = Get(opened, member::kSheets);
  Get(sheets, member::kItem, {Variant::Int32(1)})
      ->Invoke(member::kActivate, InvokeKind::kMethod, {}, nullptr, nullptr);
  Get(sheets, member::kAdd, {}, InvokeKind::kMethod);
  blank->Invoke(member::kActivate, InvokeKind::kMethod, {}, nullptr, nullptr);
  workbooks->Invoke(member::kClose, InvokeKind::kMethod, {}, nullptr, nullptr);

  const std::vector<std::string> expected = {
      Entry(event::kWorkbookActivate, {b.c_str()}),
      Entry(event::kWorkbookOpen, {"numbers.xlsx"}),
      Entry(event::kWorkbookDeactivate, {b.c_str()}),
      Entry(event::kWorkbookActivate, {"numbers.xlsx"}),
      Entry(event::kWorkbookNewSheet, {"numbers.xlsx", "Sheet2"}),
      Entry(event::kSheetDeactivate, {"Sheet1"}),
      Entry(event::kSheetActivate, {"Sheet2"}),
      Entry(event::kWorkbookDeactivate, {"numbers.xlsx"}),
      Entry(event::kWorkbookActivate, {b.c_str()}),
      Entry(event::kWorkbookBeforeClose, {b.c_str()}),
      Entry(event::kWorkbookDeactivate, {b.c_str()}),
      Entry(event::kWorkbookActivate, {"numbers.xlsx"}),
      Entry(event::kWorkbookBeforeClose, {"numbers.xlsx"}),
      Entry(event::kWorkbookDeactivate, {"numbers.xlsx"}),
  };
  EXPECT_EQ(log->entries, expected);
}

TEST(EngineTest,
     CancelledCloseKeepsTheWorkbookAndSaveAndPrintRaiseTheirEvents) {
  const auto application = StartEngine();
  const auto log = std::make_shared<EventLog>();
  log->cancel_close = true;
  application->FindConnectionPoint(kAppEventsInterface)->Advise(log);
  const auto workbooks = Get(application, member::kWorkbooks);
  const auto blank = Get(workbooks, member::kAdd, {}, InvokeKind::kMethod);
  workbooks->Invoke(member::kClose, InvokeKind::kMethod, {}, nullptr, nullptr);
  Variant count;
  workbooks->Invoke(member::kCount, InvokeKind::kPropertyGet, {}, &count,
                    nullptr);
  EXPECT_EQ(count.int32(), 1);
  log->entries.clear();
  ExceptionInfo exception;
  EXPECT_EQ(blank->Invoke(member::kSave, InvokeKind::kMethod, {}, nullptr,
                          &exception),
            DispatchStatus::kException);
  EXPECT_EQ(blank->Invoke(member::kPrintOut, InvokeKind::kMethod, {}, nullptr,
                          &exception),
            DispatchStatus::kException);
  ASSERT_EQ(log->entries.size(), 2u);
  EXPECT_EQ(log->entries[0].substr(0, 4),
            std::to_string(event::kWorkbookBeforeSave));
  EXPECT_EQ(log->entries[1].substr(0, 4),
            std::to_string(event::kWorkbookBeforePrint));
}

}  // namespace
}  // namespace vellumark::sheets
