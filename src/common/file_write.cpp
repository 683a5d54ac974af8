#include "common/file_write.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "common/path_text.h"

namespace vellumark {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool EndsInSeparator(std::string_view path) {
  const char last = path.back();
#ifdef _WIN32
  return last == '/' || last == '\\';
#else
  return last == '/';
#endif
}

std::FILE* OpenExclusive(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wbx");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// A fresh file beside the target; "x" refuses to reuse an existing name.
std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 16; ++attempt) {
    fs::path candidate = target;
    candidate += ".vmtmp-" + std::to_string(random() % 1000000000000ULL);
    if (std::FILE* file = OpenExclusive(candidate)) {
      temporary = std::move(candidate);
      return file;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool WriteParts(std::FILE* file,
                std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    if (std::fwrite(part.data(), 1, part.size(), file) != part.size()) {
      return false;
    }
  }
  return std::fflush(file) == 0;
}

}  // namespace

bool WriteBytesToFile(std::string_view path,
                      std::initializer_list<std::string_view> parts) {
  if (path.empty() || EndsInSeparator(path)) return false;
  const fs::path target = PathFromText(path);

  fs::path temporary;
  FileHandle file(CreateTemporaryBeside(target, temporary));
  if (!file) return false;

  bool written = WriteParts(file.get(), parts);
  written = (std::fclose(file.release()) == 0) && written;

  std::error_code error;
  if (written) fs::rename(temporary, target, error);
  if (!written || error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace vellumark
