#pragma once

// Writes a plain two-column workbook for the benchmark: column A 12-digit
// numbers, column B distinct picture addresses.

#include <filesystem>

namespace vellumark::bench {

bool WriteIdUrlWorkbook(const std::filesystem::path& file, int rows);

}  // namespace vellumark::bench
