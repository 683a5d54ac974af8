#include "ui/load_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <vector>

#include "ui/instructions_window.h"

namespace vellumark {
namespace {

// At most one window per template is open at a time.
QPointer<InstructionsWindow>& OpenInstructions() {
  static QPointer<InstructionsWindow> window;
  return window;
}

void BringBack(QWidget* window) {
  if (window->isMinimized()) {
    window->showNormal();
  } else {
    window->raise();
    window->activateWindow();
  }
}

struct DisabledWindow {
  QPointer<QWidget> window;
  bool was_enabled;
};

std::vector<DisabledWindow> DisableOtherWindows(const QWidget* open) {
  std::vector<DisabledWindow> disabled;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == open || window->parentWidget() != nullptr) continue;
    disabled.push_back({window, window->isEnabled()});
    window->setEnabled(false);
  }
  return disabled;
}

void RestoreWindows(const std::vector<DisabledWindow>& disabled) {
  for (const DisabledWindow& entry : disabled) {
    if (entry.window) entry.window->setEnabled(entry.was_enabled);
  }
}

// Created without a widget parent, so disabling the owner does not
// disable it too; being transient for the owner keeps it off the task bar
// and above the owner.
std::unique_ptr<InstructionsWindow> CreateInstructions(QWidget* owner) {
  auto window = std::make_unique<InstructionsWindow>();
  window->winId();  // gives it a QWindow to make transient
  if (owner != nullptr && owner->window()->windowHandle() != nullptr) {
    window->windowHandle()->setTransientParent(owner->window()->windowHandle());
  }
  return window;
}

bool RunModal(std::unique_ptr<InstructionsWindow> window, QWidget* owner) {
  OpenInstructions() = window.get();
  window->ShowCentred();
  const std::vector<DisabledWindow> disabled =
      DisableOtherWindows(window.get());
  // The other windows are enabled again while this one is still shown, as
  // the owner must be for the window manager to hand the focus back to it.
  bool restored = false;
  const auto restore = [&disabled, &restored] {
    if (restored) return;
    restored = true;
    RestoreWindows(disabled);
  };
  QObject::connect(window.get(), &InstructionsWindow::closing, window.get(),
                   restore);

  // The application quitting ends the loop too.
  QEventLoop loop;
  QObject::connect(window.get(), &QDialog::finished, &loop, &QEventLoop::quit);
  if (!window->isHidden()) loop.exec();

  restore();
  if (owner != nullptr && owner->isVisible()) owner->activateWindow();
  window.reset();
  return true;
}

}  // namespace

bool LoadWindow(WindowTemplate which, QWidget* owner, bool modal) {
  switch (which) {
    case WindowTemplate::kInstructions:
      break;
    default:
      return false;
  }
  if (QWidget* open = OpenInstructions()) {
    BringBack(open);
    return true;
  }
  auto window = CreateInstructions(owner);
  if (modal) return RunModal(std::move(window), owner);
  window->setAttribute(Qt::WA_DeleteOnClose);
  OpenInstructions() = window.get();
  window.release()->ShowCentred();
  return true;
}

}  // namespace vellumark
