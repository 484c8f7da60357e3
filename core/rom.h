// ROM images: the working image and the untouched original.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/rom_buffer.h"

namespace vorkat {

struct Context;
struct CoreState;

// A write of bytes typed in by hand that Undo can take back: the bytes before
// and after it, so an undo never overwrites what a later operation wrote.
struct RomEditStep {
  std::int32_t offset = 0;
  std::vector<std::uint8_t> before;
  std::vector<std::uint8_t> after;
};

struct RomImage {
  std::u16string fileName;
  RomBytes bytes;  // offset k is bytes[k]
  bool isLoaded = false;
  bool modified = false;               // changed since it was opened or saved
  std::vector<RomEditStep> undoSteps;  // the newest last; opening a ROM clears them
  std::uint64_t generation = 0;        // counts the ROMs opened and patches applied: what was found before is stale

  // ROM files are at most 32 MiB (kMaxRomFileSize), so the size fits.
  std::int32_t size() const { return static_cast<std::int32_t>(bytes.size()); }
  std::span<const std::uint8_t> view() const { return {bytes.data(), bytes.size()}; }
  std::span<std::uint8_t> span() { return {bytes.data(), bytes.size()}; }
};

struct OriginalRomImage {
  std::u16string fileName;
  RomBytes bytes;
  bool isLoaded = false;

  std::span<const std::uint8_t> view() const { return {bytes.data(), bytes.size()}; }
};

inline constexpr std::u16string_view kRomFilters = u"GameBoy Files (*.gba,*.gbc,*.gb)|*.gb?\r\nAll Files (*.*)|*.*";

// The file prompt every open and save command uses; empty when cancelled.
std::u16string AskFileName(Context& ctx, bool forSave, std::u16string_view title, std::u16string_view filters);

void OpenRom(CoreState state, const std::u16string& name);
// When the working ROM has unsaved changes, asks whether to save them (Yes
// saves to its file, No drops them, Cancel keeps them). False when the user
// cancelled or the save failed: the caller then does not go on.
bool AskToSaveRomChanges(CoreState state);
// True when the file was written; only then does `name` become the ROM's file name.
bool SaveRom(CoreState state, const std::u16string& name);
// Asks for the file; with a name of an existing file, reads that one without asking.
void OpenOriginalRom(CoreState state, const std::u16string& name = {});

// Writes `data` at `offset` (within the ROM) as an undoable edit; the ROM is then modified.
void WriteRomBytesUndoable(CoreState state, std::int32_t offset, std::span<const std::uint8_t> data);
// Takes back the newest undoable edit, logging what it did; false (logged)
// when there is none or the ROM no longer holds the bytes it wrote.
bool UndoRomEdit(CoreState state);

// Reads a file into a ROM buffer; false (with the log line) when it cannot.
bool ReadRomFile(CoreState state, std::u16string_view name, RomBytes& out);

}  // namespace vorkat
