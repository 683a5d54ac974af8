// Imports the generated 200,000-row workbook into the main window through
// "导入表格" (the file dialog answered by its test seam) and prints how long
// the click took, list filled. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/program_state.h"
#include "ui/common_dlg.h"
#include "ui/item_list.h"
#include "ui/main_window.h"
#include "workbook_writer.h"

int main(int argc, char** argv) {
  using namespace vellumark;
  QApplication application(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  const auto file = bench::BenchWorkbook(rows);
  if (file.empty()) return 1;

  ProgramState state;
  MainWindow window(state);
  window.dialog()->SetChooser(
      [&file](const CommonDlg::Request&) { return file.string(); });
  window.ShowCentred();
  application.processEvents();

  QElapsedTimer clock;
  clock.start();
  window.findChild<QPushButton*>(QString::fromUtf8("按钮1"))->click();
  application.processEvents();  // the list lays out its new rows
  const qint64 elapsed = clock.elapsed();

  std::printf("rows in list %d, RowCount %d, import %lld ms\n",
              window.list()->ItemCount(), state.RowCount,
              static_cast<long long>(elapsed));
  return window.list()->ItemCount() == rows ? 0 : 1;
}
