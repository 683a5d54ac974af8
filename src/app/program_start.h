#pragma once

namespace vellumark {

// The whole interactive life of the program: start-up, the main window, the
// event loop until the last window is gone, and the exit routines. Returns
// the process's exit code (0).
int ProgramStart(int argc, char** argv);

}  // namespace vellumark
