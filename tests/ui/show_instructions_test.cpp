// 说明 on the main window opens the instructions modally.

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>

#include "app/program_state.h"
#include "modal_visit.h"
#include "ui/instructions_window.h"
#include "ui/main_window.h"

using vellumark::InstructionsWindow;
using vellumark::MainWindow;
using vellumark::ProgramState;
using vellumark::testing::CountInstructionsWindows;
using vellumark::testing::ModalVisit;
using vellumark::testing::VisitModal;

namespace {

struct Seen {
  bool main_enabled = true;
  bool button_enabled = true;
  QString caption;
  QPoint position;
  QStringList labels;  // name, text and place of each, in stored order
  int windows = 0;
  bool transient_for_main = false;
};

QString Describe(const QLabel* label) {
  const QRect r = label->geometry();
  return QStringLiteral("%1|%2|%3,%4,%5x%6")
      .arg(label->objectName(), label->text())
      .arg(r.x())
      .arg(r.y())
      .arg(r.width())
      .arg(r.height());
}

}  // namespace

class ShowInstructionsTest : public QObject {
  Q_OBJECT

 private:
  ProgramState state_;
  std::unique_ptr<MainWindow> main_;

  QPushButton* Button(const char* name) {
    return main_->findChild<QPushButton*>(QString::fromUtf8(name));
  }

  // Clicks 说明, looks at what is open, then presses Esc.
  ModalVisit ClickAndLook(Seen* seen) {
    return VisitModal(
        [this] { QTest::mouseClick(Button("按钮3"), Qt::LeftButton); },
        [this, seen](InstructionsWindow* window) {
          seen->main_enabled = main_->isEnabled();
          seen->button_enabled = Button("按钮3")->isEnabled();
          seen->caption = window->windowTitle();
          seen->position = window->pos();
          // Kept above the main window and off the task bar.
          seen->transient_for_main =
              window->windowHandle() != nullptr &&
              window->windowHandle()->transientParent() ==
                  main_->windowHandle();
          for (const QLabel* label :
               window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            seen->labels << Describe(label);
          }
          // The main window takes no clicks now: no second window opens.
          QTest::mouseClick(Button("按钮3"), Qt::LeftButton);
          seen->windows = CountInstructionsWindows();
        });
  }

 private slots:
  void init() {
    state_ = ProgramState();
    main_ = std::make_unique<MainWindow>(state_);
    main_->ShowCentred();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
  }
  void cleanup() { main_.reset(); }

  void buttonOpensTheWindowWithTheMainWindowDisabled() {
    QSignalSpy clicks(Button("按钮3"), &QPushButton::clicked);
    Seen seen;
    const ModalVisit visit = ClickAndLook(&seen);
    QVERIFY(visit.found);
    QCOMPARE(clicks.count(), 1);  // the second click inside was refused
    QVERIFY(!seen.main_enabled);
    QVERIFY(!seen.button_enabled);
    QCOMPARE(seen.windows, 1);
    QCOMPARE(seen.caption, QString::fromUtf8("说明"));
    QVERIFY(seen.transient_for_main);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QCOMPARE(seen.position,
             QPoint((screen.width() - 925) / 2, (screen.height() - 220) / 2));
    const QStringList expected = {
        QString::fromUtf8("标签4|3.更新支持jpg格式。本意只用来下载透明图、"
                          "增加jpg格式可下载淘宝天猫主图|15,153,433x28"),
        QString::fromUtf8("标签2|1.软件和导入数据的表格均放在透明图下载目录。"
                          "|12,80,512x28"),
        QString::fromUtf8(
            "标签1|2.导入表格如上图所示，第一列为\"宝贝ID（你想命名的图片名字）"
            "\"，第二列为\"透明图地址\"，表格格式最好为\".xlsx\"|13,117,"
            "643x28"),
    };
    QCOMPARE(seen.labels, expected);
  }

  void escapeClosesItAndTheMainWindowGoesOn() {
    Seen seen;
    const ModalVisit visit = ClickAndLook(&seen);
    QVERIFY(visit.found);
    QVERIFY(visit.closed_by_escape);
    QCOMPARE(CountInstructionsWindows(), 0);  // destroyed, not hidden
    QVERIFY(main_->isVisible());
    QVERIFY(main_->isEnabled());
    QVERIFY(Button("按钮3")->isEnabled());
  }

  void secondOpeningShowsTheSameLabels() {
    Seen first;
    Seen second;
    QVERIFY(ClickAndLook(&first).found);
    QVERIFY(ClickAndLook(&second).found);
    QCOMPARE(first.labels.size(), 3);
    QCOMPARE(second.labels, first.labels);
    QVERIFY(!second.main_enabled);
    QVERIFY(main_->isEnabled());
  }
};

QTEST_MAIN(ShowInstructionsTest)
#include "show_instructions_test.moc"
