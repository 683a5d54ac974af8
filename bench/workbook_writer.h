#pragma once

// Writes a plain two-column workbook for the benchmark: column A 12-digit
// numbers, column B distinct picture addresses.

#include <filesystem>

namespace vellumark::bench {

bool WriteIdUrlWorkbook(const std::filesystem::path& file, int rows);

// The benchmarks' shared workbook of `rows` rows in the temporary folder,
// written on first use; empty (with a message on standard error) when it
// cannot be written.
std::filesystem::path BenchWorkbook(int rows);

}  // namespace vellumark::bench
