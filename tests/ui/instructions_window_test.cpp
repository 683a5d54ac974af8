#include "ui/instructions_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "modal_visit.h"
#include "ui/load_window.h"
#include "ui/picture/picture_decode.h"
#include "ui/window_frame.h"

using vellumark::InstructionsWindow;
using vellumark::LoadWindow;
using vellumark::WindowTemplate;

namespace {

using vellumark::testing::FindOpenInstructions;
using vellumark::testing::ModalVisit;

ModalVisit OpenModalAndVisit(
    QWidget* owner, const std::function<void(InstructionsWindow*)>& inspect,
    bool* load_result) {
  return vellumark::testing::VisitModal(
      [&] {
        *load_result = LoadWindow(WindowTemplate::kInstructions, owner, true);
      },
      inspect);
}

QImage Grab(QWidget* window) { return window->grab().toImage(); }

}  // namespace

class InstructionsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void labelsAreStoredInOrderWithTheirTextsAndPlaces_data();
  void labelsAreStoredInOrderWithTheirTextsAndPlaces();
  void windowHasItsCaptionFrameAndSize();
  void pictureIsDrawnAtNaturalSizeFromTheCorner();
  void undecodablePictureLeavesThePlainBackground_data();
  void undecodablePictureLeavesThePlainBackground();
  void modalOpeningDisablesOtherWindowsUntilClosed();
  void escapeClosesOnlyTheInstructions();
  void secondOpeningShowsTheSameContentAnew();
  void minimisedWindowKeepsTheOwnerDisabled();
  void everyWayOfClosingEnablesTheOwnerFirst_data();
  void everyWayOfClosingEnablesTheOwnerFirst();
  void enterAndF1DoNothing();
  void anOpenWindowIsBroughtBackInsteadOfOpenedTwice();
};

void InstructionsWindowTest::
    labelsAreStoredInOrderWithTheirTextsAndPlaces_data() {
  QTest::addColumn<int>("order");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("text");
  QTest::newRow("标签4") << 0 << QRect(15, 153, 433, 28)
                         << QString::fromUtf8(
                                "3.更新支持jpg格式。本意只用来下载透明图、"
                                "增加jpg格式可下载淘宝天猫主图");
  QTest::newRow("标签2") << 1 << QRect(12, 80, 512, 28)
                         << QString::fromUtf8(
                                "1.软件和导入数据的表格均放在透明图下载目录。");
  QTest::newRow("标签1")
      << 2 << QRect(13, 117, 643, 28)
      << QString::fromUtf8(
             "2.导入表格如上图所示，第一列为\"宝贝ID（你想命名的图片名字）\"，"
             "第二列为\"透明图地址\"，表格格式最好为\".xlsx\"");
}

void InstructionsWindowTest::labelsAreStoredInOrderWithTheirTextsAndPlaces() {
  QFETCH(int, order);
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  const QString name = QString::fromUtf8(QTest::currentDataTag());

  InstructionsWindow window;
  const QList<QLabel*> labels =
      window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  QCOMPARE(labels.size(), 3);
  QLabel* label = labels.at(order);
  QCOMPARE(label->objectName(), name);
  QCOMPARE(label->geometry(), geometry);
  QCOMPARE(label->text(), text);
  QCOMPARE(label->textFormat(), Qt::PlainText);
  QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
  QVERIFY(!label->wordWrap());
  QCOMPARE(label->focusPolicy(), Qt::NoFocus);
  QVERIFY(label->autoFillBackground());
  QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
  QCOMPARE(label->palette().color(QPalette::Window),
           window.palette().color(QPalette::Window));
}

void InstructionsWindowTest::windowHasItsCaptionFrameAndSize() {
  InstructionsWindow window;
  QCOMPARE(window.windowTitle(), QString::fromUtf8("说明"));
  const Qt::WindowFlags flags = window.windowFlags();
  QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!window.windowIcon().isNull());
  // Offscreen reports no real frame, so the client size is the one a
  // classic 925 x 220 frame leaves; and it cannot be resized.
  QCOMPARE(window.size(), vellumark::ClassicClientSize(QSize(925, 220)));
  QCOMPARE(window.minimumSize(), window.maximumSize());
  QCOMPARE(window.font(), QApplication::font());
}

void InstructionsWindowTest::pictureIsDrawnAtNaturalSizeFromTheCorner() {
  const QByteArray stored = InstructionsWindow::StoredPicture();
  const auto bytes = std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(stored.constData()),
      static_cast<std::size_t>(stored.size()));
  auto expected = vellumark::DecodePicture(bytes);
  QVERIFY2(expected.ok(), expected.ok() ? "" : expected.reason().c_str());
  QCOMPARE(expected->width, 928);
  QCOMPARE(expected->height, 74);

  InstructionsWindow window;
  QVERIFY(!window.HasPicture());
  const QImage shown = Grab(&window);
  QVERIFY(window.HasPicture());
  QVERIFY(shown.width() < 928);  // the right-hand strip is cut off
  int mismatches = 0;
  for (int y = 0; y < 74; ++y) {
    const std::uint8_t* row = expected->Row(y);
    for (int x = 0; x < shown.width(); ++x) {
      const QColor want(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
      if (shown.pixelColor(x, y) != want) ++mismatches;
    }
  }
  QCOMPARE(mismatches, 0);
  // Below the picture and above the first label: plain face colour.
  const QColor face = window.palette().color(QPalette::Window);
  for (int y = 74; y < 80; ++y) {
    for (int x = 0; x < shown.width(); x += 7) {
      QCOMPARE(shown.pixelColor(x, y), face);
    }
  }
}

void InstructionsWindowTest::undecodablePictureLeavesThePlainBackground_data() {
  QTest::addColumn<QByteArray>("picture");
  QTest::newRow("nothing") << QByteArray();
  QTest::newRow("garbage after a JPEG start")
      << QByteArray("\xFF\xD8\xFF\xE0 not really a picture", 26);
  const QByteArray stored = InstructionsWindow::StoredPicture();
  QTest::newRow("truncated") << stored.left(stored.size() / 2);
  QTest::newRow("not a JPEG") << QByteArray("GIF89a......", 12);
}

void InstructionsWindowTest::undecodablePictureLeavesThePlainBackground() {
  QFETCH(QByteArray, picture);
  InstructionsWindow window(picture);
  const QImage shown = Grab(&window);
  QVERIFY(!window.HasPicture());
  const QColor face = window.palette().color(QPalette::Window);
  // Everything above the first label, where the picture would be.
  int other = 0;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixelColor(x, y) != face) ++other;
    }
  }
  QCOMPARE(other, 0);
  // The labels still show their text.
  QLabel* line1 = window.findChild<QLabel*>(QString::fromUtf8("标签2"));
  QVERIFY(line1 != nullptr);
  QVERIFY(!line1->text().isEmpty());
}

void InstructionsWindowTest::modalOpeningDisablesOtherWindowsUntilClosed() {
  QWidget owner;
  owner.show();
  QWidget already_disabled;  // stays as it was
  already_disabled.setEnabled(false);
  already_disabled.show();

  bool owner_enabled_inside = true;
  bool other_enabled_inside = true;
  bool window_enabled_inside = false;
  QPoint position;
  bool loaded = false;
  const ModalVisit visit = OpenModalAndVisit(
      &owner,
      [&](InstructionsWindow* window) {
        owner_enabled_inside = owner.isEnabled();
        other_enabled_inside = already_disabled.isEnabled();
        window_enabled_inside = window->isEnabled();
        position = window->pos();
      },
      &loaded);

  QVERIFY(visit.found);
  QVERIFY(loaded);
  QVERIFY(!owner_enabled_inside);
  QVERIFY(!other_enabled_inside);
  QVERIFY(window_enabled_inside);
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  QCOMPARE(position,
           QPoint((screen.width() - 925) / 2, (screen.height() - 220) / 2));
  QVERIFY(owner.isEnabled());
  QVERIFY(!already_disabled.isEnabled());
  QCOMPARE(FindOpenInstructions(), nullptr);
}

void InstructionsWindowTest::escapeClosesOnlyTheInstructions() {
  QWidget owner;
  owner.show();
  bool loaded = false;
  QPointer<InstructionsWindow> opened;
  const ModalVisit visit = OpenModalAndVisit(
      &owner, [&](InstructionsWindow* window) { opened = window; }, &loaded);
  QVERIFY(visit.found);
  QVERIFY(visit.closed_by_escape);
  QVERIFY(loaded);
  QVERIFY(opened.isNull());  // destroyed, not just hidden
  QVERIFY(owner.isVisible());
  QVERIFY(owner.isEnabled());
}

void InstructionsWindowTest::secondOpeningShowsTheSameContentAnew() {
  QWidget owner;
  owner.show();
  QStringList texts[2];
  QList<QRect> places[2];
  bool picture[2] = {false, false};
  for (int round = 0; round < 2; ++round) {
    bool loaded = false;
    const ModalVisit visit = OpenModalAndVisit(
        &owner,
        [&](InstructionsWindow* window) {
          for (QLabel* label :
               window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            texts[round] << label->objectName() + u'=' + label->text();
            places[round] << label->geometry();
          }
          Grab(window);
          picture[round] = window->HasPicture();
        },
        &loaded);
    QVERIFY(visit.found);
    QVERIFY(visit.closed_by_escape);
    QVERIFY(loaded);
  }
  QCOMPARE(texts[0].size(), 3);
  QCOMPARE(texts[1], texts[0]);
  QCOMPARE(places[1], places[0]);
  QVERIFY(picture[0]);
  QVERIFY(picture[1]);
}

void InstructionsWindowTest::minimisedWindowKeepsTheOwnerDisabled() {
  QWidget owner;
  owner.show();
  bool owner_enabled_while_minimised = true;
  bool loaded = false;
  const ModalVisit visit = OpenModalAndVisit(
      &owner,
      [&](InstructionsWindow* window) {
        window->showMinimized();
        QCoreApplication::processEvents();
        owner_enabled_while_minimised = owner.isEnabled();
        window->showNormal();
      },
      &loaded);
  QVERIFY(visit.found);
  QVERIFY(!owner_enabled_while_minimised);
  QVERIFY(owner.isEnabled());
}

// Records whether the owner was enabled when the window was hidden.
class HideWatcher : public QObject {
 public:
  explicit HideWatcher(const QWidget* owner) : owner_(owner) {}
  bool hidden = false;
  bool owner_enabled_at_hide = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide && !hidden) {
      hidden = true;
      owner_enabled_at_hide = owner_->isEnabled();
    }
    return false;
  }

 private:
  const QWidget* owner_;
};

void InstructionsWindowTest::everyWayOfClosingEnablesTheOwnerFirst_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Esc") << 0;
  QTest::newRow("close box, Alt+F4, system menu") << 1;  // a close request
}

void InstructionsWindowTest::everyWayOfClosingEnablesTheOwnerFirst() {
  QFETCH(int, way);
  QWidget owner;
  owner.show();
  HideWatcher watcher(&owner);
  QPointer<InstructionsWindow> opened;
  bool loaded = false;
  const ModalVisit visit = OpenModalAndVisit(
      &owner,
      [&](InstructionsWindow* window) {
        opened = window;
        window->installEventFilter(&watcher);
        if (way == 1) window->close();
      },
      &loaded);
  QVERIFY(visit.found);
  QVERIFY(loaded);
  QVERIFY(watcher.hidden);
  // Enabled again while the window was still on the screen.
  QVERIFY(watcher.owner_enabled_at_hide);
  QVERIFY(opened.isNull());
  QVERIFY(owner.isEnabled());
}

void InstructionsWindowTest::enterAndF1DoNothing() {
  QWidget owner;
  owner.show();
  bool still_open = false;
  bool loaded = false;
  const ModalVisit visit = OpenModalAndVisit(
      &owner,
      [&](InstructionsWindow* window) {
        QTest::keyClick(window, Qt::Key_Return);
        QTest::keyClick(window, Qt::Key_Enter);
        QTest::keyClick(window, Qt::Key_F1);
        QCoreApplication::processEvents();
        still_open = window->isVisible();
      },
      &loaded);
  QVERIFY(visit.found);
  QVERIFY(still_open);
  QVERIFY(visit.closed_by_escape);
}

void InstructionsWindowTest::anOpenWindowIsBroughtBackInsteadOfOpenedTwice() {
  QWidget owner;
  owner.show();
  QVERIFY(LoadWindow(WindowTemplate::kInstructions, &owner, false));
  QPointer<InstructionsWindow> first = FindOpenInstructions();
  QVERIFY(first != nullptr);
  QVERIFY(owner.isEnabled());  // not modal
  first->showMinimized();
  QVERIFY(first->isMinimized());
  // Modal or not, the open window is restored and no second one made;
  // this returns at once since no new window was opened.
  QVERIFY(LoadWindow(WindowTemplate::kInstructions, &owner, true));
  QCOMPARE(vellumark::testing::CountInstructionsWindows(), 1);
  QVERIFY(!first->isMinimized());
  QVERIFY(owner.isEnabled());
  first->close();
  QTRY_VERIFY(first.isNull());
}

QTEST_MAIN(InstructionsWindowTest)
#include "instructions_window_test.moc"
