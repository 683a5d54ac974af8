#pragma once

// The libzip adapter: opens a workbook package from a file or from memory
// and streams one part at a time, never more than `cap` inflated bytes.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace vellumark::sheets::xlsx {

// nullopt when all went well.
using Status = std::optional<Error>;

class ZipArchive {
 public:
  static Result<std::unique_ptr<ZipArchive>> OpenFile(
      const std::filesystem::path& file);
  // `bytes` must outlive the archive.
  static Result<std::unique_ptr<ZipArchive>> OpenMemory(std::string_view bytes);
  ~ZipArchive();

  // Part names are matched without regard to case, as the package rules say.
  bool Has(std::string_view part) const;

  // Hands the part's inflated bytes to `sink` in chunks. Refuses the part
  // once it passes `cap` bytes; `sink` returns false to stop early.
  Status Stream(std::string_view part, std::size_t cap,
                const std::function<bool(std::string_view)>& sink) const;

 private:
  struct Impl;
  explicit ZipArchive(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vellumark::sheets::xlsx
