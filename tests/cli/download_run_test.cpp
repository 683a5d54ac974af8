#include "cli/download_run.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "served_folder.h"

namespace vellumark::cli {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

class DownloadRowsTest : public ::testing::Test {
 protected:
  DownloadRowsTest() : served_("cli-rows"), folder_(served_.folder()) {
    options_.folder = folder_.string();
  }

  testing::ServedFolder served_;
  fs::path folder_;
  DownloadRunOptions options_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(DownloadRowsTest, ReportsEveryRowAndExitsOneWhenSomeFailed) {
  const std::vector<ImportedRow> rows = {
      {"1001", served_.Url("/pic.png?x=1")},
      {"1002", served_.Url("/404.png")},
      {"a/b", served_.Url("/pic.png")},
  };
  options_.report = (folder_ / "report.json").string();
  EXPECT_EQ(DownloadRows(rows, options_, out_, err_), kExitSomeFailed);
  EXPECT_EQ(out_.str(), "3 rows: 1 saved, 2 failed\n");
  EXPECT_EQ(err_.str(),
            "row 2 (1002): HTTP 404\n"
            "row 3 (a/b): 文件名无效\n");

  const nlohmann::json report =
      nlohmann::json::parse(ReadFile(options_.report));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0]["row"], 1);
  EXPECT_EQ(report[0]["id"], "1001");
  EXPECT_EQ(report[0]["address"], rows[0].address);
  EXPECT_EQ(report[0]["file"], (folder_ / "1001.png").string());
  EXPECT_EQ(report[0]["ok"], true);
  EXPECT_EQ(report[0]["status"], 200);
  EXPECT_EQ(report[0]["bytes"], testing::PictureBytes('A').size());
  EXPECT_TRUE(report[0]["error"].is_null());
  EXPECT_EQ(report[1]["ok"], false);
  EXPECT_EQ(report[1]["status"], 404);
  EXPECT_EQ(report[1]["bytes"], 0);
  EXPECT_EQ(report[1]["error"], "HTTP 404");
  EXPECT_TRUE(report[2]["file"].is_null());
  EXPECT_EQ(report[2]["error"], "文件名无效");
  EXPECT_EQ(ReadFile(folder_ / "1001.png"), testing::PictureBytes('A'));
}

TEST_F(DownloadRowsTest, ExitsZeroWhenEveryRowWasSavedAndShowsProgress) {
  options_.progress = true;
  options_.jobs = 2;
  const std::vector<ImportedRow> rows = {{"1", served_.Url("/pic.png")},
                                         {"2", served_.Url("/pic2.png")}};
  EXPECT_EQ(DownloadRows(rows, options_, out_, err_), kExitOk);
  EXPECT_EQ(out_.str(), "2 rows: 2 saved, 0 failed\n");
  EXPECT_EQ(err_.str(), "\rdownloading 1/2\rdownloading 2/2\n");
}

TEST_F(DownloadRowsTest, NoRowsIsNoFailure) {
  EXPECT_EQ(DownloadRows({}, options_, out_, err_), kExitOk);
  EXPECT_EQ(out_.str(), "0 rows: 0 saved, 0 failed\n");
}

TEST_F(DownloadRowsTest, AReportThatCannotBeWrittenIsAnError) {
  options_.report = (folder_ / "missing" / "report.json").string();
  EXPECT_EQ(
      DownloadRows({{"1", served_.Url("/pic.png")}}, options_, out_, err_),
      kExitUsage);
  EXPECT_NE(err_.str().find("cannot write the report"), std::string::npos);
}

}  // namespace
}  // namespace vellumark::cli
