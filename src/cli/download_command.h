#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace vellumark::cli {

struct DownloadCommandOptions {
  std::string workbook;
  std::string out = ".";
  int jobs = 8;
  std::string report;
};

// `download WORKBOOK [--out DIR] [--jobs N] [--report FILE]`: the import
// loop, then every row's picture into DIR.
void AddDownloadCommand(CLI::App& app, DownloadCommandOptions& options);
int RunDownload(const DownloadCommandOptions& options, std::ostream& out,
                std::ostream& err, bool err_is_terminal);

}  // namespace vellumark::cli
