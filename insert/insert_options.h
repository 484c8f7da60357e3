// The insertion's options (menu toggles and the insertion window's fields;
// not kept in the settings file).
#pragma once

#include <cstdint>

namespace vorkat {

struct InsertOptions {
  // Each insertion also writes its log file beside the dialogs.
  bool CreateInsertionLogs = false;
  // "вставлять на место, если помещается": a translation no longer than its
  // original (OldDlgSize) goes back where it came from, the rest of the
  // original's bytes filled with PadByte, its pointers left as they are; a
  // dialog with pointer change off (N) is then a fixed-length field that must
  // fit there.
  bool InPlace = false;
  std::uint8_t PadByte = 0x00;
};

inline void ToggleCreateInsertionLogs(InsertOptions& options) {
  options.CreateInsertionLogs = !options.CreateInsertionLogs;
}

}  // namespace vorkat
