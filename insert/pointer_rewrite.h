// Pointer rewriting: every pointer to a dialog's old text is made to point
// at its new place.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/rom_buffer.h"
#include "core/warning_limit.h"

namespace vorkat {

struct InsertState;
class InsertionLogFile;

// The ROM as it stood when an insertion run began: the pointer searches of a
// run look here, so bytes the run writes are never found by a later search
// of the same run. It holds no copy of the ROM: the run writes through
// Write, which keeps the bytes it replaces, and a search that needs the old
// bytes puts them back in a copy of its own. Pointer windows (4 bytes ending
// in 0x08 or 0x09) can be indexed by value once, so that a search costs a
// lookup instead of a ROM scan.
class PointerSnapshot {
 public:
  // `rom` is the working ROM; from now on the run changes it only through Write.
  explicit PointerSnapshot(std::span<const std::uint8_t> rom);

  // Writes bytes into the working ROM (the same bytes as `rom` above) at
  // offset, keeping the ones they replace.
  void Write(std::span<std::uint8_t> rom, std::size_t offset, std::span<const std::uint8_t> bytes);

  // Indexes the pointer windows whose target offset (PointerTarget, below
  // 32 MiB) is one of `values`. Searches for other patterns scan.
  void IndexPointers(std::span<const std::uint32_t> values);
  // Indexes every pointer window.
  void IndexAllPointers();

  // Offsets m, ascending, with from <= m <= lastStart where the four bytes
  // at m equal the pattern (occurrences may overlap).
  std::vector<std::int32_t> Find(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                 std::int32_t lastStart) const;
  // The same by scanning the bytes; the reference the index must agree with.
  std::vector<std::int32_t> FindLinear(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                       std::int32_t lastStart) const;

  std::size_t indexedCount() const { return index_.size(); }

 private:
  bool IsIndexed(std::uint32_t value) const;
  void Build(bool all);

  std::span<const std::uint8_t> rom_;
  std::vector<std::uint64_t> written_;  // one bit per ROM byte the run wrote; empty until the first write
  std::vector<std::pair<std::uint32_t, std::uint8_t>> replaced_;  // offset and byte as they stood
  std::vector<std::uint64_t> wanted_;  // one bit per 24-bit value; empty: nothing indexed
  bool indexedAll_ = false;
  std::vector<std::uint64_t> index_;   // value << 32 | offset, sorted
};

// The reports pointer rewriting repeats per dialog, limited over one
// insertion run: counts other than one, faulty old and new pointer texts.
struct RewriteWarnings {
  WarningLimit counts{u"Сообщения о числе замен указателей, отличном от 1"};
  WarningLimit pointerTexts{u"Сообщения об ошибках в тексте старого указателя"};
  WarningLimit newPointers{u"Сообщения о новых указателях не из 8 шестнадцатеричных цифр"};
  void Summarise(InsertState& state);
};

// Rewrites, in the ROM, the pointers found in the snapshot that equal
// oldPtrHex, to newPtrHex, for one dialog and one search zone (zoneStart =
// zoneEnd = 0: the whole ROM). Honours the dialog's pointer-list file
// (through the program-wide cache), CheckByMod4 and ExtendedLogs; writes its
// protocol to logFile when that is open. oldPtrHex is padded to 8
// characters and ptrsAddrListFile trimmed in place. With `warnings`, the
// repeated reports count against the run's limits (the caller sums up).
void RewritePointers(InsertState& state, PointerSnapshot& snapshot, std::u16string& oldPtrHex,
                     std::u16string_view newPtrHex, std::u16string_view doPointerChange, std::int32_t zoneStart,
                     std::u16string& ptrsAddrListFile, InsertionLogFile* logFile, std::u16string_view dlgID,
                     std::int32_t zoneEnd, RewriteWarnings* warnings = nullptr);

}  // namespace vorkat
