#include "ui/window_frame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace vellumark {
namespace {

constexpr int kFrameBorder = 3;
constexpr int kCaptionHeight = 19;
constexpr int kPollMs = 10;
constexpr int kGiveUpMs = 3000;

// The frame margins are unknown until the window manager has framed the
// mapped window, so poll briefly after the window is shown.
void FitOnceFramed(QPointer<QWidget> window, QSize outer,
                   std::shared_ptr<QElapsedTimer> clock) {
  if (!window) return;
  const QSize frame = window->frameGeometry().size();
  const QSize client = window->geometry().size();
  if (window->isVisible() && frame != client) {
    const QSize margins = frame - client;
    window->setFixedSize(outer - margins);
    MoveCentred(window, outer);
    return;
  }
  if (clock->elapsed() > kGiveUpMs) return;
  QTimer::singleShot(kPollMs, window, [window, outer, clock] {
    FitOnceFramed(window, outer, clock);
  });
}

}  // namespace

QSize ClassicClientSize(QSize outer) {
  return {outer.width() - 2 * kFrameBorder,
          outer.height() - 2 * kFrameBorder - kCaptionHeight};
}

void FitOuterSizeOnceFramed(QWidget* window, QSize outer) {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QTimer::singleShot(0, window, [w = QPointer<QWidget>(window), outer, clock] {
    FitOnceFramed(w, outer, clock);
  });
}

void MoveCentred(QWidget* window, QSize outer) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize full = screen->geometry().size();
  window->move((full.width() - outer.width()) / 2,
               (full.height() - outer.height()) / 2);
}

}  // namespace vellumark
