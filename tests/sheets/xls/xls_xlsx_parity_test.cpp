// The same sheet saved as .xls and as .xlsx reads as the same cells. Built
// only where the engine's ReadWorkbookFile (and its .xlsx reader) links.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "expected_cells.h"
#include "sheets/workbook_reader.h"
#include "sheets/xls/xls_reader.h"

namespace vellumark::sheets {
namespace {

std::filesystem::path Fixture(const std::string& name) {
  return std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests" / "data" /
         "xls" / name;
}

TEST(XlsXlsxParity, TwinFixturesReadAsTheSameCells) {
  for (const char* name :
       {"biff8_values", "biff5_cp936", "sst_continue", "used_range"}) {
    SCOPED_TRACE(name);
    const auto xls = XlsReader().Read(Fixture(std::string(name) + ".xls"));
    const auto xlsx = ReadWorkbookFile(Fixture(std::string(name) + ".xlsx"));
    ASSERT_TRUE(xls.ok()) << xls.reason();
    ASSERT_TRUE(xlsx.ok()) << xlsx.reason();
    test::ExpectSameWorkbook(*xls, *xlsx);
  }
}

}  // namespace
}  // namespace vellumark::sheets
