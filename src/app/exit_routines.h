#pragma once

#include <vector>

#include "app/program_state.h"

namespace vellumark {

using ExitRoutine = void (*)(ProgramState&);

// Routines run once at a normal exit, in registration order. Registering a
// routine twice changes nothing; a fatal error skips them all.
class ExitRoutines {
 public:
  void Register(ExitRoutine routine);
  // Runs every routine, then forgets them, so a second call does nothing.
  void RunAll(ProgramState& state);
  void Clear() { routines_.clear(); }

 private:
  std::vector<ExitRoutine> routines_;
};

}  // namespace vellumark
