#include "common/out_of_memory.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace vellumark {
namespace {

std::atomic<OutOfMemoryHandler> installed_handler{nullptr};
std::atomic<bool> reporting{false};

}  // namespace

void SetOutOfMemoryHandler(OutOfMemoryHandler handler) {
  installed_handler.store(handler);
}

void OutOfMemory(std::size_t bytes) {
  // A handler that itself runs out of memory must not recurse.
  const OutOfMemoryHandler handler = installed_handler.load();
  if (handler != nullptr && !reporting.exchange(true)) handler(bytes);
  std::fprintf(stderr, "分配 %zu 字节内存失败!\n", bytes);
  std::_Exit(255);
}

}  // namespace vellumark
