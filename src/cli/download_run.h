#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/imported_rows.h"
#include "download/download_engine.h"

namespace vellumark::cli {

struct DownloadRunOptions {
  std::string folder;  // an existing folder
  int jobs = 8;
  std::string report;     // JSON report path; empty for none
  bool progress = false;  // a one-line progress display on `err`
};

// Downloads the rows into the folder with the engine, then prints a summary
// line on `out`, one line per failed row on `err`, and writes the report.
// Exit code: kExitOk when every row was saved, kExitSomeFailed otherwise,
// kExitUsage when the report cannot be written.
int DownloadRows(const std::vector<ImportedRow>& rows,
                 const DownloadRunOptions& options, std::ostream& out,
                 std::ostream& err);

// The report: one object per row (row counted from 1, id, address, file,
// ok, status, bytes, error), as a JSON array.
std::string ReportJson(const std::vector<ImportedRow>& rows,
                       const std::vector<RowOutcome>& outcomes);

}  // namespace vellumark::cli
