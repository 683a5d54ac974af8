#pragma once

namespace vellumark {

// Makes fatal errors show an error message box (needs a QApplication).
void InstallFatalErrorBox();

}  // namespace vellumark
