#pragma once

#include <cstddef>

namespace vellumark {

// What happens when a block of `bytes` cannot be had: the application
// installs a handler that reports it and ends the process. Without one the
// default writes the message to standard error and exits with 255.
using OutOfMemoryHandler = void (*)(std::size_t bytes);
void SetOutOfMemoryHandler(OutOfMemoryHandler handler);
[[noreturn]] void OutOfMemory(std::size_t bytes);

}  // namespace vellumark
