#include "cli/list_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/imported_rows.h"

namespace vellumark::cli {

void AddListCommand(CLI::App& app, ListOptions& options) {
  CLI::App* list =
      app.add_subcommand("list", "Print the rows an import of WORKBOOK reads");
  list->add_flag("--json", options.json,
                 "One JSON array of [id, address] pairs");
  list->add_option("WORKBOOK", options.workbook, "An .xlsx or .xls workbook")
      ->required();
}

int RunList(const ListOptions& options, std::ostream& out, std::ostream& err) {
  const auto rows = ImportRows(options.workbook);
  if (!rows) {
    err << "vellumark-cli: " << options.workbook << ": " << rows.reason()
        << "\n";
    return kExitUsage;
  }
  if (options.json) {
    nlohmann::json pairs = nlohmann::json::array();
    for (const ImportedRow& row : *rows) pairs.push_back({row.id, row.address});
    // Replace, not throw, on bytes that are not UTF-8.
    out << pairs.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
        << "\n";
  } else {
    for (const ImportedRow& row : *rows) {
      out << row.id << '\t' << row.address << '\n';
    }
  }
  return kExitOk;
}

}  // namespace vellumark::cli
