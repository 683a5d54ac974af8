#pragma once

#include <ostream>

namespace vellumark::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;  // bad arguments or unreadable workbook

// The whole command line, run in-process so tests capture what it prints.
int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err);

}  // namespace vellumark::cli
