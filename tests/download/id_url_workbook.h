#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vellumark::testing {

// Writes an .xlsx whose first sheet holds the pairs in columns A and B as
// inline strings, one row each: addresses that point at a test's own
// server, which no fixture file can know in advance.
bool WriteIdUrlWorkbook(
    const std::filesystem::path& file,
    const std::vector<std::pair<std::string, std::string>>& rows);

}  // namespace vellumark::testing
