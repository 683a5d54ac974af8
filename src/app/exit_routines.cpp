#include "app/exit_routines.h"

#include <algorithm>

namespace vellumark {

void ExitRoutines::Register(ExitRoutine routine) {
  if (std::find(routines_.begin(), routines_.end(), routine) ==
      routines_.end()) {
    routines_.push_back(routine);
  }
}

void ExitRoutines::RunAll(ProgramState& state) {
  std::vector<ExitRoutine> routines;
  routines.swap(routines_);
  for (ExitRoutine routine : routines) routine(state);
}

}  // namespace vellumark
