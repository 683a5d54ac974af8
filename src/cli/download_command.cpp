#include "cli/download_command.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "cli/cli.h"
#include "cli/download_run.h"
#include "cli/imported_rows.h"
#include "common/path_text.h"

namespace vellumark::cli {
namespace {

// A report goes into a folder that exists, so a long download does not end
// with nowhere to put its report.
std::string CheckReportFolder(const std::string& report) {
  std::filesystem::path folder = PathFromText(report).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    return "the folder of the report does not exist: " + TextFromPath(folder);
  }
  return "";
}

}  // namespace

void AddDownloadCommand(CLI::App& app, DownloadCommandOptions& options) {
  CLI::App* download = app.add_subcommand(
      "download", "Save the picture of every row of WORKBOOK as ID + ending");
  download
      ->add_option("WORKBOOK", options.workbook, "An .xlsx or .xls workbook")
      ->required();
  download->add_option("--out", options.out, "An existing folder (default: .)")
      ->check(CLI::ExistingDirectory);
  download
      ->add_option("--jobs", options.jobs,
                   "Transfers at once, 1 to 64 (default: 8)")
      ->check(CLI::Range(1, 64));
  download
      ->add_option("--report", options.report,
                   "Write a JSON array with one object per row to FILE")
      ->check(CLI::Validator(CheckReportFolder, "FILE"));
}

int RunDownload(const DownloadCommandOptions& options, std::ostream& out,
                std::ostream& err, bool err_is_terminal) {
  const auto rows = ImportRows(options.workbook);
  if (!rows) {
    err << "vellumark-cli: " << options.workbook << ": " << rows.reason()
        << "\n";
    return kExitUsage;
  }
  DownloadRunOptions run;
  run.folder = options.out;
  run.jobs = options.jobs;
  run.report = options.report;
  run.progress = err_is_terminal;
  return DownloadRows(*rows, run, out, err);
}

}  // namespace vellumark::cli
