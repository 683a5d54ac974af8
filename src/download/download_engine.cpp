#include "download/download_engine.h"

#include <curl/curl.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "common/file_write.h"
#include "download/address.h"
#include "download/curl_runtime.h"
#include "download/target_name.h"
#include "download/transfer.h"

namespace vellumark {
namespace {

constexpr int kPollMilliseconds = 100;

// Two paths that name the same file on this system.
std::string SameFileKey(std::string path) {
#ifdef _WIN32
  std::transform(path.begin(), path.end(), path.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
#endif
  return path;
}

// Which row may start next. Rows of one target wait for the earlier row of
// that target; the others go in row order.
class RowScheduler {
 public:
  void Add(std::size_t row, const std::string& key) {
    std::deque<std::size_t>& queue = queues_[key];
    if (queue.empty()) ready_.insert(row);
    queue.push_back(row);
    key_of_[row] = key;
  }
  bool HasReady() const { return !ready_.empty(); }
  std::size_t TakeReady() {
    const std::size_t row = *ready_.begin();
    ready_.erase(ready_.begin());
    return row;
  }
  void Done(std::size_t row) {
    std::deque<std::size_t>& queue = queues_[key_of_[row]];
    queue.pop_front();
    if (!queue.empty()) ready_.insert(queue.front());
  }
  // Rows never started, in row order.
  std::vector<std::size_t> Remaining() const {
    std::vector<std::size_t> rows;
    for (const auto& [key, queue] : queues_) {
      rows.insert(rows.end(), queue.begin(), queue.end());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

 private:
  std::map<std::string, std::deque<std::size_t>> queues_;
  std::unordered_map<std::size_t, std::string> key_of_;
  std::set<std::size_t> ready_;
};

struct Active {
  std::size_t row = 0;
  std::string path;
  std::unique_ptr<Transfer> transfer;
};

class Reporter {
 public:
  Reporter(const DownloadCallbacks& callbacks, std::size_t total)
      : callbacks_(callbacks), total_(total) {}

  void Report(RowOutcome outcome) {
    (outcome.ok ? totals_.saved : totals_.failed) += 1;
    ++done_;
    if (callbacks_.on_row) callbacks_.on_row(outcome);
    if (callbacks_.on_progress) callbacks_.on_progress(done_, total_);
  }
  void Finish(bool cancelled) {
    totals_.cancelled = cancelled;
    if (callbacks_.on_finished) callbacks_.on_finished(totals_);
  }

 private:
  const DownloadCallbacks& callbacks_;
  std::size_t total_;
  std::size_t done_ = 0;
  DownloadTotals totals_;
};

RowOutcome Failed(std::size_t row, std::string file, std::string reason,
                  long status = 0) {
  RowOutcome outcome;
  outcome.row = row;
  outcome.status = status;
  outcome.file = std::move(file);
  outcome.reason = std::move(reason);
  return outcome;
}

RowOutcome Save(const Active& active, FetchResult fetched) {
  if (!fetched.ok) {
    return Failed(active.row, active.path, std::move(fetched.reason),
                  fetched.status);
  }
  if (!WriteBytesToFile(active.path, fetched.bytes)) {
    return Failed(active.row, active.path, "无法写入文件", fetched.status);
  }
  RowOutcome outcome;
  outcome.row = active.row;
  outcome.ok = true;
  outcome.status = fetched.status;
  outcome.bytes = fetched.bytes.size();
  outcome.file = active.path;
  return outcome;
}

}  // namespace

DownloadEngine::DownloadEngine(DownloadOptions options)
    : options_(std::move(options)) {
  options_.jobs = std::clamp(options_.jobs, 1, 64);
}

DownloadEngine::~DownloadEngine() {
  Cancel();
  Wait();
}

bool DownloadEngine::Start(std::vector<DownloadRow> rows, std::string folder,
                           DownloadCallbacks callbacks) {
  if (running_.load() || worker_.joinable()) return false;
  CurlRuntime::Get();  // the shared setup exists before any thread uses it
  CURLM* multi = curl_multi_init();
  if (multi == nullptr) return false;
  {
    std::lock_guard<std::mutex> lock(multi_mutex_);
    multi_ = multi;
  }
  cancel_.store(false);
  running_.store(true);
  worker_ = std::thread(&DownloadEngine::Run, this, std::move(rows),
                        std::move(folder), std::move(callbacks));
  return true;
}

void DownloadEngine::Cancel() {
  cancel_.store(true);
  std::lock_guard<std::mutex> lock(multi_mutex_);
  if (multi_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void DownloadEngine::Wait() {
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(multi_mutex_);
  if (multi_ != nullptr) {
    curl_multi_cleanup(static_cast<CURLM*>(multi_));
    multi_ = nullptr;
  }
}

void DownloadEngine::Run(std::vector<DownloadRow> rows, std::string folder,
                         DownloadCallbacks callbacks) {
  CURLM* multi = static_cast<CURLM*>(multi_);
  Reporter reporter(callbacks, rows.size());
  RowScheduler scheduler;
  std::vector<std::string> paths(rows.size());

  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].address.empty()) {
      reporter.Report(Failed(row, "", "没有地址"));
      continue;
    }
    Result<std::string> path =
        TargetPath(folder, rows[row].id, rows[row].address);
    if (!path) {
      reporter.Report(Failed(row, "", path.reason()));
      continue;
    }
    if (!HasHttpScheme(rows[row].address)) {
      reporter.Report(Failed(row, *path, "地址无效"));
      continue;
    }
    paths[row] = *path;
    scheduler.Add(row, SameFileKey(*path));
  }

  std::unordered_map<CURL*, Active> active;
  while (!cancel_.load()) {
    while (static_cast<int>(active.size()) < options_.jobs &&
           scheduler.HasReady()) {
      const std::size_t row = scheduler.TakeReady();
      auto transfer = std::make_unique<Transfer>(rows[row].address,
                                                 options_.fetch, &cancel_);
      CURL* handle = transfer->handle();
      if (handle == nullptr ||
          curl_multi_add_handle(multi, handle) != CURLM_OK) {
        reporter.Report(Failed(row, paths[row], "下载失败"));
        scheduler.Done(row);
        continue;
      }
      active.emplace(handle, Active{row, paths[row], std::move(transfer)});
    }
    if (active.empty()) break;

    int still_running = 0;
    curl_multi_perform(multi, &still_running);
    int queued = 0;
    bool finished_some = false;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      auto found = active.find(message->easy_handle);
      if (found == active.end()) continue;
      const CURLcode code = message->data.result;
      curl_multi_remove_handle(multi, found->first);
      Active done = std::move(found->second);
      active.erase(found);
      if (cancel_.load()) {  // the body may be whole, but a cancel wins
        reporter.Report(Failed(done.row, done.path, "已取消"));
      } else {
        reporter.Report(Save(done, done.transfer->Finish(code)));
      }
      scheduler.Done(done.row);
      finished_some = true;
    }
    // Free places are filled at once; waiting comes only when none freed.
    if (!finished_some && !active.empty() && !cancel_.load()) {
      curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
    }
  }

  const bool cancelled = cancel_.load();
  std::vector<Active> aborted;
  for (auto& [handle, entry] : active) {
    curl_multi_remove_handle(multi, handle);
    aborted.push_back(std::move(entry));
  }
  std::sort(aborted.begin(), aborted.end(),
            [](const Active& a, const Active& b) { return a.row < b.row; });
  for (const Active& entry : aborted) {
    reporter.Report(Failed(entry.row, entry.path, "已取消"));
    scheduler.Done(entry.row);
  }
  for (std::size_t row : scheduler.Remaining()) {
    reporter.Report(Failed(row, paths[row], "已取消"));
  }
  reporter.Finish(cancelled);
  running_.store(false);
}

std::vector<RowOutcome> DownloadAllRows(std::vector<DownloadRow> rows,
                                        std::string folder,
                                        const DownloadOptions& options) {
  std::vector<RowOutcome> outcomes(rows.size());
  DownloadCallbacks callbacks;
  callbacks.on_row = [&outcomes](const RowOutcome& outcome) {
    outcomes[outcome.row] = outcome;
  };
  DownloadEngine engine(options);
  if (!engine.Start(std::move(rows), std::move(folder), std::move(callbacks))) {
    for (std::size_t row = 0; row < outcomes.size(); ++row) {
      outcomes[row] = Failed(row, "", "下载失败");
    }
    return outcomes;
  }
  engine.Wait();
  return outcomes;
}

}  // namespace vellumark
