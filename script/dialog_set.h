// Dialog records: one block of game text with its attributes, all as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorkat {

struct DialogRecord {
  std::u16string dlgID;
  std::u16string ExtractedFromAddr;
  std::u16string OldDlgSize;
  std::u16string NewDlgSize;
  std::u16string DoPointerChange;
  std::u16string NewDlgAddr;
  std::u16string OldPtrHEX;
  std::u16string NewPtrHEX;
  std::u16string PtrsAddrListFile;
  std::u16string PtrsAddrZones;
  std::u16string dlgComments;
  std::u16string dlgText;
};

struct DialogSet {
  std::u16string fileName;
  std::vector<DialogRecord> records;  // slots 0..lastIndex are dialogs; later slots are empty
  std::int32_t lastIndex = -1;
  bool isLoaded = false;
  bool changed = false;
};

}  // namespace vorkat
