// Global allocation functions that never throw: a request that cannot be met
// ends the program through OutOfMemory, naming the size asked for.
#include <cstdlib>
#include <new>

#include "common/out_of_memory.h"

namespace {

void* AllocateOrDie(std::size_t bytes) {
  if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
  vellumark::OutOfMemory(bytes);
}

}  // namespace

void* operator new(std::size_t bytes) { return AllocateOrDie(bytes); }
void* operator new[](std::size_t bytes) { return AllocateOrDie(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return AllocateOrDie(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return AllocateOrDie(bytes);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
