#include "core/rom_buffer.h"

#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vorkat {

namespace {
constexpr std::size_t kHugePage = 2u << 20;
}

void* AllocateRomMemory(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes < kHugePage) {
    void* p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
  }
  std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (!p) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  madvise(p, rounded, MADV_HUGEPAGE);
#endif
  return p;
}

void FreeRomMemory(void* p) noexcept { std::free(p); }

}  // namespace vorkat
