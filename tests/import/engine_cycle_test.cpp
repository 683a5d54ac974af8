// The two components driving the real engine over fixture workbooks, the
// way the import walks a sheet: used range, rows, count, then A and B of
// every row as one-cell ranges read by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_ops.h"
#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "sheets/reasons.h"

namespace vellumark::import {
namespace {

using sheets::AutomationObject;

std::string Fixture(const std::string& name) {
  return (std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data/xlsx" /
          name)
      .string();
}

struct Sheet {
  OpenOutcome outcome;
  int count = 0;
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<int> events;
};

Sheet ImportLike(const std::string& path) {
  Sheet sheet;
  ExcelApp app;
  app.SetEventHandler([&](int number, std::vector<AutomationObject>&) {
    sheet.events.push_back(number);
  });
  ExcelWorkbooks books;
  app.CreateApplication();
  app.SetVisible(false);
  books.AttachApplication(app);
  sheet.outcome = books.OpenWorkbook(path);
  books.ActivateWorkbook();
  books.ActivateWorksheet();
  AutomationObject worksheet = books.GetWorksheet();
  AutomationObject used = GetObjectProperty(worksheet, "UsedRange");
  AutomationObject rows = GetObjectProperty(used, "Rows");
  sheet.count = static_cast<int>(GetNumberProperty(rows, "Count"));
  AutomationObject cell;
  for (int r = 1; r <= sheet.count; ++r) {
    const std::string a = JoinTexts({"A", TextOfInteger(r)});
    books.SetRangeStart(a);
    books.SetRangeEnd(a);
    cell = books.GetRange();
    const Text id = GetTextProperty(cell, "Value");
    const std::string b = JoinTexts({"B", TextOfInteger(r)});
    books.SetRangeStart(b);
    books.SetRangeEnd(b);
    cell = books.GetRange();
    const Text url = GetTextProperty(cell, "Value");
    sheet.rows.emplace_back(id.value_or(""), url.value_or(""));
  }
  books.CloseAllWorkbooks();
  books.ReleaseWorkbooks();
  app.QuitApplication();
  app.ReleaseApplication();
  return sheet;
}

TEST(EngineCycleTest, ReadsEveryRowOfTheFirstSheet) {
  const Sheet sheet = ImportLike(Fixture("strings.xlsx"));
  EXPECT_TRUE(sheet.outcome.opened);
  ASSERT_EQ(sheet.count, 6);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"plain", "东京 都!"},
      {"a\rb_x0041_", "inline"},
      {"-1", "0"},
      {"", "cached!"},
      {"https://example.com/img/1.png", "42"},
      {"7", ""}};
  EXPECT_EQ(sheet.rows, expected);
}

TEST(EngineCycleTest, UsedRangeBelowRowOneIsReadByAbsoluteAddress) {
  const Sheet sheet = ImportLike(Fixture("used_range.xlsx"));
  ASSERT_EQ(sheet.count, 7);  // rows 3 to 9
  EXPECT_EQ(sheet.rows[0], std::make_pair(std::string(), std::string()));
  EXPECT_EQ(sheet.rows[2],
            std::make_pair(std::string(), std::string()));  // C3, D3 only
}

TEST(EngineCycleTest, ChartSheetFirstGivesNoRows) {
  const Sheet sheet = ImportLike(Fixture("chart_first.xlsx"));
  EXPECT_TRUE(sheet.outcome.opened);
  EXPECT_EQ(sheet.count, 0);
}

TEST(EngineCycleTest, RefusedFileTellsWhyAndLeavesTheBlankSheet) {
  struct Case {
    const char* fixture;
    std::string reason;
  };
  const Case cases[] = {
      {"encrypted.xlsx", std::string(sheets::reasons::kEncrypted)},
      {"missing.xlsx", std::string(sheets::reasons::kFileMissing)},
      {"bad_xml.xlsx", sheets::reasons::Damaged("xl/worksheets/sheet1.xml")},
  };
  for (const auto& c : cases) {
    const Sheet sheet = ImportLike(Fixture(c.fixture));
    EXPECT_TRUE(sheet.outcome.result) << c.fixture;
    EXPECT_FALSE(sheet.outcome.opened) << c.fixture;
    EXPECT_EQ(sheet.outcome.reason, c.reason) << c.fixture;
    // The blank workbook's empty sheet: one row of two empty texts.
    EXPECT_EQ(sheet.count, 1) << c.fixture;
  }
}

TEST(EngineCycleTest, ApplicationEventsReachTheComponent) {
  const Sheet sheet = ImportLike(Fixture("numbers.xlsx"));
  // Add: activate blank; Open: open, deactivate blank, activate book;
  // Close: before close of the inactive blank one, then before close and
  // deactivate of the book.
  const std::vector<int> expected = {1, 0, 2, 1, 3, 3, 2};
  EXPECT_EQ(sheet.events, expected);
  ASSERT_EQ(sheet.count, 4);
  EXPECT_EQ(sheet.rows[0], std::make_pair(std::string("123456789012"),
                                          std::string("1234567.5")));
}

TEST(EngineCycleTest, NoEngineReadsNothing) {
  ExcelApp app(ExcelApp::NoEngine());
  ExcelWorkbooks books;
  EXPECT_FALSE(app.CreateApplication());
  EXPECT_FALSE(books.AttachApplication(app));
  AutomationObject worksheet = books.GetWorksheet();
  EXPECT_EQ(
      GetNumberProperty(
          GetObjectProperty(GetObjectProperty(worksheet, "UsedRange"), "Rows"),
          "Count"),
      0.0);
}

}  // namespace
}  // namespace vellumark::import
