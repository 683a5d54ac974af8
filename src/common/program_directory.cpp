#include "common/program_directory.h"

#include <filesystem>
#include <system_error>

#include "common/path_text.h"

namespace vellumark {
namespace {

std::string& StoredDirectory() {
  static std::string directory;
  return directory;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace

std::string DirectoryOfProgramFile(std::string_view program_file) {
  // UTF-8 never uses a separator byte inside a multibyte character, so a
  // plain byte search is safe.
  for (std::size_t i = program_file.size(); i > 0; --i) {
    if (IsSeparator(program_file[i - 1])) {
      return std::string(program_file.substr(0, i - 1));
    }
  }
  return std::string();
}

bool InitProgramDirectory(std::string_view program_file) {
  StoredDirectory() = DirectoryOfProgramFile(program_file);
  std::string target = StoredDirectory();
  if (target.empty() && !program_file.empty() && IsSeparator(program_file[0])) {
    target = "/";
  }
  if (target.empty()) return false;
  std::error_code error;
  std::filesystem::current_path(PathFromText(target), error);
  return !error;
}

Text ProgramDirectory() {
  if (StoredDirectory().empty()) return std::nullopt;
  return StoredDirectory();
}

}  // namespace vellumark
