#pragma once

#include <QIcon>

namespace vellumark {

// The program's own icon: a picture frame with a downward arrow, drawn at
// the sizes window systems ask for.
QIcon ProgramIcon();

}  // namespace vellumark
