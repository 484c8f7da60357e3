// Pointer rewriting: every pointer to a dialog's old text is made to point
// at its new place.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/pointer_format.h"
#include "core/rom_buffer.h"
#include "core/warning_limit.h"

namespace vorkat {

struct InsertState;
class InsertionLogFile;

// The ROM as it stood when an insertion run began: the pointer searches of a
// run look here, so bytes the run writes are never found by a later search
// of the same run. It holds no copy of the ROM: the run writes through
// Write, which keeps the bytes it replaces, and a search that needs the old
// bytes puts them back in a copy of its own. Pointer windows can be indexed
// by key once, so that a search costs a lookup instead of a ROM scan: for
// GBA the 4-byte windows ending in 0x08 or 0x09, keyed by the offset they
// address; for the Game Boy formats every 2- or 3-byte window, keyed by its
// little-endian value. Patterns are the first PointerWidth bytes of the
// 4-byte arrays passed in.
class PointerSnapshot {
 public:
  // `rom` is the working ROM; from now on the run changes it only through Write.
  explicit PointerSnapshot(std::span<const std::uint8_t> rom, PointerFormat format = PointerFormat::GBA);

  // Writes bytes into the working ROM (the same bytes as `rom` above) at
  // offset, keeping the ones they replace.
  void Write(std::span<std::uint8_t> rom, std::size_t offset, std::span<const std::uint8_t> bytes);

  // The key a pattern is indexed under; none for a GBA pattern that is no pointer.
  std::optional<std::uint32_t> KeyOf(const std::array<std::uint8_t, 4>& pattern) const;
  // Indexes the pointer windows whose key is one of `values`. Searches for
  // other patterns scan. With `only` (first and last byte offsets, inclusive),
  // just the windows lying wholly inside those ranges: for a run whose every
  // search is confined to them (the zones of a declared table).
  void IndexPointers(std::span<const std::uint32_t> values,
                     std::span<const std::pair<std::int32_t, std::int32_t>> only = {});
  // Indexes every pointer window.
  void IndexAllPointers();

  // Offsets m, ascending, with from <= m <= lastStart where the bytes at m
  // equal the pattern (occurrences may overlap).
  std::vector<std::int32_t> Find(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                 std::int32_t lastStart) const;
  // The same by scanning the bytes; the reference the index must agree with.
  std::vector<std::int32_t> FindLinear(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                       std::int32_t lastStart) const;

  std::size_t indexedCount() const { return index_.size(); }

 private:
  bool IsIndexed(std::uint32_t value) const;
  void Build(bool all);

  std::uint32_t WindowKey(const std::uint8_t* p) const;

  std::span<const std::uint8_t> rom_;
  PointerFormat format_;
  std::size_t width_;
  std::vector<std::uint64_t> written_;  // one bit per ROM byte the run wrote; empty until the first write
  std::vector<std::pair<std::uint32_t, std::uint8_t>> replaced_;  // offset and byte as they stood
  std::vector<std::uint64_t> wanted_;                             // one bit per 24-bit value; empty: nothing indexed
  bool indexedAll_ = false;
  std::vector<std::pair<std::int32_t, std::int32_t>> only_;
  std::vector<std::uint64_t> index_;  // value << 32 | offset, sorted
};

// The reports pointer rewriting repeats per dialog, limited over one
// insertion run: counts other than one, faulty old and new pointer texts.
struct RewriteWarnings {
  WarningLimit counts{u"Сообщения о числе замен указателей, отличном от 1"};
  WarningLimit pointerTexts{u"Сообщения об ошибках в тексте старого указателя"};
  WarningLimit newPointers{u"Сообщения о новых указателях не из 8 шестнадцатеричных цифр"};
  void Summarise(InsertState state);
};

// Rewrites, in the ROM, the pointers found in the snapshot that equal
// oldPtrHex, to newPtrHex, for one dialog and one search zone (zoneStart =
// zoneEnd = 0: the whole ROM). A GB16 search of the whole ROM without a
// list file is confined to bank 0 and `oldTextBank` (the bank the dialog
// came from): a 2-byte value turns up all over a ROM. Honours the dialog's pointer-list file
// (through the program-wide cache), CheckByMod4 and ExtendedLogs; writes its
// protocol to logFile when that is open. oldPtrHex is padded to the
// format's length and ptrsAddrListFile trimmed in place. With `warnings`,
// the repeated reports count against the run's limits (the caller sums up).
void RewritePointers(InsertState state, PointerSnapshot& snapshot, std::u16string& oldPtrHex,
                     std::u16string_view newPtrHex, std::u16string_view doPointerChange, std::int32_t zoneStart,
                     std::u16string& ptrsAddrListFile, InsertionLogFile* logFile, std::u16string_view dlgID,
                     std::int32_t zoneEnd, RewriteWarnings* warnings = nullptr, std::int32_t oldTextBank = -1);

}  // namespace vorkat
