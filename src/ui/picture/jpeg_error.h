#pragma once

// libjpeg's own error handler prints and ends the process. This one jumps
// back to the caller's setjmp instead, with the message kept for the reason.

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs size_t and FILE declared before it

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace vellumark::jpeg_internal {

struct ErrorManager {
  jpeg_error_mgr base;  // first, so libjpeg's pointer can be cast back
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// Fills `manager` and returns the pointer to store in the codec's `err`.
// Warnings that mean damaged or missing data fail like errors, so that a
// truncated file is not passed off as a picture padded with grey.
jpeg_error_mgr* InstallErrorManager(ErrorManager* manager);

}  // namespace vellumark::jpeg_internal
