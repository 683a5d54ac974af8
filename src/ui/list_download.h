#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "download/download_engine.h"

class QPushButton;

namespace vellumark {

class ItemList;
class MainWindow;

// Runs the download engine over the rows shown in the list while the window
// stays responsive: results arrive on the UI thread, fill the status
// column and the status text, and the two buttons follow the run.
class ListDownload : public QObject {
 public:
  static constexpr int kStatusColumn = 2;

  ListDownload(MainWindow& window, ItemList& list, QPushButton& import_button,
               QPushButton& download_button);
  ~ListDownload() override;  // cancels a run still going and waits for it

  // The folder the pictures go to; by default the program directory.
  void SetFolder(std::string folder) { folder_ = std::move(folder); }
  void SetOptions(const DownloadOptions& options);

  // Starts a run over every row, or cancels the one going.
  void StartOrCancel();
  // Cancels a run still going and waits until it has ended.
  void CancelAndWait();
  bool running() const { return engine_ && engine_->running(); }

 private:
  void Start();
  void ShowRow(const RowOutcome& outcome);
  void ShowProgress(std::size_t done, std::size_t total);
  void ShowEnd(const DownloadTotals& totals);

  MainWindow& window_;
  ItemList& list_;
  QPushButton& import_button_;
  QPushButton& download_button_;
  std::optional<std::string> folder_;
  DownloadOptions options_;
  std::unique_ptr<DownloadEngine> engine_;
  bool active_ = false;  // between Start and the end shown on the UI thread
};

// "2.9 KB" and the like, for the status column.
std::string SizeText(std::size_t bytes);

}  // namespace vellumark
