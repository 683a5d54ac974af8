#include "app/program_start.h"

#include <QApplication>

#include "app/exit_routines.h"
#include "app/fatal_error.h"
#include "app/program_state.h"
#include "common/program_directory.h"
#include "ui/fatal_error_box.h"
#include "ui/main_window.h"

namespace vellumark {

int ProgramStart(int argc, char** argv) {
  QApplication application(argc, argv);
  InstallFatalErrorBox();
  RouteOutOfMemoryToFatalError();

  // Found once, before any window: later changes of the current directory
  // (the file dialog may make them) do not move where pictures are saved.
  InitProgramDirectory(ProgramFilePath());

  ProgramState state;
  ExitRoutines exit_routines;
  exit_routines.Register(ReleaseState);

  {
    MainWindow window(state);
    window.ShowCentred();
    application.exec();
  }

  exit_routines.RunAll(state);
  return 0;
}

}  // namespace vellumark
