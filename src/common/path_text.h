#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellumark {

// Texts hold UTF-8 (the system encoding on Linux); these convert at the
// file-system boundary so the same code is right on Windows too.
std::filesystem::path PathFromText(std::string_view text);
std::string TextFromPath(const std::filesystem::path& path);

}  // namespace vellumark
