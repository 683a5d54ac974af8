#pragma once

#include <cstdint>

#include "common/text_ops.h"

namespace vellumark {

// The state the two commands share, in one place. Everything starts at zero
// and without texts; only the import and the download write it.
struct ProgramState {
  std::int32_t RowCount = 0;
  std::int32_t RowCursor = 0;
  Text CurrentId;
  Text CurrentUrl;
  std::int32_t LastItemIndex = 0;
};

// Releases the two texts the import left behind; runs once, at exit.
void ReleaseState(ProgramState& state);

}  // namespace vellumark
