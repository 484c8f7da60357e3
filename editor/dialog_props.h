// The dialog properties window's logic: its fields are the pending edit of
// one dialog's attributes, the record is the truth, and "Update" is the only
// way from one to the other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

struct ScriptState;

inline constexpr std::u16string_view kPointerListPromptTitle = u"Выбери файл с адресами указателей";
inline constexpr std::u16string_view kPointerListFilters =
    u"Файлы с адресами указателей (*.txt)|*.txt\r\nВсе файлы (*.*)|*.*";

// The window's fields, one per attribute (dlgID is shown only).
struct DialogPropsFields {
  std::u16string dlgID;
  std::u16string OldDlgSize;
  std::u16string NewDlgSize;
  std::u16string ExtractedFromAddr;
  std::u16string NewDlgAddr;
  std::u16string OldPtrHEX;
  std::u16string NewPtrHEX;
  std::u16string DoPointerChange;
  std::u16string PtrsAddrListFile;
  std::u16string PtrsAddrZones;
  std::u16string dlgComments;

  bool operator==(const DialogPropsFields&) const = default;
};

// Whether `index` names a loaded dialog (0..lastIndex).
bool IsDialogIndex(ScriptState state, std::int32_t index);

// ShowDlg: the fields of dialog `index`; nothing without loaded dialogs.
std::optional<DialogPropsFields> ShowDlg(ScriptState state, std::int32_t index);

// UpdateCheck: whether "Update" is enabled, i.e. some field the window
// writes back differs from the record (exact text comparison).
bool UpdateCheck(ScriptState state, std::int32_t index, const DialogPropsFields& fields);

// UpdateDlgProps: writes every field but dlgID into the dialog (zones
// without blanks); a change marks the dialogs changed and is one undo step.
// Returns the fields as ShowDlg now shows them.
std::optional<DialogPropsFields> UpdateDlgProps(ScriptState state, std::int32_t index, const DialogPropsFields& fields);

// Zones as stored: every blank removed ("100 : 200 ; 300" -> "100:200;300").
std::u16string NormaliseZones(std::u16string_view zones);

// The check box of DoPointerChange is ticked for Y and y alike
// (IsPointerChangeYes), as insertion rewrites pointers for both; a tick
// writes "Y", no tick an empty text.
inline std::u16string PointerChangeText(bool ticked) { return ticked ? u"Y" : u""; }

// "расчет": the encoded byte count of dialog `index` in decimal (the record
// itself is not changed). Nothing without loaded dialogs.
std::optional<std::u16string> RecalcDialogLength(ScriptState state, std::int32_t index);

// The close question for pending edits ("Update" enabled): Yes writes them
// back. Returns true when it wrote.
bool AskToKeepPendingProps(ScriptState state, std::int32_t index, const DialogPropsFields& fields);

}  // namespace vorkat
