#include "common/file_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "common/path_text.h"

namespace vellumark {
namespace {

namespace fs = std::filesystem;

class WriteBytesToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("vellumark-write-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string PathOf(const std::string& name) const {
    return TextFromPath(folder_ / PathFromText(name));
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(PathFromText(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Everything in the folder, so a leftover temporary file shows up.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(TextFromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(WriteBytesToFileTest, CreatesReplacesAndTruncates) {
  const std::string path = PathOf("1001.png");
  ASSERT_TRUE(WriteBytesToFile(path, std::string_view("first body")));
  EXPECT_EQ(Read(path), "first body");

  ASSERT_TRUE(WriteBytesToFile(path, {"ab", "", "cd"}));
  EXPECT_EQ(Read(path), "abcd");

  ASSERT_TRUE(WriteBytesToFile(path, std::string_view()));
  EXPECT_TRUE(fs::exists(PathFromText(path)));
  EXPECT_EQ(fs::file_size(PathFromText(path)), 0u);

  const std::string binary("\0\xff\x01png", 6);
  ASSERT_TRUE(WriteBytesToFile(PathOf("宝贝.jpg"), binary));
  EXPECT_EQ(Read(PathOf("宝贝.jpg")), binary);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"1001.png", "宝贝.jpg"}));
}

TEST_F(WriteBytesToFileTest, RefusesBadPathsAndCreatesNothing) {
  const std::string refused[] = {
      "",
      PathOf("missing-folder/1001.png"),
      PathOf("sub") + "/",
      TextFromPath(folder_) + "/",
  };
  for (const std::string& path : refused) {
    EXPECT_FALSE(WriteBytesToFile(path, std::string_view("x"))) << path;
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(WriteBytesToFileTest, TargetThatIsAFolderStaysAndLeavesNoTemporary) {
  fs::create_directory(folder_ / "1001.png");
  EXPECT_FALSE(WriteBytesToFile(PathOf("1001.png"), std::string_view("x")));
  EXPECT_TRUE(fs::is_directory(folder_ / "1001.png"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"1001.png"});
}

#ifndef _WIN32
// A write that fails half-way (here: past the process's file size limit)
// keeps the old file whole and leaves no temporary file.
TEST_F(WriteBytesToFileTest, FailedWriteKeepsTheExistingFile) {
  const std::string path = PathOf("1001.png");
  ASSERT_TRUE(WriteBytesToFile(path, std::string_view("good picture")));

  const auto write_past_the_limit = [&path] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::string big(1 << 20, 'x');
    std::exit(WriteBytesToFile(path, big) ? 1 : 0);
  };
  EXPECT_EXIT(write_past_the_limit(), ::testing::ExitedWithCode(0), "");

  EXPECT_EQ(Read(path), "good picture");
  EXPECT_EQ(Entries(), std::vector<std::string>{"1001.png"});
}
#endif

}  // namespace
}  // namespace vellumark
