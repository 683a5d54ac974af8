// The .xls reader over the fixtures that tools/make_xls_fixtures.py writes.

#include "sheets/xls/xls_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "expected_cells.h"

namespace vellumark::sheets {
namespace {

using Kind = CellValue::Kind;
using test::ExpectCells;
using test::ExpectedCell;

std::filesystem::path Fixture(const std::string& name) {
  return std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests" / "data" /
         "xls" / name;
}

WorkbookData ReadOk(const std::string& name) {
  auto read = XlsReader().Read(Fixture(name));
  EXPECT_TRUE(read.ok()) << name << ": " << (read.ok() ? "" : read.reason());
  return read.ok() ? std::move(read).value() : WorkbookData();
}

void ExpectRange(const SheetData& sheet, std::uint32_t first_row,
                 std::uint32_t first_column, std::uint32_t last_row,
                 std::uint32_t last_column) {
  const auto range = sheet.UsedRange();
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(range->first_row, first_row);
  EXPECT_EQ(range->first_column, first_column);
  EXPECT_EQ(range->last_row, last_row);
  EXPECT_EQ(range->last_column, last_column);
}

TEST(XlsReader, Biff8CellRecordsGiveTheirValues) {
  const WorkbookData book = ReadOk("biff8_values.xls");
  EXPECT_FALSE(book.date1904);
  ExpectCells(book.first_sheet,
              {
                  {1, 1, Kind::kNumber, 1.5},        // NUMBER
                  {1, 2, Kind::kNumber, 123456789},  // RK integer
                  {2, 1, Kind::kNumber, -42},        // RK negative integer
                  {2, 2, Kind::kNumber, 12.34},      // RK integer / 100
                  {3, 1, Kind::kNumber, 0.5},        // RK double
                  {3, 2, Kind::kNumber, -3},         // RK double / 100
                  {4, 1, Kind::kNumber, 7},          // MULRK
                  {4, 2, Kind::kNumber, -0.07},
                  {4, 3, Kind::kNumber, 1024},
                  {5, 1, Kind::kText, 0, "商品编号"},  // LABELSST
                  {5, 2, Kind::kText, 0, "http://127.0.0.1/a.png"},
                  {6, 1, Kind::kText, 0, "Label ÄÖ"},  // LABEL, compressed
                  {6, 2, Kind::kText, 0, "富文本"},    // RSTRING
              });
}

TEST(XlsReader, BooleansAndErrorsAreToldApart) {
  const WorkbookData book = ReadOk("biff8_values.xls");
  ExpectCells(book.first_sheet,
              {
                  {7, 1, Kind::kBoolean, 1},
                  {7, 2, Kind::kBoolean, 0},
                  {8, 1, Kind::kError, 0x2A},  // #N/A
                  {8, 2, Kind::kError, 0x07},  // #DIV/0!
                  // The same byte 1 as a boolean, and error code 0 (#NULL!)
                  // that a reader ignoring the flag would take for FALSE.
                  {9, 1, Kind::kBoolean, 1},
                  {9, 2, Kind::kError, 0x00},
              });
}

TEST(XlsReader, FormulasGiveTheirCachedResults) {
  const WorkbookData book = ReadOk("biff8_values.xls");
  ExpectCells(book.first_sheet,
              {
                  {10, 1, Kind::kNumber, 2.25},
                  {10, 2, Kind::kText, 0, "公式文字"},  // from STRING
                  {11, 1, Kind::kBoolean, 1},
                  {11, 2, Kind::kError, 0x0F},  // #VALUE!
                  {12, 1, Kind::kText, 0, ""},  // empty-string result
                  {12, 2, Kind::kBoolean, 0},
              });
}

TEST(XlsReader, DateFormatsMakeDateCellsWithTheirSerial) {
  const WorkbookData book = ReadOk("biff8_values.xls");
  ExpectCells(book.first_sheet,
              {
                  {13, 1, Kind::kDate, 45000},     // built-in 14
                  {13, 2, Kind::kDate, 45000.75},  // yyyy-mm-dd
                  {14, 1, Kind::kDate, 43831},     // East-Asian 31, RK
                  {14, 2, Kind::kDate, 43831.5},   // East-Asian 57
                  {15, 1, Kind::kDate, 0.25},      // built-in time 20
                  {15, 2, Kind::kDate, 44197},     // formula, date format
                  {16, 1, Kind::kNumber, 3},       // 0.00" d": quoted
                  {16, 2, Kind::kNumber, 4},       // [Red]0.00: bracketed
                  {17, 1, Kind::kDate, 1.25},      // [h]:mm:ss
                  {17, 2, Kind::kNumber, 5},       // \d\a\y 0: escaped
              });
}

TEST(XlsReader, FirstSheetIsTheFirstInSheetListOrder) {
  // The first listed sheet's records come last in the stream.
  const WorkbookData book = ReadOk("biff8_values.xls");
  EXPECT_EQ(book.sheet_names,
            (std::vector<std::string>{"数据", "Sheet2", "图表"}));
  EXPECT_EQ(book.first_sheet.type(), SheetData::Type::kWorksheet);
  ASSERT_NE(book.first_sheet.Find(5, 1), nullptr);
  EXPECT_EQ(book.first_sheet.Find(5, 1)->text, "商品编号");
}

TEST(XlsReader, UsedRangeComesFromCellsAndFormattedBlanks) {
  // Each fixture's DIMENSION record claims A1:Z1000.
  const WorkbookData values = ReadOk("biff8_values.xls");
  ExpectRange(values.first_sheet, 1, 1, 20, 5);
  EXPECT_EQ(values.first_sheet.Find(20, 3), nullptr);  // a blank: no value

  const WorkbookData range = ReadOk("used_range.xls");
  ExpectRange(range.first_sheet, 5, 2, 10, 6);
}

TEST(XlsReader, EmbeddedChartRecordsAreNotCells) {
  const WorkbookData book = ReadOk("embedded_chart.xls");
  EXPECT_EQ(book.first_sheet.cell_count(), 2u);
  ExpectRange(book.first_sheet, 1, 1, 2, 1);
  ExpectCells(book.first_sheet, {{2, 1, Kind::kNumber, 2}});
}

TEST(XlsReader, ChartSheetFirstGivesAChartSheet) {
  const WorkbookData book = ReadOk("chart_first.xls");
  EXPECT_EQ(book.sheet_names, (std::vector<std::string>{"Chart1", "Sheet1"}));
  EXPECT_EQ(book.first_sheet.type(), SheetData::Type::kChart);
  EXPECT_FALSE(book.first_sheet.UsedRange().has_value());
}

TEST(XlsReader, SharedStringsSplitAcrossContinueRecords) {
  std::string tiny_parts;
  for (int i = 0; i < 50; ++i) tiny_parts += "甲a";
  const WorkbookData book = ReadOk("sst_continue.xls");
  ExpectCells(book.first_sheet,
              {
                  {1, 1, Kind::kText, 0, "ABCD中文字符"},  // compressed, UTF-16
                  {2, 1, Kind::kText, 0, "汉字xyz"},       // UTF-16, compressed
                  {3, 1, Kind::kText, 0, "Rich"},  // boundary between its runs
                  {4, 1, Kind::kText, 0, "ExtAB漢字"},  // Far-East block cut
                  {5, 1, Kind::kText, 0, "Edge"},  // ends at a record's end
                  {6, 1, Kind::kText, 0, "Next"},  // header opens a CONTINUE
                  {7, 1, Kind::kText, 0, "尾"},    // rich and Far-East both
                  {8, 1, Kind::kText, 0, tiny_parts},  // a part per character
                  // A formula's STRING record continued.
                  {1, 2, Kind::kText, 0, "前半latin"},
                  {2, 2, Kind::kText, 0, "first 第二"},
              });
}

TEST(XlsReader, Biff5TextIsReadInItsCodePage) {
  const WorkbookData book = ReadOk("biff5_cp936.xls");
  EXPECT_EQ(book.sheet_names, (std::vector<std::string>{"第一页", "第二页"}));
  EXPECT_TRUE(book.date1904);
  ExpectCells(book.first_sheet,
              {
                  {1, 1, Kind::kText, 0, "商品编号"},
                  {1, 2, Kind::kText, 0, "图片地址"},
                  {2, 1, Kind::kText, 0, "A1001"},
                  {2, 2, Kind::kText, 0, "http://127.0.0.1/中文.jpg"},
                  {3, 1, Kind::kText, 0, "红色文字"},  // RSTRING
                  {3, 2, Kind::kNumber, 2.5},
                  {4, 1, Kind::kNumber, 100},
                  {4, 2, Kind::kNumber, 0.01},
                  {5, 1, Kind::kText, 0, "计算结果"},  // formula STRING
                  {5, 2, Kind::kNumber, 8},
                  {6, 1, Kind::kBoolean, 1},
                  {6, 2, Kind::kError, 0x17},
                  {7, 1, Kind::kDate, 40000},  // serial as stored, 1904
                  {7, 2, Kind::kDate, 40001},  // yyyy"年"m"月"d"日"
              });
  ExpectRange(book.first_sheet, 1, 1, 7, 2);
}

TEST(XlsReader, SmallWorkbooksInEveryContainerLayout) {
  struct Case {
    const char* file;
    bool date1904;
  };
  for (const Case& c : {Case{"date1904.xls", true},      // mini stream
                        Case{"sector_4096.xls", false},  // version 4
                        Case{"biff5_no_codepage.xls", false},
                        // A VBA module listed first is no sheet.
                        Case{"biff5_module_first.xls", false}}) {
    SCOPED_TRACE(c.file);
    const WorkbookData book = ReadOk(c.file);
    EXPECT_EQ(book.date1904, c.date1904);
    EXPECT_EQ(book.sheet_names, std::vector<std::string>{"Sheet1"});
    ExpectCells(book.first_sheet,
                {{1, 1, Kind::kText, 0, "ID"}, {1, 2, Kind::kNumber, 1}});
  }
  // The same sheet in BIFF8 (4096-byte sectors) and in BIFF5.
  test::ExpectSameWorkbook(ReadOk("sector_4096.xls"),
                           ReadOk("biff5_no_codepage.xls"));
}

TEST(XlsReader, DamagedFilesAreRefusedWithTheirReason) {
  struct Case {
    const char* file;
    const char* reason;
  };
  const Case cases[] = {
      {"damaged_empty.xls", "不是工作簿文件"},
      {"damaged_not_compound.xls", "不是工作簿文件"},
      {"damaged_not_a_workbook_stream.xls", "不是工作簿文件"},
      {"damaged_encrypted.xls", "工作簿已加密"},
      {"damaged_truncated_header.xls", "工作簿已损坏：文件头"},
      {"damaged_sector_shift.xls", "工作簿已损坏：文件头"},
      {"damaged_fat_count_huge.xls", "工作簿已损坏：扇区表"},
      {"damaged_truncated.xls", "工作簿已损坏：扇区表"},
      {"damaged_fat_loop.xls", "工作簿已损坏：扇区链"},
      {"damaged_chain_outside_file.xls", "工作簿已损坏：扇区链"},
      {"damaged_chain_too_short.xls", "工作簿已损坏：扇区链"},
      {"damaged_mini_chain_loop.xls", "工作簿已损坏：扇区链"},
      {"damaged_directory_outside_file.xls", "工作簿已损坏：扇区链"},
      {"damaged_directory_bad_id.xls", "工作簿已损坏：目录"},
      {"damaged_stream_size_lie.xls", "工作簿已损坏：目录"},
      {"damaged_record_overrun.xls", "工作簿已损坏：记录"},
      {"damaged_stream_without_bof.xls", "工作簿已损坏：工作簿开头"},
      {"damaged_globals_without_eof.xls", "工作簿已损坏：工作簿开头"},
      {"damaged_sst_too_few_strings.xls", "工作簿已损坏：共享字符串表"},
      {"damaged_sst_string_overrun.xls", "工作簿已损坏：共享字符串表"},
      {"damaged_sst_index_outside.xls", "工作簿已损坏：共享字符串表"},
      {"damaged_sheet_offset_outside.xls", "工作簿已损坏：工作表目录"},
      {"damaged_sheet_without_eof.xls", "工作簿已损坏：工作表"},
      {"damaged_cell_too_short.xls", "工作簿已损坏：单元格"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto read = XlsReader().Read(Fixture(c.file));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.reason(), c.reason);
  }
}

std::string FixtureBytes(const std::string& name) {
  std::ifstream in(Fixture(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)),
                     std::istreambuf_iterator<char>());
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

std::uint32_t GetU32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  }
  return value;
}

// A small fixture whose header claims `table_sectors` sector-table sectors:
// the 109 header slots and the DIFAT sectors that follow all name the one
// real table sector, so the file still reads the same. The DIFAT sectors
// are appended.
std::string WithDifat(std::uint32_t table_sectors) {
  constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
  constexpr std::size_t kSector = 512;
  constexpr std::uint32_t kPerDifat = kSector / 4 - 1;
  std::string bytes = FixtureBytes("date1904.xls");
  const std::uint32_t table = GetU32(bytes, 0x4C);
  for (std::size_t i = 1; i < 109; ++i) PutU32(bytes, 0x4C + 4 * i, table);
  const std::uint32_t difat_count =
      (table_sectors - 109 + kPerDifat - 1) / kPerDifat;
  const auto first_difat =
      static_cast<std::uint32_t>(bytes.size() / kSector - 1);
  for (std::uint32_t d = 0; d < difat_count; ++d) {
    std::string sector(kSector, '\0');
    for (std::uint32_t i = 0; i < kPerDifat; ++i) {
      PutU32(sector, 4 * i, table);
    }
    PutU32(sector, 4 * kPerDifat,
           d + 1 < difat_count ? first_difat + d + 1 : kEndOfChain);
    bytes += sector;
  }
  // Room enough that the claimed count fits in the file.
  while (bytes.size() / kSector <= table_sectors) {
    bytes += std::string(kSector, '\0');
  }
  PutU32(bytes, 0x2C, table_sectors);
  PutU32(bytes, 0x44, first_difat);
  PutU32(bytes, 0x48, difat_count);
  return bytes;
}

TEST(XlsReader, SectorTableListedInDifatSectors) {
  const auto sound = XlsReader().ReadFromBytes(WithDifat(300));
  ASSERT_TRUE(sound.ok()) << sound.reason();
  EXPECT_TRUE(sound->date1904);
  test::ExpectCells(sound->first_sheet, {{1, 2, Kind::kNumber, 1}});

  struct Case {
    const char* what;
    std::string bytes;
  };
  Case cases[] = {
      {"chain back to its first DIFAT sector", WithDifat(300)},
      {"chain outside the file", WithDifat(300)},
      {"chain ends before the count", WithDifat(300)},
  };
  const auto first_difat = GetU32(cases[0].bytes, 0x44);
  const auto first_difat_next = (first_difat + 1) * 512 + 508;
  PutU32(cases[0].bytes, first_difat_next, first_difat);
  PutU32(cases[1].bytes, first_difat_next, 90000);
  PutU32(cases[2].bytes, 0x48, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto read = XlsReader().ReadFromBytes(c.bytes);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.reason(), "工作簿已损坏：扇区表");
  }
}

TEST(XlsReader, CutFilesAreRefused) {
  // The fixture's sector table sits in its last sector, so every cut takes
  // away part of the table or of a stream.
  const std::string whole = FixtureBytes("biff8_values.xls");
  ASSERT_GT(whole.size(), 4096u);
  for (std::size_t size = 0; size < whole.size(); size += 97) {
    const auto read = XlsReader().ReadFromBytes(whole.substr(0, size));
    EXPECT_FALSE(read.ok()) << "cut at " << size;
  }
}

TEST(XlsReader, LimitsRefuseTooLargeWorkbooks) {
  struct Case {
    XlsLimits limits;
    const char* reason;
  };
  const Case cases[] = {
      {{1000, 100, 1 << 20, 100}, "工作簿过大：文件超过 1000 字节"},
      {{1 << 20, 3, 1 << 20, 100}, "工作簿过大：第一个工作表超过 3 个单元格"},
      {{1 << 20, 100, 10, 100}, "工作簿过大：第一个工作表的文字超过 10 字节"},
      {{1 << 20, 100, 1 << 20, 1}, "工作簿过大：共享字符串超过 1 个"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto from_file =
        XlsReader(c.limits).Read(Fixture("biff8_values.xls"));
    ASSERT_FALSE(from_file.ok());
    EXPECT_EQ(from_file.reason(), c.reason);
  }
}

TEST(XlsReader, MissingAndUnreadableFiles) {
  const auto missing = XlsReader().Read(Fixture("no_such_file.xls"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.reason(), "文件不存在");
  const auto folder = XlsReader().Read(Fixture(""));
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.reason(), "无法读取文件");
}

TEST(XlsReader, RecognisesCompoundFilesOnly) {
  const XlsReader reader;
  EXPECT_TRUE(reader.Recognises("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest"));
  EXPECT_FALSE(reader.Recognises("PK\x03\x04"));
  EXPECT_FALSE(reader.Recognises("\xD0\xCF\x11"));
  EXPECT_FALSE(reader.Recognises(""));
}

}  // namespace
}  // namespace vellumark::sheets
