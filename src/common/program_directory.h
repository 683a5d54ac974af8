#pragma once

#include <string>
#include <string_view>

#include "common/text_ops.h"

namespace vellumark {

// The directory part of a program file's full path: everything before the
// last separator, without it. Empty when the path has no separator or the
// program sits in the root ("/vellumark" gives "", so that the directory,
// one "/" and a name is again the right path).
std::string DirectoryOfProgramFile(std::string_view program_file);

// Called once at start-up: stores the directory of `program_file` and makes
// it the current directory. Returns false when the directory could not be
// entered (it is stored all the same).
bool InitProgramDirectory(std::string_view program_file);

// A copy of the directory found at start-up, unaffected by later changes of
// the current directory; absent when it is empty.
Text ProgramDirectory();

// The full path of the running program file, from the platform.
std::string ProgramFilePath();

}  // namespace vellumark
