// `vellumark-cli list`, run in-process with its output captured.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace vellumark::cli {
namespace {

std::string Fixture(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data" / folder /
          name)
      .string();
}

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun RunWith(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "vellumark-cli");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

TEST(ListCommand, JsonHasTheRowsAsStringPairs) {
  const CliRun run =
      RunWith({"list", "--json", Fixture("import", "three_rows.xlsx")});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "[[\"100000000001\",\"https://img.example.com/a/1.png\"],"
            "[\"宝贝二号\",\"http://127.0.0.1:8080/2.png?x=1\"],"
            "[\"100000000003\",\"https://img.example.com/宝贝/3.jpg\"]]\n");
  EXPECT_EQ(run.err, "");
}

TEST(ListCommand, PlainOutputIsOneTabSeparatedLinePerRow) {
  const CliRun run = RunWith({"list", Fixture("import", "rows_3_to_7.xlsx")});
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.out, "\t\n\t\n3\tu3\n\t\n5\t\n\t\n\tu7\n");

  const CliRun chart =
      RunWith({"list", "--json", Fixture("xlsx", "chart_first.xlsx")});
  EXPECT_EQ(chart.code, kExitOk);
  EXPECT_EQ(chart.out, "[]\n");
}

// A legacy workbook lists exactly what the same sheet saved as .xlsx lists.
TEST(ListCommand, XlsAndItsXlsxTwinListTheSamePairs) {
  for (const char* twin :
       {"biff8_values", "biff5_cp936", "sst_continue", "used_range"}) {
    const std::string name(twin);
    const CliRun xls =
        RunWith({"list", "--json", Fixture("xls", name + ".xls")});
    const CliRun xlsx =
        RunWith({"list", "--json", Fixture("xls", name + ".xlsx")});
    EXPECT_EQ(xls.code, kExitOk) << twin << ": " << xls.err;
    EXPECT_GT(xls.out.size(), 4u) << twin;  // more than "[]"
    EXPECT_EQ(xls.out, xlsx.out) << twin;
  }
  const CliRun chinese =
      RunWith({"list", "--json", Fixture("xls", "biff5_cp936.xls")});
  EXPECT_NE(chinese.out.find("[\"A1001\",\"http://127.0.0.1/中文.jpg\"]"),
            std::string::npos)
      << chinese.out;
}

TEST(ListCommand, BadArgumentsAndUnreadableWorkbooksExitWithTwo) {
  const struct {
    std::vector<std::string> arguments;
    std::string reason;
  } cases[] = {
      {{"list", Fixture("import", "not_a_workbook.xlsx")}, "不是工作簿文件"},
      {{"list", Fixture("import", "missing.xlsx")}, "文件不存在"},
      {{"list"}, "WORKBOOK is required"},
      {{}, "subcommand"},
      {{"list", "--bogus", Fixture("import", "three_rows.xlsx")}, "--bogus"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunWith(c.arguments);
    EXPECT_EQ(run.code, kExitUsage) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    // One line, ending in a newline.
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

}  // namespace
}  // namespace vellumark::cli
