// The import loop over fixture workbooks, as both front ends run it.
#include "import/import_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "import/excel_app.h"
#include "import/excel_workbooks.h"

namespace vellumark {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

std::string Fixture(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data" / folder /
          name)
      .string();
}

struct Imported {
  ImportResult result;
  Rows rows;
};

Imported Import(const std::string& path, ProgramState& state,
                import::ExcelApp& application) {
  import::ExcelWorkbooks workbooks;
  Imported imported;
  imported.result =
      RunImport(path, application, workbooks, state,
                [&imported](const Text& id, const Text& address) {
                  imported.rows.emplace_back(TextView(id), TextView(address));
                  // Indices as a list that already held ten rows would give
                  // them.
                  return static_cast<std::int32_t>(9 + imported.rows.size());
                });
  return imported;
}

Imported Import(const std::string& path, ProgramState& state) {
  import::ExcelApp application;
  return Import(path, state, application);
}

TEST(RunImport, ReadsColumnsAAndBOfEveryRowInOrder) {
  ProgramState state;
  const Imported imported = Import(Fixture("import", "three_rows.xlsx"), state);
  ASSERT_TRUE(imported.result.ok()) << imported.result.refusal;
  const Rows expected = {
      {"100000000001", "https://img.example.com/a/1.png"},
      {"宝贝二号", "http://127.0.0.1:8080/2.png?x=1"},
      {"100000000003", "https://img.example.com/宝贝/3.jpg"},
  };
  EXPECT_EQ(imported.rows, expected);
  EXPECT_EQ(imported.result.rows, 3);
  EXPECT_EQ(state.RowCount, 3);
  EXPECT_EQ(state.RowCursor, 4);
  EXPECT_EQ(state.CurrentId, Text("100000000003"));
  EXPECT_EQ(state.CurrentUrl, Text("https://img.example.com/宝贝/3.jpg"));
  EXPECT_EQ(state.LastItemIndex, 12);
}

TEST(RunImport, ReadsFromRowOneToTheLastUsedRow) {
  // The used range is rows 3 to 7 (five rows); all seven are read, by
  // absolute address, and column D is ignored.
  ProgramState state;
  const Imported imported =
      Import(Fixture("import", "rows_3_to_7.xlsx"), state);
  const Rows expected = {{"", ""},  {"", ""}, {"3", "u3"}, {"", ""},
                         {"5", ""}, {"", ""}, {"", "u7"}};
  EXPECT_EQ(imported.rows, expected);
  EXPECT_EQ(state.RowCount, 7);
  EXPECT_EQ(state.RowCursor, 8);
  EXPECT_EQ(state.CurrentId, std::nullopt);  // A7 is blank
}

TEST(RunImport, SheetsWithoutDataKeepTheirShape) {
  struct Case {
    const char* fixture;
    Rows rows;
  };
  const Case cases[] = {
      {"empty_sheet.xlsx", {{"", ""}}},  // used range A1: one empty row
      {"chart_first.xlsx", {}},          // no used range: nothing
  };
  for (const Case& c : cases) {
    ProgramState state;
    const Imported imported = Import(Fixture("xlsx", c.fixture), state);
    EXPECT_TRUE(imported.result.ok()) << c.fixture;
    EXPECT_EQ(imported.rows, c.rows) << c.fixture;
    EXPECT_EQ(state.RowCount, static_cast<std::int32_t>(c.rows.size()));
    EXPECT_EQ(state.RowCursor, static_cast<std::int32_t>(c.rows.size()) + 1);
  }
}

TEST(RunImport, AWorkbookThatCannotBeOpenedAddsNoRowAndSaysWhy) {
  struct Case {
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {Fixture("import", "not_a_workbook.xlsx"), "不是工作簿文件"},
      {Fixture("import", "missing.xlsx"), "文件不存在"},
      {Fixture("xlsx", "encrypted.xlsx"), "工作簿已加密"},
      {"", "文件不存在"},
  };
  for (const Case& c : cases) {
    ProgramState state;
    state.RowCount = 9;
    state.CurrentId = "kept";
    state.LastItemIndex = 4;
    const Imported imported = Import(c.path, state);
    EXPECT_FALSE(imported.result.ok()) << c.path;
    EXPECT_EQ(imported.result.refusal, c.reason) << c.path;
    EXPECT_TRUE(imported.rows.empty()) << c.path;
    EXPECT_EQ(state.RowCount, 0);
    EXPECT_EQ(state.RowCursor, 1);
    EXPECT_EQ(state.CurrentId, Text("kept"));
    EXPECT_EQ(state.LastItemIndex, 4);
  }
}

TEST(RunImport, WithoutAnEngineNothingIsReadAndTheReasonSaysSo) {
  ProgramState state;
  import::ExcelApp no_engine(import::ExcelApp::NoEngine());
  const Imported imported =
      Import(Fixture("import", "three_rows.xlsx"), state, no_engine);
  EXPECT_EQ(imported.result.refusal, kNoEngine);
  EXPECT_TRUE(imported.rows.empty());
  EXPECT_EQ(state.RowCount, 0);
}

TEST(TruncateToInt32, KeepsTheLow32BitsOfTheTruncation) {
  const struct {
    double value;
    std::int32_t expected;
  } cases[] = {
      {3.0, 3},
      {3.99, 3},
      {-2.5, -2},
      {0.0, 0},
      {4294967297.0, 1},  // 2^32 + 1
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
      {1e300, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TruncateToInt32(c.value), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace vellumark
