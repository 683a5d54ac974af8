#include "app/program_state.h"

namespace vellumark {

void ReleaseState(ProgramState& state) {
  state.CurrentId.reset();
  state.CurrentUrl.reset();
}

}  // namespace vellumark
