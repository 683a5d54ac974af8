#pragma once

#include <QSize>

class QWidget;

namespace vellumark {

// Call right after showing a fixed-size window: once the window manager has
// framed it, the client area is resized so that the outer size (frame and
// caption bar included) is `outer`, and the window is centred again. Where
// no frame is ever reported the client size set before stays.
void FitOuterSizeOnceFramed(QWidget* window, QSize outer);

// The client size an outer size leaves inside a single fixed frame with a
// caption bar (3-pixel borders, 19-pixel caption).
QSize ClassicClientSize(QSize outer);

// Top-left so the outer size sits centred on the primary screen, with integer
// division as the window system does it.
void MoveCentred(QWidget* window, QSize outer);

}  // namespace vellumark
