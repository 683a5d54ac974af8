#include <filesystem>
#include <system_error>

#include "common/path_text.h"
#include "common/program_directory.h"

namespace vellumark {

std::string ProgramFilePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : TextFromPath(path);
}

}  // namespace vellumark
