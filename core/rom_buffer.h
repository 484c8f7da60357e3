// Storage for ROM images. 32 MiB of fresh memory costs about 100 ms to touch
// with 4 KiB pages and a few ms with huge pages, so ROM buffers are 2 MiB
// aligned, advised to use huge pages, and not zero-filled before a read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace vorkat {

void* AllocateRomMemory(std::size_t bytes);
void FreeRomMemory(void* p) noexcept;

template <class T>
struct RomAllocator {
  using value_type = T;
  RomAllocator() = default;
  template <class U>
  RomAllocator(const RomAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocateRomMemory(n * sizeof(T))); }
  void deallocate(T* p, std::size_t) noexcept { FreeRomMemory(p); }
  // Default-initialise: resizing leaves new bytes unwritten, for the file read to fill.
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const RomAllocator<U>&) const noexcept {
    return true;
  }
};

using RomBytes = std::vector<std::uint8_t, RomAllocator<std::uint8_t>>;

}  // namespace vorkat
