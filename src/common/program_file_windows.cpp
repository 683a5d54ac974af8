#include <windows.h>

#include <string>

#include "common/path_text.h"
#include "common/program_directory.h"

namespace vellumark {

std::string ProgramFilePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(),
                                            static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      buffer.resize(length);
      return TextFromPath(std::filesystem::path(buffer));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace vellumark
