// A small open-addressing set of table texts, for lookups that must not walk
// the 65,536 entries.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vorkat {

inline std::uint64_t HashText(std::u16string_view text) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (char16_t c : text) {
    h ^= c;
    h *= 0x100000001B3ull;
  }
  return h ^ (h >> 29);
}

// Counts how often each text occurs. The texts must outlive the counter.
class TextCounter {
 public:
  explicit TextCounter(std::size_t expected) {
    std::size_t n = 16;
    while (n < expected * 2) n <<= 1;
    slots_.resize(n);
    mask_ = n - 1;
  }

  void Add(std::u16string_view text) { ++Slot(text).count; }
  int Count(std::u16string_view text) { return Slot(text).count; }

 private:
  struct Entry {
    std::u16string_view text;
    int count = 0;
  };
  Entry& Slot(std::u16string_view text) {
    for (std::size_t b = HashText(text) & mask_;; b = (b + 1) & mask_) {
      Entry& e = slots_[b];
      if (e.count == 0) {
        e.text = text;
        return e;
      }
      if (e.text == text) return e;
    }
  }
  std::vector<Entry> slots_;
  std::size_t mask_ = 0;
};

}  // namespace vorkat
