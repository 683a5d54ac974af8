#include <mach-o/dyld.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/program_directory.h"

namespace vellumark {

std::string ProgramFilePath() {
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string buffer(size, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return std::string();
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  std::error_code error;
  const auto canonical = std::filesystem::weakly_canonical(buffer, error);
  return error ? buffer : canonical.string();
}

}  // namespace vellumark
