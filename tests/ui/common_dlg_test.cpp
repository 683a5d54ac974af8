#include "ui/common_dlg.h"

#include <QTest>

using vellumark::CommonDlg;

class CommonDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void filterBecomesQtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the import's filter")
        << QString::fromUtf8(
               "excel文件（*.xlsx）|*.xlsx|03excel文件（*.xls）|*.xls")
        << QStringList{QString::fromUtf8("excel文件（*.xlsx） (*.xlsx)"),
                       QString::fromUtf8("03excel文件（*.xls） (*.xls)")};
    QTest::newRow("already ends in ||")
        << QStringLiteral("All|*.*||")
        << QStringList{QStringLiteral("All (*.*)")};
    QTest::newRow("several patterns")
        << QStringLiteral("Books|*.xlsx;*.xls")
        << QStringList{QStringLiteral("Books (*.xlsx *.xls)")};
    QTest::newRow("a name without its pattern is dropped")
        << QStringLiteral("Books|*.xlsx|Odd")
        << QStringList{QStringLiteral("Books (*.xlsx)")};
    QTest::newRow("empty") << QString() << QStringList{};
  }
  void filterBecomesQtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(vellumark::QtNameFilters(filter.toStdString()), expected);
  }

  void chosenNameIsKeptAndCancelKeepsIt() {
    CommonDlg dialog;
    dialog.filter = "excel文件（*.xlsx）|*.xlsx|03excel文件（*.xls）|*.xls";
    dialog.initial_directory = "/srv/shop";
    std::optional<std::string> answer = "/srv/shop/宝贝.xlsx";
    CommonDlg::Request seen;
    dialog.SetChooser([&](const CommonDlg::Request& request) {
      seen = request;
      return answer;
    });

    QVERIFY(dialog.ShowDialog(nullptr));
    QCOMPARE(dialog.file_name, std::string("/srv/shop/宝贝.xlsx"));
    QCOMPARE(seen.initial_directory, std::string("/srv/shop"));
    QCOMPARE(seen.selected_filter, 0);
    QCOMPARE(seen.name_filters.size(), 2);

    answer.reset();  // cancel
    QVERIFY(!dialog.ShowDialog(nullptr));
    QCOMPARE(seen.file_name,
             std::string("/srv/shop/宝贝.xlsx"));  // offered again
    QCOMPARE(dialog.file_name, std::string("/srv/shop/宝贝.xlsx"));

    dialog.initial_filter = -3;  // a negative index picks the first choice
    dialog.ShowDialog(nullptr);
    QCOMPARE(seen.selected_filter, 0);
  }
};

QTEST_MAIN(CommonDlgTest)
#include "common_dlg_test.moc"
