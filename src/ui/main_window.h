#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "common/text_ops.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vellumark {

namespace import {
class ExcelApp;
class ExcelWorkbooks;
}  // namespace import

class CommonDlg;
class ItemList;
class ListDownload;
struct DownloadOptions;

// The start window: three buttons, the edit box that shows the chosen
// workbook, the list of imported rows and a status text.
class MainWindow : public QWidget {
 public:
  static constexpr QSize kOuterSize{413, 291};

  explicit MainWindow(ProgramState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Centred on the primary screen, then sized so the frame is kOuterSize
  // once the window manager has framed it.
  void ShowCentred();

  // Replaces the whole text of `编辑框1`; an absent text empties it.
  void WriteEditBox(const Text& text);
  void SetStatusText(std::string_view text);

  ItemList* list() const { return list_; }
  CommonDlg* dialog() const { return dialog_; }

  // Where "下载" saves; by default the program directory. For tests.
  void SetDownloadFolder(std::string folder);
  void SetDownloadOptions(const DownloadOptions& options);
  bool DownloadRunning() const;

 protected:
  // Closing cancels a download still going and waits for it to end.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateComponents();
  void BindKeys();

  void ImportSheet();
  void DownloadAll();
  void ShowInstructions();

  ProgramState& state_;
  QPushButton* instructions_button_ = nullptr;
  QPushButton* download_button_ = nullptr;
  QLineEdit* edit_box_ = nullptr;
  ItemList* list_ = nullptr;
  QPushButton* import_button_ = nullptr;
  QLabel* status_text_ = nullptr;
  // The components without a face.
  std::unique_ptr<import::ExcelWorkbooks> excel_workbooks_;
  std::unique_ptr<import::ExcelApp> excel_app_;
  CommonDlg* dialog_ = nullptr;
  ListDownload* download_ = nullptr;
};

}  // namespace vellumark
