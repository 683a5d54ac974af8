// The reader's small parts where a table shows more than a fixture.

#include <gtest/gtest.h>

#include <string>

#include "sheets/date_formats.h"
#include "sheets/xls/codepage.h"
#include "sheets/xls/rk_number.h"

namespace vellumark::sheets::xls {
namespace {

TEST(DateFormats, CodesWithDateOrTimeTokens) {
  struct Case {
    const char* code;
    bool date;
  };
  const Case cases[] = {
      {"yyyy/m/d", true},      {"h:mm AM/PM", true},
      {"mm:ss.0", true},       {"[$-804]yyyy\"年\"m\"月\"", true},
      {"[h]:mm", true},        {"[ss]", true},
      {"General", false},      {"general;-general", false},
      {"0.00E+00", false},     {"#,##0.00_);[Red](#,##0.00)", false},
      {"0\" days\"", false},   {"\\h0", false},
      {"*d0", false},          {"[DBNum1][$-804]General", false},
      {"0.00;yyyy", false},  // a date only in the second section
      {"\"unclosed d", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDateFormatCode(c.code), c.date) << c.code;
  }
}

TEST(DateFormats, BuiltInIds) {
  for (int id = 0; id < 200; ++id) {
    const bool date = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) ||
                      (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
    EXPECT_EQ(IsBuiltInDateFormat(static_cast<std::uint16_t>(id)), date) << id;
  }
}

TEST(RkNumber, IntegerAndDoubleFormsWithAndWithoutHundredth) {
  EXPECT_EQ(DecodeRk(0x00000002u | (5u << 2)), 5);
  EXPECT_EQ(DecodeRk(0xFFFFFFFEu), -1);  // -1 as 30-bit integer
  EXPECT_EQ(DecodeRk(0x00000003u | (150u << 2)), 1.5);
  EXPECT_EQ(DecodeRk(0x3FF00000u), 1.0);        // top bits of 1.0
  EXPECT_EQ(DecodeRk(0x3FF00001u), 0.01);       // 1.0 / 100
  EXPECT_EQ(DecodeRk(0x7FFFFFFEu), 536870911);  // largest integer
}

TEST(CodePage, ConvertsKnownPagesAndMarksBadBytes) {
  CodePageDecoder gbk(936);
  EXPECT_EQ(gbk.ToUtf8("\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(gbk.ToUtf8("abc"), "abc");
  // A lead byte without its trail byte at the end.
  EXPECT_EQ(gbk.ToUtf8("a\xD6"), "a\xEF\xBF\xBD");
  CodePageDecoder western(1252);
  EXPECT_EQ(western.ToUtf8("\xC4\x80"), "Ä€");
  EXPECT_EQ(western.ToUtf8("x\x81y"), "x\xEF\xBF\xBDy");  // unmapped in 1252
  CodePageDecoder unknown(12345);                         // falls back to 1252
  EXPECT_EQ(unknown.ToUtf8("\xE9"), "é");
}

}  // namespace
}  // namespace vellumark::sheets::xls
