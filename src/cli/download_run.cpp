#include "cli/download_run.h"

#include <mutex>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "common/file_write.h"

namespace vellumark::cli {
namespace {

nlohmann::json TextOrNull(const std::string& text) {
  return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

}  // namespace

std::string ReportJson(const std::vector<ImportedRow>& rows,
                       const std::vector<RowOutcome>& outcomes) {
  nlohmann::json report = nlohmann::json::array();
  for (std::size_t i = 0; i < rows.size() && i < outcomes.size(); ++i) {
    const RowOutcome& outcome = outcomes[i];
    report.push_back({
        {"row", i + 1},
        {"id", rows[i].id},
        {"address", rows[i].address},
        {"file", TextOrNull(outcome.file)},
        {"ok", outcome.ok},
        {"status", outcome.status},
        {"bytes", outcome.bytes},
        {"error",
         outcome.ok ? nlohmann::json(nullptr) : nlohmann::json(outcome.reason)},
    });
  }
  // Replace, not throw, on bytes that are not UTF-8.
  return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
         "\n";
}

int DownloadRows(const std::vector<ImportedRow>& rows,
                 const DownloadRunOptions& options, std::ostream& out,
                 std::ostream& err) {
  std::vector<DownloadRow> work;
  work.reserve(rows.size());
  for (const ImportedRow& row : rows) work.push_back({row.id, row.address});

  std::vector<RowOutcome> outcomes(rows.size());
  DownloadTotals totals;
  std::mutex mutex;  // callbacks come one at a time, but from the worker
  DownloadCallbacks callbacks;
  callbacks.on_row = [&](const RowOutcome& outcome) {
    std::lock_guard<std::mutex> lock(mutex);
    outcomes[outcome.row] = outcome;
  };
  if (options.progress) {
    callbacks.on_progress = [&](std::size_t done, std::size_t total) {
      std::lock_guard<std::mutex> lock(mutex);
      err << "\rdownloading " << done << "/" << total << std::flush;
    };
  }
  callbacks.on_finished = [&](const DownloadTotals& end) {
    std::lock_guard<std::mutex> lock(mutex);
    totals = end;
  };

  DownloadOptions engine_options;
  engine_options.jobs = options.jobs;
  DownloadEngine engine(engine_options);
  if (!engine.Start(std::move(work), options.folder, std::move(callbacks))) {
    err << "vellumark-cli: the download could not start\n";
    return kExitUsage;
  }
  engine.Wait();
  if (options.progress && !rows.empty()) err << "\n";

  for (const RowOutcome& outcome : outcomes) {
    if (outcome.ok) continue;
    err << "row " << outcome.row + 1 << " (" << rows[outcome.row].id
        << "): " << outcome.reason << "\n";
  }
  out << rows.size() << " rows: " << totals.saved << " saved, " << totals.failed
      << " failed\n";

  if (!options.report.empty() &&
      !WriteBytesToFile(options.report, ReportJson(rows, outcomes))) {
    err << "vellumark-cli: cannot write the report " << options.report << "\n";
    return kExitUsage;
  }
  return totals.failed == 0 ? kExitOk : kExitSomeFailed;
}

}  // namespace vellumark::cli
