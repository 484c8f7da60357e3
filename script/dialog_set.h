// Dialog records: one block of game text with its attributes, all as text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text.h"

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

  bool operator==(const DialogRecord&) const = default;
};

// One change of the dialogs that Undo can take back: the records it changed,
// as they were before it (script/dialog_undo.h).
struct DialogUndoStep {
  std::u16string what;         // the change, as the log names it
  bool changedBefore = false;  // the set's changed flag before the change
  std::vector<std::pair<std::size_t, DialogRecord>> records;
};

struct DialogSet {
  std::u16string fileName;
  std::vector<DialogRecord> records;  // slots 0..lastIndex are dialogs; later slots are empty
  std::int32_t lastIndex = -1;
  bool isLoaded = false;
  bool changed = false;
  // How the file the set was loaded from was read: a set read from UTF-8 is
  // saved as UTF-8 again.
  TextEncoding encoding = TextEncoding::Ansi;
  // Changes whenever the dialogs the set holds are replaced or added to
  // (MarkReplaced), so a list shown of them knows when to refill.
  std::uint64_t revision = 0;
  // The changes Undo can take back, the newest last; a load of another file clears them.
  std::vector<DialogUndoStep> undoSteps;

  void MarkReplaced() { ++revision; }
  // The number of dialogs: the slots up to lastIndex that exist.
  std::size_t count() const {
    return lastIndex < 0 ? 0 : std::min(static_cast<std::size_t>(lastIndex) + 1, records.size());
  }
};

// The twelve attributes, in the order of the record.
enum class DialogAttr {
  dlgID,
  ExtractedFromAddr,
  OldDlgSize,
  NewDlgSize,
  DoPointerChange,
  NewDlgAddr,
  OldPtrHEX,
  NewPtrHEX,
  PtrsAddrListFile,
  PtrsAddrZones,
  dlgComments,
  dlgText,
  Unknown,  // a name that is none of the twelve
};

// Attribute names compare exactly (case-sensitive).
DialogAttr DialogAttrByName(std::u16string_view name);

// The field of an attribute; nullptr for Unknown.
std::u16string* DialogAttrField(DialogRecord& record, DialogAttr attr);
const std::u16string* DialogAttrField(const DialogRecord& record, DialogAttr attr);

// DoPointerChange means yes when its first character is Y or y.
inline bool IsPointerChangeYes(std::u16string_view doPointerChange) {
  return !doPointerChange.empty() && (doPointerChange[0] == u'Y' || doPointerChange[0] == u'y');
}
inline bool WantsPointerChange(const DialogRecord& record) { return IsPointerChangeYes(record.DoPointerChange); }

}  // namespace vorkat
