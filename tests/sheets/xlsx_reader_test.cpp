#include "sheets/xlsx/xlsx_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sheets/cell_address.h"
#include "sheets/engine.h"
#include "sheets/reasons.h"
#include "sheets/variant_convert.h"
#include "sheets/workbook_reader.h"

namespace vellumark::sheets {
namespace {

std::filesystem::path Fixture(const std::string& name) {
  return std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data/xlsx" / name;
}

WorkbookData ReadFixture(const std::string& name) {
  auto data = ReadWorkbookFile(Fixture(name));
  if (!data) ADD_FAILURE() << name << ": " << data.reason();
  if (!data) return WorkbookData();
  return std::move(data).value();
}

// The text the import reads for a cell.
std::optional<std::string> CellText(const WorkbookData& data,
                                    const char* address) {
  const auto at = ParseCellAddress(address, false);
  if (!at) return "bad address in test";
  const auto text = ChangeToText(
      CellVariant(data.first_sheet.Find(at->row, at->column), data.date1904));
  return text;
}

struct CellCase {
  const char* address;
  std::optional<std::string> text;
};

void ExpectCells(const std::string& fixture,
                 std::initializer_list<CellCase> cases) {
  const WorkbookData data = ReadFixture(fixture);
  for (const auto& c : cases) {
    EXPECT_EQ(CellText(data, c.address), c.text) << fixture << " " << c.address;
  }
}

TEST(XlsxReaderTest, FirstSheetFollowsTheWorkbookOrderNotThePackageOrder) {
  const WorkbookData data = ReadFixture("first_sheet_order.xlsx");
  ASSERT_EQ(data.sheet_names.size(), 2u);
  EXPECT_EQ(data.sheet_names[0], "数据");
  ExpectCells("first_sheet_order.xlsx", {{"A1", "right"}});
}

TEST(XlsxReaderTest, UsedRangeComesFromTheCellsNotTheDimension) {
  const WorkbookData data = ReadFixture("used_range.xlsx");
  const auto used = data.first_sheet.UsedRange();
  ASSERT_TRUE(used.has_value());
  // C3 to E9: the formatted-only E9 counts, the default-styled H20 does not.
  EXPECT_EQ(used->first_row, 3u);
  EXPECT_EQ(used->first_column, 3u);
  EXPECT_EQ(used->last_row, 9u);
  EXPECT_EQ(used->last_column, 5u);
}

TEST(XlsxReaderTest, EmptySheetHasUsedRangeA1AndChartSheetNone) {
  const auto empty = ReadFixture("empty_sheet.xlsx").first_sheet.UsedRange();
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->first_row, 1u);
  EXPECT_EQ(empty->last_row, 1u);
  EXPECT_EQ(empty->last_column, 1u);
  const WorkbookData chart = ReadFixture("chart_first.xlsx");
  EXPECT_EQ(chart.first_sheet.type(), SheetData::Type::kChart);
  EXPECT_FALSE(chart.first_sheet.UsedRange().has_value());
}

TEST(XlsxReaderTest, NumbersKeepTheirDigitsWhateverTheirFormat) {
  ExpectCells("numbers.xlsx", {{"A1", "123456789012"},
                               {"B1", "1234567.5"},
                               {"A2", "1.5"},
                               {"B2", "0.1"},
                               {"A3", "1E+15"},
                               {"B3", "3.14159265358979"},
                               {"A4", "0"},
                               {"B4", "5.6789E-12"}});
}

TEST(XlsxReaderTest, DatesAreRecognisedFromTheNumberFormat) {
  ExpectCells("dates.xlsx", {{"A1", "2024/1/1"},           // id 14
                             {"B1", "2024/1/1 12:00:00"},  // id 22
                             {"A2", "2024/1/1"},           // id 31, undeclared
                             {"B2", "2024/1/1"},           // id 57, undeclared
                             {"A3", "2024/1/1"},           // custom date
                             {"B3", "45292"},              // [Red]0.00
                             {"A4", "45292"},              // quoted "h"
                             {"B4", "45292"},      // date only after ';'
                             {"A5", "45292"},      // escaped \d
                             {"B5", "18:00:00"},   // time only
                             {"A6", "1900/2/29"},  // the phantom day
                             {"B6", "1900/2/28"},
                             {"A7", "1900/1/1"},
                             {"B7", "1900/3/1"},
                             {"A8", "2024/1/1 12:00:00"},  // t="d"
                             {"B8", "12:00:00"},           // id 21
                             {"A9", "45292"}});            // General
}

TEST(XlsxReaderTest, The1904DateSystemShiftsSerials) {
  ExpectCells("dates1904.xlsx", {{"A1", "1904/1/1"}, {"B1", "2024/1/1"}});
}

TEST(XlsxReaderTest, StringsRichTextEscapesAndCellTypes) {
  ExpectCells("strings.xlsx",
              {{"A1", "plain"},
               {"B1", "东京 都!"},     // three runs kept, phonetic run dropped
               {"A2", "a\rb_x0041_"},  // _x000D_ and the escaped underscore
               {"B2", "inline"},       // inline runs, phonetic dropped
               {"A3", "-1"},           // TRUE
               {"B3", "0"},            // FALSE
               {"A4", std::nullopt},   // #N/A leaks no text
               {"B4", "cached!"},      // str formula's cached value
               {"A5", "https://example.com/img/1.png"},  // cells without r
               {"B5", "42"},
               {"A6", "7"},  // formula's cached number
               {"B6", std::nullopt},
               {"C1", ""}});  // a cell that is not there
}

TEST(XlsxReaderTest, StrictNamespacesAreRead) {
  ExpectCells("strict.xlsx", {{"A1", "strict"},
                              {"B1", "12345678901"},
                              {"A2", "second"},
                              {"B2", "2024/1/1"}});
}

struct RefusalCase {
  const char* fixture;
  std::string reason;
};

TEST(XlsxReaderTest, BadFilesAreRefusedWithTheirReason) {
  const std::string sheet = "xl/worksheets/sheet1.xml";
  const RefusalCase cases[] = {
      {"does_not_exist.xlsx", std::string(reasons::kFileMissing)},
      {"bad_text.xlsx", std::string(reasons::kNotWorkbook)},
      {"not_a_workbook.xlsx", std::string(reasons::kNotWorkbook)},
      {"bad_truncated.xlsx", reasons::Damaged(reasons::kContainer)},
      {"bad_missing_sheet.xlsx", reasons::Damaged(sheet)},
      {"bad_xml.xlsx", reasons::Damaged(sheet)},
      {"bad_entity.xlsx", reasons::Damaged(sheet)},
      {"bad_shared_index.xlsx", reasons::Damaged(sheet)},
      {"bad_column.xlsx", reasons::Damaged(sheet)},
      {"bad_row.xlsx", reasons::Damaged(sheet)},
      {"bad_number.xlsx", reasons::Damaged(sheet)},
      {"bad_bomb.xlsx",
       "工作簿过大：xl/worksheets/sheet1.xml 解压后超过 128 MB"},
      {"bad_bomb_lying.xlsx",
       "工作簿过大：xl/worksheets/sheet1.xml 解压后超过 128 MB"},
      {"encrypted.xlsx", std::string(reasons::kEncrypted)},
  };
  for (const auto& c : cases) {
    const auto data = ReadWorkbookFile(Fixture(c.fixture));
    ASSERT_FALSE(data.ok()) << c.fixture;
    EXPECT_EQ(data.reason(), c.reason) << c.fixture;
  }
}

TEST(XlsxReaderTest, DirectoryDeviceAndEmptyFileAreRefused) {
  const auto directory = ReadWorkbookFile(Fixture(""));
  ASSERT_FALSE(directory.ok());
  EXPECT_EQ(directory.reason(), reasons::kUnreadable);
#ifdef __linux__
  const auto device = ReadWorkbookFile("/dev/zero");
  ASSERT_FALSE(device.ok());
  EXPECT_EQ(device.reason(), reasons::kUnreadable);
#endif
  const auto empty_path =
      std::filesystem::path(VELLUMARK_BINARY_DIR) / "empty.xlsx";
  std::ofstream(empty_path).close();
  const auto empty = ReadWorkbookFile(empty_path);
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.reason(), reasons::kNotWorkbook);
}

TEST(XlsxReaderTest, ReadsTheSameFromMemory) {
  std::ifstream in(Fixture("strings.xlsx"), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string whole = bytes.str();
  const auto data = XlsxReader().ReadBytes(whole);
  ASSERT_TRUE(data.ok()) << data.reason();
  EXPECT_EQ(ChangeToText(CellVariant(data->first_sheet.Find(1, 2), false)),
            "东京 都!");
  // Every cut of a workbook is refused, never a crash.
  for (std::size_t size = 0; size < whole.size(); size += 37) {
    EXPECT_FALSE(
        XlsxReader().ReadBytes(std::string_view(whole).substr(0, size)).ok());
  }
}

}  // namespace
}  // namespace vellumark::sheets
