// Runs a fuzz entry once on every file in the folders given, for compilers
// without libFuzzer. Exits non-zero when a folder is missing or empty.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

int main(int argc, char** argv) {
  std::size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(argv[i], error)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(
          reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++runs;
    }
    if (error) {
      std::cerr << "cannot list " << argv[i] << "\n";
      return 1;
    }
  }
  std::cout << runs << " inputs run\n";
  return runs > 0 ? 0 : 1;
}
