#include "ui/list_download.h"

#include <QMetaObject>
#include <QPushButton>
#include <cstdio>

#include "common/program_directory.h"
#include "common/text_ops.h"
#include "ui/item_list.h"
#include "ui/main_window.h"

namespace vellumark {

std::string SizeText(std::size_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%zu B", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KB",
                  static_cast<double>(bytes) / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB",
                  static_cast<double>(bytes) / (1024 * 1024));
  }
  return text;
}

ListDownload::ListDownload(MainWindow& window, ItemList& list,
                           QPushButton& import_button,
                           QPushButton& download_button)
    : QObject(&window),
      window_(window),
      list_(list),
      import_button_(import_button),
      download_button_(download_button) {}

ListDownload::~ListDownload() { CancelAndWait(); }

void ListDownload::SetOptions(const DownloadOptions& options) {
  options_ = options;
}

void ListDownload::StartOrCancel() {
  if (active_) {
    if (engine_) engine_->Cancel();
    return;
  }
  Start();
}

void ListDownload::CancelAndWait() {
  if (!engine_) return;
  engine_->Cancel();
  engine_->Wait();
}

void ListDownload::Start() {
  std::vector<DownloadRow> rows;
  const std::int32_t count = list_.ItemCount();
  rows.reserve(static_cast<std::size_t>(count));
  for (std::int32_t row = 0; row < count; ++row) {
    rows.push_back({std::string(TextView(list_.GetItemText(row, 0))),
                    std::string(TextView(list_.GetItemText(row, 1)))});
    list_.SetItemText(row, kStatusColumn, "");
  }

  // The engine calls back on its own thread; each result is handed to the
  // UI thread, and dropped if this object is gone by then.
  DownloadCallbacks callbacks;
  callbacks.on_row = [this](const RowOutcome& outcome) {
    QMetaObject::invokeMethod(
        this, [this, outcome] { ShowRow(outcome); }, Qt::QueuedConnection);
  };
  callbacks.on_progress = [this](std::size_t done, std::size_t total) {
    QMetaObject::invokeMethod(
        this, [this, done, total] { ShowProgress(done, total); },
        Qt::QueuedConnection);
  };
  callbacks.on_finished = [this](const DownloadTotals& totals) {
    QMetaObject::invokeMethod(
        this, [this, totals] { ShowEnd(totals); }, Qt::QueuedConnection);
  };

  if (engine_) engine_->Wait();  // the last run has ended; free its thread
  engine_ = std::make_unique<DownloadEngine>(options_);
  const std::string folder =
      folder_ ? *folder_ : ProgramDirectory().value_or("");
  if (!engine_->Start(std::move(rows), folder, std::move(callbacks))) {
    window_.SetStatusText("无法开始下载");
    return;
  }
  active_ = true;
  import_button_.setEnabled(false);
  download_button_.setText(QString::fromUtf8("停止"));
  ShowProgress(0, static_cast<std::size_t>(count));
}

void ListDownload::ShowRow(const RowOutcome& outcome) {
  const auto row = static_cast<std::int32_t>(outcome.row);
  if (outcome.ok) {
    list_.SetItemText(row, kStatusColumn,
                      JoinTexts({"已保存 ", SizeText(outcome.bytes)}));
  } else {
    list_.SetItemText(row, kStatusColumn,
                      JoinTexts({"失败：", outcome.reason}));
  }
}

void ListDownload::ShowProgress(std::size_t done, std::size_t total) {
  if (!active_) return;
  window_.SetStatusText(
      JoinTexts({"下载中 ", std::to_string(done), "/", std::to_string(total)}));
}

void ListDownload::ShowEnd(const DownloadTotals& totals) {
  active_ = false;
  import_button_.setEnabled(true);
  download_button_.setText(QString::fromUtf8("下载"));
  window_.SetStatusText(JoinTexts({totals.cancelled ? "已停止：" : "完成：",
                                   "已保存 ", std::to_string(totals.saved),
                                   "，失败 ", std::to_string(totals.failed)}));
}

}  // namespace vellumark
