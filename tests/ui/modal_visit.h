#pragma once

// Opening the instructions window modally blocks until it is closed, so a
// test looks inside from a timer that fires in the nested loop.

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/instructions_window.h"

namespace vellumark::testing {

inline InstructionsWindow* FindOpenInstructions() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<InstructionsWindow*>(window)) {
      if (found->isVisible()) return found;
    }
  }
  return nullptr;
}

inline int CountInstructionsWindows() {
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<InstructionsWindow*>(window) != nullptr) ++count;
  }
  return count;
}

struct ModalVisit {
  bool found = false;             // the window was open inside the loop
  bool closed_by_escape = false;  // Esc closed it
};

// Calls `open`, which is to block in the modal loop; meanwhile runs
// `inspect` on the open window and, unless `inspect` closed it, presses Esc
// in it. Should Esc not close it, it is closed anyway, so that a failing
// test cannot hang.
inline ModalVisit VisitModal(
    const std::function<void()>& open,
    const std::function<void(InstructionsWindow*)>& inspect) {
  ModalVisit visit;
  QTimer::singleShot(0, [&] {
    InstructionsWindow* window = FindOpenInstructions();
    visit.found = window != nullptr;
    if (window == nullptr) return;
    QPointer<InstructionsWindow> watched(window);
    inspect(window);
    if (watched.isNull() || watched->isHidden()) return;
    QTest::keyClick(watched.data(), Qt::Key_Escape);
    visit.closed_by_escape = watched.isNull() || watched->isHidden();
    if (!visit.closed_by_escape) watched->close();
  });
  open();
  return visit;
}

}  // namespace vellumark::testing
