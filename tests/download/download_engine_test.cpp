#include "download/download_engine.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "common/text_ops.h"
#include "served_folder.h"

namespace vellumark {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::PictureBytes;
using testing::ReadFile;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every file under `folder`, by path relative to it, with its bytes.
std::map<std::string, std::string> FilesUnder(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] =
          ReadFile(entry.path());
    }
  }
  return files;
}

class DownloadEngineTest : public ::testing::Test {
 protected:
  DownloadEngineTest()
      : served_("engine"), routes_(served_.routes()), root_(served_.folder()) {
    out_ = root_ / "out";
    fs::create_directories(out_);
    options_.fetch.connect_timeout = 2000ms;
    options_.fetch.stall_timeout = 1000ms;
  }

  std::string Url(const std::string& path) const { return served_.Url(path); }

  std::vector<RowOutcome> Run(std::vector<DownloadRow> rows) {
    return DownloadAllRows(std::move(rows), out_.string(), options_);
  }

  testing::ServedFolder served_;
  testing::PictureRoutes& routes_;
  fs::path root_;
  fs::path out_;
  DownloadOptions options_;
};

TEST_F(DownloadEngineTest, SavesGoodRowsAndKeepsExistingFilesOnEveryFailure) {
  const struct {
    const char* id;
    std::string address;
    bool ok;
    const char* reason;
  } cases[] = {
      {"1001", Url("/pic.png"), true, ""},
      {"1002", Url("/301.png?x=1"), true, ""},
      {"1003", Url("/nolen.png#top"), true, ""},
      {"2001", Url("/404.png"), false, "HTTP 404"},
      {"2002", Url("/500.png"), false, "HTTP 500"},
      {"2003", Url("/loop.png"), false, "重定向过多"},
      {"2004", Url("/cut.png"), false, "传输中断"},
      {"2005", Url("/empty.png"), false, "空响应"},
      {"2006", Url("/stall.png"), false, "超时"},
      {"2007",
       "http://127.0.0.1:" + std::to_string(testing::ClosedPort()) + "/a.png",
       false, "无法连接"},
      {"2008", "ftp://127.0.0.1/a.png", false, "地址无效"},
  };
  std::vector<DownloadRow> rows;
  for (const auto& c : cases) {
    rows.push_back({c.id, c.address});
    if (!c.ok)
      WriteFile(out_ / (std::string(c.id) + ".png"), "GOOD OLD PICTURE");
  }
  rows.push_back({"3001", Url("/404.png")});  // fails with no file before

  std::vector<std::pair<std::size_t, std::size_t>> progress;
  std::vector<RowOutcome> outcomes(rows.size());
  DownloadTotals totals;
  DownloadCallbacks callbacks;
  callbacks.on_row = [&](const RowOutcome& o) { outcomes[o.row] = o; };
  callbacks.on_progress = [&](std::size_t done, std::size_t total) {
    progress.emplace_back(done, total);
  };
  callbacks.on_finished = [&](const DownloadTotals& t) { totals = t; };
  DownloadEngine engine(options_);
  ASSERT_TRUE(engine.Start(rows, out_.string(), callbacks));
  engine.Wait();

  std::map<std::string, std::string> expected = {
      {"1001.png", PictureBytes('A')},
      {"1002.png", PictureBytes('A')},
      {"1003.png", PictureBytes('N', 25000)},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(outcomes[i].ok, cases[i].ok)
        << cases[i].id << ": " << outcomes[i].reason;
    EXPECT_EQ(outcomes[i].reason, cases[i].reason) << cases[i].id;
    EXPECT_EQ(outcomes[i].file,
              (out_ / (std::string(cases[i].id) + ".png")).string());
    if (!cases[i].ok)
      expected[std::string(cases[i].id) + ".png"] = "GOOD OLD PICTURE";
  }
  EXPECT_EQ(outcomes[0].bytes, PictureBytes('A').size());
  EXPECT_EQ(outcomes[0].status, 200);
  EXPECT_EQ(outcomes[3].status, 404);
  EXPECT_EQ(FilesUnder(out_), expected);  // no temporary files either

  ASSERT_EQ(progress.size(), rows.size());
  for (std::size_t i = 0; i < progress.size(); ++i) {
    EXPECT_EQ(progress[i], std::make_pair(i + 1, rows.size()));
  }
  EXPECT_EQ(totals.saved, 3u);
  EXPECT_EQ(totals.failed, rows.size() - 3);
  EXPECT_FALSE(totals.cancelled);
}

TEST_F(DownloadEngineTest, RefusedNamesAndEmptyAddressesSendAndWriteNothing) {
  WriteFile(root_ / "x.png", "OUTSIDE");
  const std::vector<DownloadRow> rows = {
      {"../x", Url("/pic.png")},
      {"a/b", Url("/pic.png")},
      {"..\\x", Url("/pic.png")},
      {"a:b", Url("/pic.png")},
      {"1001", ""},
      {"../x", ""},
      {"", Url("/pic2.png")},
      {"1002", Url("/pic.png?x=1")},
  };
  std::vector<RowOutcome> outcomes = Run(rows);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_FALSE(outcomes[i].ok) << rows[i].id;
    EXPECT_EQ(outcomes[i].reason, "文件名无效") << rows[i].id;
    EXPECT_EQ(outcomes[i].file, "");
  }
  EXPECT_EQ(outcomes[4].reason, "没有地址");
  EXPECT_EQ(outcomes[5].reason, "没有地址");
  EXPECT_TRUE(outcomes[6].ok) << outcomes[6].reason;
  EXPECT_TRUE(outcomes[7].ok) << outcomes[7].reason;

  const std::vector<testing::SeenRequest> seen = routes_.Seen();
  std::set<std::string> targets;
  for (const auto& request : seen) targets.insert(request.target);
  EXPECT_EQ(targets, (std::set<std::string>{"/pic2.png", "/pic.png?x=1"}));
  EXPECT_EQ(FilesUnder(root_), (std::map<std::string, std::string>{
                                   {"x.png", "OUTSIDE"},
                                   {"out/.png", PictureBytes('B', 4100)},
                                   {"out/1002.png", PictureBytes('A')},
                               }));
}

TEST_F(DownloadEngineTest, RowsOfOneFileEndAsAOneByOneRunWouldLeaveThem) {
  const std::vector<DownloadRow> rows = {
      // The first is slow: without ordering the second would finish first
      // and then be overwritten.
      {"A", Url("/slow/S.png")}, {"A", Url("/pic2.png")},
      {"B", Url("/pic2.png")},   {"B", Url("/404.png")},
      {"C", Url("/pic.png")},    {"C", Url("/slow/S.png")},
      {"C", Url("/cut.png")},
  };
  std::vector<RowOutcome> outcomes = Run(rows);
  EXPECT_EQ(FilesUnder(out_), (std::map<std::string, std::string>{
                                  {"A.png", PictureBytes('B', 4100)},
                                  {"B.png", PictureBytes('B', 4100)},
                                  {"C.png", PictureBytes('S')},
                              }));
  EXPECT_TRUE(outcomes[0].ok && outcomes[1].ok && outcomes[2].ok);
  EXPECT_FALSE(outcomes[3].ok);
  EXPECT_FALSE(outcomes[6].ok);
}

TEST_F(DownloadEngineTest, RunsAtMostJobsTransfersAtOnce) {
  for (int jobs : {1, 3, 8}) {
    testing::HttpServer server;
    // Long answers, so that every allowed transfer is surely under way.
    testing::PictureRoutes routes(server.server(), 400ms);
    server.Listen();
    std::vector<DownloadRow> rows;
    for (int i = 0; i < jobs + 3; ++i) {
      rows.push_back(
          {JoinTexts({"j", TextOfInteger(jobs), "-", TextOfInteger(i)}),
           server.Url("/slow/" + std::to_string(i % 10) + ".png")});
    }
    options_.jobs = jobs;
    std::vector<RowOutcome> outcomes = Run(rows);
    for (const RowOutcome& outcome : outcomes) {
      EXPECT_TRUE(outcome.ok) << outcome.reason;
    }
    EXPECT_EQ(routes.MaxInFlight(), jobs);
  }
}

TEST_F(DownloadEngineTest, CancelAbortsInFlightTransfersAndWritesNothing) {
  WriteFile(out_ / "5.png", "GOOD OLD PICTURE");
  std::vector<DownloadRow> rows;
  for (int i = 0; i < 20; ++i) {
    rows.push_back({std::to_string(i), Url("/stall.png")});
  }
  options_.jobs = 4;
  options_.fetch.stall_timeout = 20000ms;
  std::mutex mutex;
  std::vector<RowOutcome> outcomes;
  DownloadTotals totals;
  DownloadCallbacks callbacks;
  callbacks.on_row = [&](const RowOutcome& o) {
    std::lock_guard<std::mutex> lock(mutex);
    outcomes.push_back(o);
  };
  callbacks.on_finished = [&](const DownloadTotals& t) { totals = t; };
  DownloadEngine engine(options_);
  ASSERT_TRUE(engine.Start(rows, out_.string(), callbacks));
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (routes_.SeenCount() < 4 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(routes_.SeenCount(), 4u);
  EXPECT_TRUE(engine.running());
  const auto cancelled_at = std::chrono::steady_clock::now();
  engine.Cancel();
  engine.Wait();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled_at, 1s);
  EXPECT_FALSE(engine.running());

  ASSERT_EQ(outcomes.size(), rows.size());
  for (const RowOutcome& outcome : outcomes) {
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, "已取消");
  }
  EXPECT_TRUE(totals.cancelled);
  EXPECT_EQ(totals.failed, rows.size());
  EXPECT_EQ(routes_.SeenCount(), 4u);  // nothing started after the cancel
  EXPECT_EQ(
      FilesUnder(out_),
      (std::map<std::string, std::string>{{"5.png", "GOOD OLD PICTURE"}}));
}

TEST_F(DownloadEngineTest, RunsAgainAfterARunAndRefusesToOverlap) {
  DownloadEngine engine(options_);
  routes_.stall_gate().Open();
  ASSERT_TRUE(engine.Start({{"1", Url("/slow/1.png")}}, out_.string(), {}));
  EXPECT_FALSE(engine.Start({{"2", Url("/pic.png")}}, out_.string(), {}));
  engine.Wait();
  ASSERT_TRUE(engine.Start({{"3", Url("/pic.png")}}, out_.string(), {}));
  engine.Wait();
  EXPECT_EQ(FilesUnder(out_),
            (std::map<std::string, std::string>{{"1.png", PictureBytes('1')},
                                                {"3.png", PictureBytes('A')}}));
}

}  // namespace
}  // namespace vellumark
