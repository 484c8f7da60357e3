// ROM images: the working image and the untouched original.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/rom_buffer.h"

namespace vorkat {

struct Context;
struct CoreState;

struct RomImage {
  std::u16string fileName;
  RomBytes bytes;  // offset k is bytes[k]
  bool isLoaded = false;
  bool modified = false;  // changed since it was opened or saved

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

// Reads a file into a ROM buffer; false (with the log line) when it cannot.
bool ReadRomFile(CoreState state, std::u16string_view name, RomBytes& out);

}  // namespace vorkat
