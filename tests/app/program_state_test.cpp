#include "app/program_state.h"

#include <gtest/gtest.h>

#include "app/exit_routines.h"

namespace vellumark {
namespace {

int counted_runs = 0;
void CountRun(ProgramState&) { ++counted_runs; }

TEST(ProgramState, StartsEmpty) {
  const ProgramState state;
  EXPECT_EQ(state.RowCount, 0);
  EXPECT_EQ(state.RowCursor, 0);
  EXPECT_EQ(state.LastItemIndex, 0);
  EXPECT_FALSE(state.CurrentId.has_value());
  EXPECT_FALSE(state.CurrentUrl.has_value());
}

TEST(ExitRoutines, RunOnceEachInOrderAndReleaseTheTexts) {
  ProgramState state;
  state.RowCount = 3;
  state.CurrentId = "1003";
  state.CurrentUrl = "http://127.0.0.1/3.png";

  ExitRoutines routines;
  counted_runs = 0;
  routines.Register(ReleaseState);
  routines.Register(CountRun);
  routines.Register(ReleaseState);  // a second registration changes nothing
  routines.RunAll(state);

  EXPECT_EQ(counted_runs, 1);
  EXPECT_FALSE(state.CurrentId.has_value());
  EXPECT_FALSE(state.CurrentUrl.has_value());
  EXPECT_EQ(state.RowCount, 3);  // touches nothing but the texts

  routines.RunAll(state);  // the list was emptied
  EXPECT_EQ(counted_runs, 1);
}

}  // namespace
}  // namespace vellumark
