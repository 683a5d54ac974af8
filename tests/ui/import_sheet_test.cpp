// "导入表格" through the real button, with the file dialog answered by the
// component's test seam.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/program_state.h"
#include "ui/common_dlg.h"
#include "ui/item_list.h"
#include "ui/main_window.h"

using vellumark::CommonDlg;
using vellumark::ItemList;
using vellumark::MainWindow;
using vellumark::ProgramState;
using vellumark::Text;

namespace {

std::string Fixture(const char* name) {
  return (std::filesystem::path(VELLUMARK_SOURCE_DIR) / "tests/data/import" /
          name)
      .string();
}

}  // namespace

class ImportSheetTest : public QObject {
  Q_OBJECT

 private:
  ProgramState state_;
  std::unique_ptr<MainWindow> window_;
  std::optional<std::string> answer_;
  int dialogs_shown_ = 0;
  CommonDlg::Request last_request_;

  ItemList* List() {
    return window_->findChild<ItemList*>(QString::fromUtf8("超级列表框1"));
  }
  QString EditText() {
    return window_->findChild<QLineEdit*>(QString::fromUtf8("编辑框1"))->text();
  }
  QString StatusText() {
    return window_->findChild<QLabel*>(QString::fromUtf8("状态文本"))->text();
  }
  void ImportAnswering(std::optional<std::string> answer) {
    answer_ = std::move(answer);
    QTest::mouseClick(
        window_->findChild<QPushButton*>(QString::fromUtf8("按钮1")),
        Qt::LeftButton);
  }
  std::vector<std::pair<Text, Text>> Rows() {
    std::vector<std::pair<Text, Text>> rows;
    for (int r = 0; r < List()->ItemCount(); ++r) {
      rows.emplace_back(List()->GetItemText(r, 0), List()->GetItemText(r, 1));
    }
    return rows;
  }

 private slots:
  void init() {
    state_ = ProgramState();
    dialogs_shown_ = 0;
    window_ = std::make_unique<MainWindow>(state_);
    window_->dialog()->SetChooser([this](const CommonDlg::Request& request) {
      ++dialogs_shown_;
      last_request_ = request;
      return answer_;
    });
    window_->show();
  }
  void cleanup() { window_.reset(); }

  void threeRowsLandInSheetOrderAndASecondImportAppends() {
    ImportAnswering(Fixture("three_rows.xlsx"));
    QCOMPARE(EditText(), QString::fromStdString(Fixture("three_rows.xlsx")));
    QCOMPARE(List()->ItemCount(), 3);
    const std::vector<std::pair<Text, Text>> first = {
        {"100000000001", "https://img.example.com/a/1.png"},
        {"宝贝二号", "http://127.0.0.1:8080/2.png?x=1"},
        {"100000000003", "https://img.example.com/宝贝/3.jpg"},
    };
    QVERIFY(Rows() == first);
    QCOMPARE(StatusText(), QString::fromUtf8("已导入 3 行"));
    QCOMPARE(state_.RowCount, 3);
    QCOMPARE(state_.LastItemIndex, 2);

    // The dialog was asked with the filter, the first choice and the
    // program directory; next time it offers the chosen file again.
    QCOMPARE(last_request_.name_filters.size(), 2);
    QCOMPARE(last_request_.selected_filter, 0);
    QCOMPARE(last_request_.file_name, std::string());

    ImportAnswering(Fixture("rows_3_to_7.xlsx"));
    QCOMPARE(last_request_.file_name, Fixture("three_rows.xlsx"));
    QCOMPARE(List()->ItemCount(), 10);
    QVERIFY(Rows()[0] == first[0]);  // the first import's rows stay on top
    QCOMPARE(List()->GetItemText(5, 0), Text("3"));
    QCOMPARE(List()->GetItemText(9, 1), Text("u7"));
    QCOMPARE(state_.RowCount, 7);
    QCOMPARE(state_.LastItemIndex, 9);
    QCOMPARE(StatusText(), QString::fromUtf8("已导入 7 行"));
  }

  void usedRangeFromRowThreeImportsFromRowOne() {
    ImportAnswering(Fixture("rows_3_to_7.xlsx"));
    QCOMPARE(List()->ItemCount(), 7);
    QCOMPARE(List()->GetItemText(0, 0), Text());
    QCOMPARE(List()->GetItemText(1, 1), Text());
    QCOMPARE(List()->GetItemText(2, 0), Text("3"));
    QCOMPARE(List()->GetItemText(2, 1), Text("u3"));
    QCOMPARE(List()->GetItemText(6, 1), Text("u7"));
  }

  void cancelChangesNothing() {
    ImportAnswering(Fixture("three_rows.xlsx"));
    state_.RowCount = 42;
    ImportAnswering(std::nullopt);
    QCOMPARE(dialogs_shown_, 2);
    QCOMPARE(List()->ItemCount(), 3);
    QCOMPARE(EditText(), QString::fromStdString(Fixture("three_rows.xlsx")));
    QCOMPARE(state_.RowCount, 42);
    QCOMPARE(StatusText(), QString::fromUtf8("已导入 3 行"));
  }

  void anUnreadableFileAddsNoRowAndSaysWhy() {
    ImportAnswering(Fixture("three_rows.xlsx"));
    ImportAnswering(Fixture("not_a_workbook.xlsx"));
    QCOMPARE(List()->ItemCount(), 3);
    QCOMPARE(EditText(),
             QString::fromStdString(Fixture("not_a_workbook.xlsx")));
    QCOMPARE(StatusText(), QString::fromUtf8("未导入：不是工作簿文件"));
    QCOMPARE(state_.RowCount, 0);
  }
};

QTEST_MAIN(ImportSheetTest)
#include "import_sheet_test.moc"
