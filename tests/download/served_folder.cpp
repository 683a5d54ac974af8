#include "served_folder.h"

#include <fstream>
#include <sstream>

namespace vellumark::testing {

ServedFolder::ServedFolder(const std::string& label) : routes_(http_.server()) {
  http_.Listen();
  folder_ = std::filesystem::temp_directory_path() /
            ("vellumark-" + label + "-" + std::to_string(http_.port()));
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
}

ServedFolder::~ServedFolder() {
  routes_.stall_gate().Open();
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace vellumark::testing
