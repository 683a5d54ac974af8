#include "common/program_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/path_text.h"

namespace vellumark {
namespace {

namespace fs = std::filesystem;

TEST(DirectoryOfProgramFile, CutsAtTheLastSeparator) {
  const struct {
    const char* program_file;
    const char* directory;
  } cases[] = {
      {"/usr/local/bin/vellumark", "/usr/local/bin"},
      {"/opt/图片工具/vellumark", "/opt/图片工具"},
      {"/vellumark", ""},  // root: "" + "/" + name is the right path
      {"vellumark", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryOfProgramFile(c.program_file), c.directory)
        << c.program_file;
  }
}

TEST(ProgramDirectory, IsFoundOnceAndMadeTheCurrentDirectory) {
  const fs::path before = fs::current_path();
  const fs::path home = fs::temp_directory_path() / "vellumark-程序目录";
  fs::create_directories(home);
  const std::string program = TextFromPath(home / "vellumark");

  ASSERT_TRUE(InitProgramDirectory(program));
  EXPECT_EQ(fs::current_path(), home);
  EXPECT_EQ(ProgramDirectory(), TextFromPath(home));

  // A later change of the current directory does not move it.
  fs::current_path(fs::temp_directory_path());
  EXPECT_EQ(ProgramDirectory(), TextFromPath(home));

  // A program in the root gives an absent directory and "/" as current.
  ASSERT_TRUE(InitProgramDirectory("/vellumark"));
  EXPECT_EQ(ProgramDirectory(), std::nullopt);
  EXPECT_EQ(fs::current_path(), fs::path("/"));

  fs::current_path(before);
  fs::remove_all(home);
}

TEST(ProgramFilePath, NamesThisTestProgram) {
  const std::string path = ProgramFilePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(fs::is_regular_file(PathFromText(path)));
  EXPECT_EQ(PathFromText(path).stem(), "common_test");
}

}  // namespace
}  // namespace vellumark
