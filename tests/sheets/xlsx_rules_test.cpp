// The small text rules of the workbook format, case by case.
#include <gtest/gtest.h>

#include "sheets/date_formats.h"
#include "sheets/xlsx/parts.h"
#include "sheets/xlsx/xlsx_text.h"

namespace vellumark::sheets::xlsx {
namespace {

TEST(DateFormatCodeTest, DateAndTimeTokensOutsideQuotesEscapesAndBrackets) {
  struct Case {
    const char* code;
    bool date;
  };
  const Case cases[] = {
      {"yyyy-mm-dd", true},
      {"yyyy\"年\"m\"月\"d\"日\"", true},
      {"[$-F800]dddd, mmmm dd, yyyy", true},
      {"[h]:mm:ss", true},  // the minutes sit outside the brackets
      {"mm:ss.0", true},
      {"h:mm AM/PM", true},
      {"General", false},
      {"0.00E+00", false},
      {"#,##0.00_);[Red](#,##0.00)", false},
      {"\"Day\" 0", false},
      {"0\\d", false},
      {"[Red]0.00", false},
      {"[h]", true},  // elapsed hours: a time format
      {"@", false},
      {"0;yyyy", false},  // only the first section counts
      {"* 0_m", false},   // a fill and a width character
      {"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsDateFormatCode(c.code), c.date) << c.code;
}

TEST(DateFormatCodeTest, BuiltInIdsIncludingTheEastAsianOnes) {
  for (unsigned id = 0; id < 200; ++id) {
    const bool expected = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) ||
                          (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
    EXPECT_EQ(IsBuiltInDateFormat(id), expected) << id;
  }
}

TEST(DecodeEscapesTest, DecodesCodeUnitsAndLeavesTheRest) {
  struct Case {
    const char* raw;
    const char* text;
  };
  const Case cases[] = {
      {"_x0041_", "A"},
      {"a_x000D__x000A_b", "a\r\nb"},
      {"_x005F_x0041_", "_x0041_"},
      {"_xD83D__xDE00_", "\xF0\x9F\x98\x80"},  // a surrogate pair
      {"_xD83D_", "\xEF\xBF\xBD"},             // a lone surrogate
      {"_x4E2D_", "中"},
      {"_x41_", "_x41_"},
      {"_X0041_", "_X0041_"},
      {"_x00G1_", "_x00G1_"},
      {"_x0041", "_x0041"},
      {"plain_text", "plain_text"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeEscapes(c.raw), c.text) << c.raw;
}

TEST(SerialFromIsoDateTest, DatesTimesAndRefusals) {
  struct Case {
    const char* text;
    std::optional<double> serial;
  };
  const Case cases[] = {
      {"2024-01-01", 45292.0},
      {"2024-01-01T12:00:00", 45292.5},
      {"2024-01-01T06:00:00Z", 45292.25},
      {"1900-03-01", 61.0},
      {"1900-02-28", 59.0},
      {"1900-01-01", 1.0},
      {"T18:00:00", 0.75},
      {"2024-13-01", std::nullopt},
      {"2024-1-1", std::nullopt},
      {"yesterday", std::nullopt},
      {"2024-01-01T25:00", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SerialFromIsoDate(c.text), c.serial) << c.text;
}

TEST(ResolveTargetTest, RelativeAbsoluteAndDotSegments) {
  struct Case {
    const char* source;
    const char* target;
    const char* part;
  };
  const Case cases[] = {
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "/xl/worksheets/sheet1.xml",
       "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "../customXml/item.xml", "customXml/item.xml"},
      {"xl/workbook.xml", "./a/../b.xml", "xl/b.xml"},
      {"", "xl/workbook.xml", "xl/workbook.xml"},
      {"xl/workbook.xml", "../../../etc/passwd", "etc/passwd"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveTarget(c.source, c.target), c.part)
        << c.source << " + " << c.target;
  }
}

}  // namespace
}  // namespace vellumark::sheets::xlsx
