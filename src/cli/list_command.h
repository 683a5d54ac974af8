#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace vellumark::cli {

struct ListOptions {
  std::string workbook;
  bool json = false;
};

// `list [--json] WORKBOOK`: prints the rows an import reads.
void AddListCommand(CLI::App& app, ListOptions& options);
int RunList(const ListOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vellumark::cli
