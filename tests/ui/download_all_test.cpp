#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/program_state.h"
#include "download/download_engine.h"
#include "id_url_workbook.h"
#include "served_folder.h"
#include "ui/common_dlg.h"
#include "ui/item_list.h"
#include "ui/main_window.h"

namespace fs = std::filesystem;
using vellumark::ItemList;
using vellumark::MainWindow;
using vellumark::ProgramState;
using vellumark::Text;
using vellumark::testing::PictureBytes;
using vellumark::testing::ReadFile;

namespace {

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class DownloadAllTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vellumark::testing::ServedFolder> served_;
  ProgramState state_;
  std::unique_ptr<MainWindow> window_;
  fs::path folder_;

  template <typename T>
  T* Find(const char* name) {
    T* found = window_->findChild<T*>(Q(name));
    if (found == nullptr) qFatal("no component %s", name);
    return found;
  }
  ItemList* List() { return Find<ItemList>("超级列表框1"); }
  QPushButton* ImportButton() { return Find<QPushButton>("按钮1"); }
  QPushButton* DownloadButton() { return Find<QPushButton>("按钮2"); }
  QString Status() { return Find<QLabel>("状态文本")->text(); }

  void AddRow(const std::string& id, const std::string& address) {
    const std::int32_t row = List()->InsertItem();
    List()->SetItemText(row, 0, id);
    List()->SetItemText(row, 1, address);
  }
  QString StatusOfRow(int row) {
    return QString::fromUtf8(
        std::string(vellumark::TextView(List()->GetItemText(row, 2))).c_str());
  }

 private slots:
  void init() {
    served_ = std::make_unique<vellumark::testing::ServedFolder>("window");
    folder_ = served_->folder();
    state_ = ProgramState();
    window_ = std::make_unique<MainWindow>(state_);
    window_->SetDownloadFolder(folder_.string());
    window_->ShowCentred();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    window_.reset();
    served_.reset();
  }

  void savesEveryShownRowAndShowsEachResult() {
    AddRow("1001", served_->Url("/pic.png?x=1"));
    AddRow("1002", served_->Url("/404.png"));
    AddRow("../1003", served_->Url("/pic.png"));
    AddRow("1004", "");
    AddRow("1005", served_->Url("/pic2.png"));
    state_.RowCount = 1;  // an earlier import's count bounds nothing

    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(Q("完成")), 10000);

    QCOMPARE(Status(), Q("完成：已保存 2，失败 3"));
    QCOMPARE(StatusOfRow(0), Q("已保存 2.9 KB"));
    QCOMPARE(StatusOfRow(1), Q("失败：HTTP 404"));
    QCOMPARE(StatusOfRow(2), Q("失败：文件名无效"));
    QCOMPARE(StatusOfRow(3), Q("失败：没有地址"));
    QCOMPARE(StatusOfRow(4), Q("已保存 4.0 KB"));
    QCOMPARE(FileNames(folder_),
             (std::vector<std::string>{"1001.png", "1005.png"}));
    QCOMPARE(ReadFile(folder_ / "1001.png"), PictureBytes('A'));
    QVERIFY(!fs::exists(folder_.parent_path() / "1003.png"));
    QVERIFY(ImportButton()->isEnabled());
    QCOMPARE(DownloadButton()->text(), Q("下载"));
    // The list itself is unchanged apart from the status column.
    QCOMPARE(List()->ItemCount(), 5);
    QCOMPARE(List()->GetItemText(2, 0), Text("../1003"));
  }

  void staysResponsiveShowsProgressAndStops() {
    std::ofstream(folder_ / "9.png") << "GOOD OLD PICTURE";
    AddRow("1", served_->Url("/pic.png"));
    AddRow("2", served_->Url("/pic2.png"));
    for (const char* id : {"7", "8", "9"})
      AddRow(id, served_->Url("/stall.png"));

    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QCOMPARE(DownloadButton()->text(), Q("停止"));
    QVERIFY(!ImportButton()->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(Status(), Q("下载中 2/5"), 10000);

    // The window answers while the transfers hang: typing reaches the edit box.
    auto* edit = Find<QLineEdit>("编辑框1");
    QTest::keyClicks(edit, Q("abc"));
    QCOMPARE(edit->text(), Q("abc"));
    QVERIFY(window_->DownloadRunning());

    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(Q("已停止")), 5000);
    QCOMPARE(Status(), Q("已停止：已保存 2，失败 3"));
    for (int row = 2; row < 5; ++row)
      QCOMPARE(StatusOfRow(row), Q("失败：已取消"));
    QCOMPARE(FileNames(folder_),
             (std::vector<std::string>{"1.png", "2.png", "9.png"}));
    QCOMPARE(ReadFile(folder_ / "9.png"), std::string("GOOD OLD PICTURE"));
    QVERIFY(ImportButton()->isEnabled());
    QCOMPARE(DownloadButton()->text(), Q("下载"));

    // A second click downloads everything again.
    served_->routes().stall_gate().Open();
    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(Q("完成")), 10000);
    QCOMPARE(Status(), Q("完成：已保存 5，失败 0"));
    QCOMPARE(ReadFile(folder_ / "9.png"), PictureBytes('T'));
  }

  // The whole flow: two imports append, and "下载" then processes every row
  // the list shows, not only the last import's count.
  void downloadsWhatTwoImportsListed() {
    const fs::path first = folder_ / "first.xlsx";
    const fs::path second = folder_ / "second.xlsx";
    QVERIFY(vellumark::testing::WriteIdUrlWorkbook(
        first,
        {{"1", served_->Url("/pic.png")}, {"2", served_->Url("/pic2.png")}}));
    QVERIFY(vellumark::testing::WriteIdUrlWorkbook(
        second, {{"3", served_->Url("/301.png")}}));
    const fs::path out = folder_ / "out";
    fs::create_directories(out);
    window_->SetDownloadFolder(out.string());
    for (const fs::path& book : {first, second}) {
      window_->dialog()->SetChooser(
          [book](const vellumark::CommonDlg::Request&)
              -> std::optional<std::string> { return book.string(); });
      QTest::mouseClick(ImportButton(), Qt::LeftButton);
    }
    QCOMPARE(List()->ItemCount(), 3);
    QCOMPARE(state_.RowCount, 1);

    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(Q("完成")), 10000);
    QCOMPARE(Status(), Q("完成：已保存 3，失败 0"));
    QCOMPARE(FileNames(out),
             (std::vector<std::string>{"1.png", "2.png", "3.png"}));
    QCOMPARE(ReadFile(out / "3.png"), PictureBytes('A'));
  }

  void closingCancelsAndLeavesNoPartialFile() {
    for (const char* id : {"1", "2", "3"})
      AddRow(id, served_->Url("/stall.png"));
    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(served_->routes().SeenCount(), std::size_t{3},
                              10000);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(window_->close());
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(!window_->DownloadRunning());
    QCOMPARE(FileNames(folder_), std::vector<std::string>{});
  }
};

QTEST_MAIN(DownloadAllTest)
#include "download_all_test.moc"
