#pragma once

class QWidget;

namespace vellumark {

// The windows that open from a template after start-up.
enum class WindowTemplate { kInstructions };

// Opens `which` as a new window, kept above `owner` (null: no owner) and
// without a task-bar button of its own. A window of that template that is
// already open is only brought back (restored or activated). Modal: every
// other top-level window is disabled, and this returns only after the new
// window has been closed and destroyed, with those windows enabled again
// as they were. False, showing nothing, for an unknown template.
bool LoadWindow(WindowTemplate which, QWidget* owner, bool modal);

}  // namespace vellumark
