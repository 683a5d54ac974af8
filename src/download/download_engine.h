#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/fetch_result.h"

namespace vellumark {

struct DownloadRow {
  std::string id;
  std::string address;
};

// The result of one row, reported as soon as it is known.
struct RowOutcome {
  std::size_t row = 0;  // index into the rows given to Start
  bool ok = false;
  long status = 0;
  std::size_t bytes = 0;  // bytes saved
  std::string file;       // target path; empty when the name was refused
  std::string reason;     // why not, when !ok
};

struct DownloadTotals {
  std::size_t saved = 0;
  std::size_t failed = 0;
  bool cancelled = false;
};

// Called on the engine's worker thread, one call at a time.
struct DownloadCallbacks {
  std::function<void(const RowOutcome&)> on_row;
  std::function<void(std::size_t done, std::size_t total)> on_progress;
  std::function<void(const DownloadTotals&)> on_finished;
};

struct DownloadOptions {
  int jobs = 8;  // transfers at once, 1 to 64
  FetchOptions fetch;
};

// Saves every row's picture as folder/ID+ending, up to `jobs` transfers at
// once on a worker thread of its own. Rows that name the same file run one
// after another in row order, so the files end up exactly as a one-by-one
// run from the top would leave them. A row is written only when its fetch
// succeeded; nothing is written for failed or cancelled rows.
class DownloadEngine {
 public:
  explicit DownloadEngine(DownloadOptions options = {});
  ~DownloadEngine();  // cancels a run still going and waits for it

  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Begins a run; false when one is still going (call Wait first).
  bool Start(std::vector<DownloadRow> rows, std::string folder,
             DownloadCallbacks callbacks);

  // Aborts the transfers in flight and skips the rest; each such row is
  // reported as "已取消". Returns at once; Wait for the end.
  void Cancel();

  // Blocks until the run has ended and its last callback returned.
  void Wait();

  bool running() const { return running_.load(); }

 private:
  void Run(std::vector<DownloadRow> rows, std::string folder,
           DownloadCallbacks callbacks);

  DownloadOptions options_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> running_{false};
  std::mutex multi_mutex_;
  void* multi_ =
      nullptr;  // the run's CURLM (kept opaque here), woken by Cancel
  std::thread worker_;
};

// Runs the engine and waits: every row's outcome, in row order.
std::vector<RowOutcome> DownloadAllRows(std::vector<DownloadRow> rows,
                                        std::string folder,
                                        const DownloadOptions& options = {});

}  // namespace vellumark
