#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "id_url_workbook.h"
#include "served_folder.h"

namespace vellumark::cli {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

class DownloadCommandTest : public ::testing::Test {
 protected:
  DownloadCommandTest()
      : served_("cli-command"),
        routes_(served_.routes()),
        root_(served_.folder()) {
    out_dir_ = root_ / "out";
    fs::create_directories(out_dir_);
    workbook_ = root_ / "pictures.xlsx";
  }

  int Run(std::vector<std::string> args) {
    std::vector<const char*> argv = {"vellumark-cli"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    return RunCli(static_cast<int>(argv.size()), argv.data(), out_, err_);
  }

  testing::ServedFolder served_;
  testing::PictureRoutes& routes_;
  fs::path root_;
  fs::path out_dir_;
  fs::path workbook_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(DownloadCommandTest, ImportsTheWorkbookAndSavesEveryRow) {
  ASSERT_TRUE(testing::WriteIdUrlWorkbook(
      workbook_, {{"1001", served_.Url("/pic.png?x=1")},
                  {"1002", served_.Url("/pic2.png")},
                  {"1003", served_.Url("/302.png")}}));
  const fs::path report = root_ / "report.json";
  EXPECT_EQ(Run({"download", workbook_.string(), "--out", out_dir_.string(),
                 "--jobs", "2", "--report", report.string()}),
            kExitOk)
      << err_.str();
  EXPECT_EQ(out_.str(), "3 rows: 3 saved, 0 failed\n");
  EXPECT_EQ(err_.str(), "");  // no progress line when not on a terminal
  EXPECT_EQ(ReadFile(out_dir_ / "1001.png"), testing::PictureBytes('A'));
  EXPECT_EQ(ReadFile(out_dir_ / "1002.png"), testing::PictureBytes('B', 4100));
  EXPECT_EQ(ReadFile(out_dir_ / "1003.png"), testing::PictureBytes('A'));
  const nlohmann::json parsed = nlohmann::json::parse(ReadFile(report));
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[2]["row"], 3);
  EXPECT_EQ(parsed[2]["id"], "1003");
  EXPECT_EQ(parsed[2]["ok"], true);
}

TEST_F(DownloadCommandTest, ExitsOneWhenARowFailed) {
  ASSERT_TRUE(testing::WriteIdUrlWorkbook(
      workbook_,
      {{"1", served_.Url("/pic.png")}, {"2", served_.Url("/404.png")}}));
  EXPECT_EQ(Run({"download", workbook_.string(), "--out", out_dir_.string()}),
            kExitSomeFailed);
  EXPECT_EQ(out_.str(), "2 rows: 1 saved, 1 failed\n");
  EXPECT_EQ(err_.str(), "row 2 (2): HTTP 404\n");
  EXPECT_TRUE(fs::exists(out_dir_ / "1.png"));
  EXPECT_FALSE(fs::exists(out_dir_ / "2.png"));
}

TEST_F(DownloadCommandTest, RefusesBadArgumentsAndUnreadableWorkbooks) {
  ASSERT_TRUE(
      testing::WriteIdUrlWorkbook(workbook_, {{"1", served_.Url("/pic.png")}}));
  std::ofstream(root_ / "broken.xlsx") << "not a workbook";
  const std::string book = workbook_.string();
  const std::string out = out_dir_.string();
  const std::vector<std::vector<std::string>> cases = {
      {"download"},
      {"download", book, "--jobs", "0", "--out", out},
      {"download", book, "--jobs", "65", "--out", out},
      {"download", book, "--jobs", "many", "--out", out},
      {"download", book, "--out", (root_ / "missing").string()},
      {"download", book, "--out", out, "--report",
       (root_ / "missing" / "r.json").string()},
      {"download", (root_ / "absent.xlsx").string(), "--out", out},
      {"download", (root_ / "broken.xlsx").string(), "--out", out},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const std::string& arg : args) line += arg + " ";
    EXPECT_EQ(Run(args), kExitUsage) << line;
  }
  EXPECT_EQ(routes_.SeenCount(), 0u);
  EXPECT_TRUE(fs::is_empty(out_dir_));
}

TEST_F(DownloadCommandTest, SavesIntoTheCurrentDirectoryByDefault) {
  ASSERT_TRUE(
      testing::WriteIdUrlWorkbook(workbook_, {{"7", served_.Url("/pic.png")}}));
  const fs::path before = fs::current_path();
  fs::current_path(out_dir_);
  const int code = Run({"download", workbook_.string()});
  fs::current_path(before);
  EXPECT_EQ(code, kExitOk) << err_.str();
  EXPECT_EQ(ReadFile(out_dir_ / "7.png"), testing::PictureBytes('A'));
}

}  // namespace
}  // namespace vellumark::cli
