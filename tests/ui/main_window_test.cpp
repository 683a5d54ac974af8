#include "ui/main_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/program_state.h"
#include "ui/item_list.h"

using vellumark::ItemList;
using vellumark::MainWindow;
using vellumark::ProgramState;
using vellumark::Text;

// The style may blend a colour by a step or two.
bool Near(const QColor& a, const QColor& b) {
  return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
             qAbs(a.blue() - b.blue()) <=
         8;
}

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  ProgramState state_;
  std::unique_ptr<MainWindow> window_;

  template <typename T>
  T* Find(const char* name) {
    T* found = window_->findChild<T*>(QString::fromUtf8(name));
    if (found == nullptr) qFatal("no component %s", name);
    return found;
  }

 private slots:
  void init() {
    state_ = ProgramState();
    window_ = std::make_unique<MainWindow>(state_);
    window_->ShowCentred();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void windowSettings() {
    QCOMPARE(
        window_->windowTitle(),
        QString::fromUtf8("Vellumark  Quorreth  https://vellumark.example"));
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());  // fixed frame
    QVERIFY(!window_->windowIcon().isNull());
    QCOMPARE(window_->font(), QApplication::font());
    // The client area holds every component.
    QVERIFY(window_->width() >= 403 && window_->height() >= 254);
  }

  void componentsAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* kind, QRect geometry,
                        const char* text) {
      QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(kind)
                          << geometry << QString::fromUtf8(text);
    };
    row("按钮3", "QPushButton", QRect(339, 72, 64, 24), "说明");
    row("按钮2", "QPushButton", QRect(338, 40, 64, 24), "下载");
    row("编辑框1", "QLineEdit", QRect(8, 8, 328, 24), "");
    row("超级列表框1", "vellumark::ItemList", QRect(8, 41, 328, 213), "");
    row("按钮1", "QPushButton", QRect(338, 9, 64, 24), "导入表格");
  }
  void componentsAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QWidget* widget = window_->findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->parentWidget(), window_.get());
    QVERIFY(widget->inherits(kind.toLatin1().constData()));
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      QCOMPARE(button->text(), text);
      QVERIFY(!button->isDefault() && !button->autoDefault());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
      QCOMPARE(edit->text(), text);
  }

  void listIsAReportViewWithFixedColumns() {
    auto* list = Find<ItemList>("超级列表框1");
    QCOMPARE(list->model()->columnCount(), 3);
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(),
             QString::fromUtf8("宝贝ID"));
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(),
             QString::fromUtf8("透明图链接"));
    QCOMPARE(list->columnWidth(0), 50);
    QCOMPARE(list->columnWidth(1), 100);
    QCOMPARE(list->model()->headerData(2, Qt::Horizontal).toString(),
             QString::fromUtf8("状态"));
    QVERIFY(list->showGrid());
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!list->isSortingEnabled());
    QVERIFY(!list->horizontalHeader()->sectionsMovable());
    QVERIFY(list->horizontalHeader()->isVisible());
    QVERIFY(!list->verticalHeader()->isVisible());
    QCOMPARE(list->ItemCount(), 0);

    // A click on a header item sorts nothing.
    list->InsertItem();
    list->SetItemText(0, 0, std::string_view("b"));
    list->InsertItem();
    list->SetItemText(1, 0, std::string_view("a"));
    QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(10, 5));
    QCOMPARE(list->GetItemText(0, 0), Text("b"));
  }

  void selectionHighlightsTheFirstCellOnlyWhileFocused() {
    auto* list = Find<ItemList>("超级列表框1");
    list->InsertItem();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    const QPoint second = list->visualRect(list->model()->index(0, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QVERIFY(list->selectionModel()->isSelected(list->model()->index(0, 0)));

    QImage shown = list->viewport()->grab().toImage();
    QVERIFY2(Near(shown.pixelColor(first), highlight),
             qPrintable(shown.pixelColor(first).name()));
    QCOMPARE(shown.pixelColor(second), QColor(Qt::white));

    Find<QLineEdit>("编辑框1")->setFocus();
    QTRY_VERIFY(!list->hasFocus());
    shown = list->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(first), QColor(Qt::white));
    QVERIFY(list->selectionModel()->isSelected(list->model()->index(0, 0)));
  }

  void listOperations() {
    auto* list = Find<ItemList>("超级列表框1");
    QCOMPARE(list->InsertItem(), 0);
    QCOMPARE(list->InsertItem(), 1);
    QCOMPARE(list->InsertItem(), 2);
    list->SetItemText(0, 0, std::string_view("1001"));
    list->SetItemText(0, 1, std::string_view("http://127.0.0.1/1.png"));
    list->SetItemText(2, 1, std::string_view("宝贝"));
    const std::string long_text(600, 'x');
    list->SetItemText(1, 1, long_text);

    QCOMPARE(list->GetItemText(0, 0), Text("1001"));
    QCOMPARE(list->GetItemText(0, 1), Text("http://127.0.0.1/1.png"));
    QCOMPARE(list->GetItemText(2, 1), Text("宝贝"));
    QCOMPARE(list->GetItemText(1, 1), Text(long_text));
    QCOMPARE(list->model()->data(list->model()->index(2, 1)).toString(),
             QString::fromUtf8("宝贝"));

    // Cells that are empty or do not exist read as absent; writes to them
    // change nothing.
    QCOMPARE(list->GetItemText(1, 0), Text());
    QCOMPARE(list->GetItemText(5, 0), Text());
    QCOMPARE(list->GetItemText(-1, 0), Text());
    QCOMPARE(list->GetItemText(0, 2), Text());
    list->SetItemText(3, 0, std::string_view("nowhere"));
    list->SetItemText(0, 2, std::string_view("nowhere"));
    list->SetItemText(-1, 0, std::string_view("nowhere"));
    QCOMPARE(list->ItemCount(), 3);

    list->SetItemText(0, 0, vellumark::TextView(Text()));  // absent: empty
    QCOMPARE(list->GetItemText(0, 0), Text());
  }

  void writingTheEditBox() {
    auto* edit = Find<QLineEdit>("编辑框1");
    window_->WriteEditBox(Text("/home/店主/宝贝.xlsx"));
    QCOMPARE(edit->text(), QString::fromUtf8("/home/店主/宝贝.xlsx"));
    window_->WriteEditBox(Text());
    QCOMPARE(edit->text(), QString());
  }

  void escapeClosesFromAnyComponent_data() {
    QTest::addColumn<QString>("focused");
    QTest::newRow("edit box") << QString::fromUtf8("编辑框1");
    QTest::newRow("list") << QString::fromUtf8("超级列表框1");
    QTest::newRow("button") << QString::fromUtf8("按钮2");
  }
  void escapeClosesFromAnyComponent() {
    QFETCH(QString, focused);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QWidget* widget = window_->findChild<QWidget*>(focused);
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
    QTest::keyClick(widget, Qt::Key_Escape);
    QTRY_VERIFY(!window_->isVisible());
  }

  void enterPressesNothingAndTabMovesTheFocus() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QList<QSignalSpy*> spies;
    for (const char* name : {"按钮1", "按钮2", "按钮3"}) {
      spies << new QSignalSpy(Find<QPushButton>(name), &QPushButton::clicked);
    }
    auto* edit = Find<QLineEdit>("编辑框1");
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), edit);

    // Tab and Shift+Tab walk the components in their stored order.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(),
             QString::fromUtf8("超级列表框1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(),
             QString::fromUtf8("按钮1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(),
             QString::fromUtf8("超级列表框1"));
    for (QSignalSpy* spy : spies) QCOMPARE(spy->count(), 0);
    qDeleteAll(spies);
    QVERIFY(window_->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
