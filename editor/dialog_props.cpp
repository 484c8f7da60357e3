#include "editor/dialog_props.h"

#include "codec/encoder.h"
#include "core/runtime.h"
#include "core/text.h"
#include "script/dialog_undo.h"
#include "script/script_state.h"

namespace vorkat {

bool IsDialogIndex(ScriptState state, std::int32_t index) {
  return state.dialogs.isLoaded && index >= 0 && index <= state.dialogs.lastIndex &&
         static_cast<std::size_t>(index) < state.dialogs.records.size();
}

std::optional<DialogPropsFields> ShowDlg(ScriptState state, std::int32_t index) {
  if (!IsDialogIndex(state, index)) return std::nullopt;
  const DialogRecord& d = state.dialogs.records[static_cast<std::size_t>(index)];
  return DialogPropsFields{d.dlgID,      d.OldDlgSize, d.NewDlgSize,      d.ExtractedFromAddr, d.NewDlgAddr,
                           d.OldPtrHEX,  d.NewPtrHEX,  d.DoPointerChange, d.PtrsAddrListFile,  d.PtrsAddrZones,
                           d.dlgComments};
}

bool UpdateCheck(ScriptState state, std::int32_t index, const DialogPropsFields& fields) {
  std::optional<DialogPropsFields> stored = ShowDlg(state, index);
  if (!stored) return false;
  stored->dlgID = fields.dlgID;  // shown only, never written back
  return *stored != fields;
}

std::optional<DialogPropsFields> UpdateDlgProps(ScriptState state, std::int32_t index,
                                                const DialogPropsFields& fields) {
  if (!IsDialogIndex(state, index)) return std::nullopt;
  const auto at = static_cast<std::size_t>(index);
  DialogRecord& d = state.dialogs.records[at];
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, u"свойства диалога " + d.dlgID);
  KeepForUndo(undo, state.dialogs, at);
  d.OldDlgSize = fields.OldDlgSize;
  d.NewDlgSize = fields.NewDlgSize;
  d.ExtractedFromAddr = fields.ExtractedFromAddr;
  d.NewDlgAddr = fields.NewDlgAddr;
  d.OldPtrHEX = fields.OldPtrHEX;
  d.NewPtrHEX = fields.NewPtrHEX;
  d.DoPointerChange = fields.DoPointerChange;
  d.PtrsAddrListFile = fields.PtrsAddrListFile;
  d.PtrsAddrZones = NormaliseZones(fields.PtrsAddrZones);
  d.dlgComments = fields.dlgComments;
  // Fields that differ only in the blanks of the zones leave the record as it was.
  if (!(undo.records.front().second == d)) {
    state.dialogs.changed = true;
    CommitDialogUndo(state.dialogs, std::move(undo));
  }
  return ShowDlg(state, index);
}

std::u16string NormaliseZones(std::u16string_view zones) {
  std::u16string out;
  out.reserve(zones.size());
  for (char16_t c : zones)
    if (c != u' ') out.push_back(c);
  return out;
}

std::optional<std::u16string> RecalcDialogLength(ScriptState state, std::int32_t index) {
  if (!IsDialogIndex(state, index)) return std::nullopt;
  const Bytes bytes = Encode(state, state.dialogs.records[static_cast<std::size_t>(index)].dlgText);
  return DecText(static_cast<long long>(bytes.size()));
}

bool AskToKeepPendingProps(ScriptState state, std::int32_t index, const DialogPropsFields& fields) {
  if (!UpdateCheck(state, index, fields)) return false;
  if (MsgBox(state, u"Будем сохранять изменения в Диалогах ?", MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
    return false;
  return UpdateDlgProps(state, index, fields).has_value();
}

}  // namespace vorkat
