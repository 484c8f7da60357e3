#include "editor/mass_edit.h"

#include "editor/dialog_props.h"

#include <algorithm>
#include <climits>

#include "codec/encoder.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/settings.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "insert/insert_state.h"
#include "insert/new_addresses.h"
#include "script/dialog_undo.h"

namespace vorkat {
namespace {

// Non-overlapping occurrences, as ReplaceAll replaces them.
std::int64_t CountOccurrences(std::u16string_view text, std::u16string_view find) {
  if (find.empty()) return 0;
  std::int64_t n = 0;
  for (std::size_t at = text.find(find); at != std::u16string_view::npos; at = text.find(find, at + find.size())) ++n;
  return n;
}

constexpr std::u16string_view kAskTitle = u"Vorkat";

// The dialogs 0..lastIndex, within the slots that exist.
std::size_t DialogCount(ScriptState state) { return state.dialogs.count(); }

// Runs `change` over every dialog; the ones it changes are kept for Undo as
// one step named `what`.
template <class Change>
bool ForEachDialog(ScriptState state, std::u16string what, Change&& change) {
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, std::move(what));
  const std::size_t count = DialogCount(state);
  for (std::size_t i = 0; i < count; ++i) {
    DialogRecord& d = state.dialogs.records[i];
    DialogRecord before = d;
    if (change(d)) undo.records.emplace_back(i, std::move(before));
  }
  const bool any = !undo.records.empty();
  if (any) state.dialogs.changed = true;
  CommitDialogUndo(state.dialogs, std::move(undo));
  return any;
}

void Report(ScriptState state, std::u16string_view text) {
  AppendLog(state, text);
  MsgBox(state, text, MsgButtons::Ok, MsgIcon::Information);
}

// An answer of the markup questions: nothing when cancelled or empty.
std::optional<std::u16string> AskMarkupText(ScriptState state, std::u16string_view prompt, std::u16string_view title) {
  std::optional<std::u16string> answer = InputBox(state, prompt, title);
  if (!answer || answer->empty()) return std::nullopt;
  return MarkupToTextCopy(*answer);
}

// The encoded size of every dialog, the index built once for the series.
template <class Each>
void EncodeEveryDialog(ScriptState state, Each&& each) {
  LongOperation op(state);
  const std::size_t count = DialogCount(state);
  for (std::size_t i = 0; i < count; ++i) {
    YieldPoint(state);
    each(state.dialogs.records[i], Encode(state, state.dialogs.records[i].dlgText).size());
  }
}

}  // namespace

bool EditorRequireDialogs(ScriptState state) {
  if (RequireDialogs(state)) return true;
  state.ctx.host.Beep();
  return false;
}

bool EditorRequireTable(CodecState state) {
  if (state.table.isLoaded) return true;
  MsgBox(state, u"Таблица еще не загружена", MsgButtons::Ok, MsgIcon::Error);
  AppendLog(state, u"Таблица еще не загружена");
  return false;
}

void AcceptDialogText(ScriptState state, std::int32_t index, std::u16string_view text) {
  if (!state.dialogs.isLoaded || index < 0 || static_cast<std::size_t>(index) >= DialogCount(state)) return;
  const auto at = static_cast<std::size_t>(index);
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, u"правка диалога " + state.dialogs.records[at].dlgID);
  KeepForUndo(undo, state.dialogs, at);
  state.dialogs.records[at].dlgText = std::u16string(text);
  state.dialogs.changed = true;
  CommitDialogUndo(state.dialogs, std::move(undo));
}

bool UndoDialogsChange(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  const std::optional<std::u16string> undone = UndoDialogChange(state.dialogs);
  if (!undone) {
    state.ctx.host.Beep();
    AppendLog(state, u"Отменять нечего");
    return false;
  }
  AppendLog(state, u"Отменено: " + *undone);
  return true;
}

MsgAnswer AskAboutUnacceptedText(ScriptState state) {
  return MsgBox(state, u"Текст диалога изменен, но изменения не приняты. Принять их ?", MsgButtons::YesNoCancel,
                MsgIcon::Question, u"X-Editor");
}

bool AppendToEveryDialog(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  std::optional<std::u16string> tail =
      AskMarkupText(state,
                    u"Введите строку для добавления в конец текста каждого диалога" + std::u16string(kCrLf) +
                        u"для добавнения hex (0D0A) можно использовать <$VBCRLF>",
                    u"Append to every dialog text");
  if (!tail) return false;
  const bool changed = ForEachDialog(state, u"подклейка строки ко всем диалогам", [&](DialogRecord& d) {
    d.dlgText += *tail;
    return true;
  });
  MsgBox(state, u"Закончили подклейку", MsgButtons::Ok, MsgIcon::Information);
  AppendLog(state, u"Завершен процесс добавления строки" + *tail + u" в конец каждого диалога");
  return changed;
}

bool ReplaceInAllDialogs(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  std::optional<std::u16string> find = AskMarkupText(state, u"Что искать", u"Find what");
  if (!find) return false;
  // Cancel here stops; an empty answer replaces with nothing.
  std::optional<std::u16string> repl = InputBox(state, u"На что заменить", u"Change to what");
  if (!repl) return false;
  *repl = MarkupToTextCopy(*repl);
  std::int64_t replacements = 0, dialogs = 0;
  const bool changed = ForEachDialog(state, u"массовая замена", [&](DialogRecord& d) {
    if (d.dlgText.find(*find) == std::u16string::npos) return false;
    replacements += CountOccurrences(d.dlgText, *find);
    ++dialogs;
    d.dlgText = ReplaceAll(d.dlgText, *find, *repl);
    return true;
  });
  const std::u16string count = u"Замен:" + NumText(replacements) + u", в диалогах:" + NumText(dialogs);
  AppendLog(state, u"Массовая замена произведена, искали=" + *find + u" меняли на=" + *repl);
  AppendLog(state, count);
  MsgBox(state, u"Массовая замена произведена" + std::u16string(kCrLf) + count, MsgButtons::Ok, MsgIcon::Information);
  return changed;
}

bool ClearInsertionAddresses(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  if (MsgBox(state, u"Уверен ?", MsgButtons::YesNo, MsgIcon::Question, u"Думаешь, стоит ?") != MsgAnswer::Yes)
    return false;
  const bool changed = ForEachDialog(state, u"чистка адресов вставки", [](DialogRecord& d) {
    if (d.NewDlgAddr.empty()) return false;
    d.NewDlgAddr.clear();
    return true;
  });
  Report(state, u"Массовая чистка адресов вставки у диалогов закончена");
  return changed;
}

bool ClearPointerListFiles(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  const bool changed = ForEachDialog(state, u"чистка файлов указателей", [](DialogRecord& d) {
    if (d.PtrsAddrListFile.empty()) return false;
    d.PtrsAddrListFile.clear();
    return true;
  });
  Report(state, u"У всех диалогов очищено поле файла с адресами 'правильных' указателей");
  return changed;
}

bool SetPointerListFileForAll(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  const std::u16string name = AskFileName(state, false, kPointerListPromptTitle, kPointerListFilters);
  if (name.empty() || !FileExists(name)) return false;
  const bool changed = ForEachDialog(state, u"единый файл указателей", [&](DialogRecord& d) {
    if (d.PtrsAddrListFile == name) return false;
    d.PtrsAddrListFile = name;
    return true;
  });
  Report(state, u"Всем диалогам в качестве файла с адресами 'правильных' указателей присвоили файл:" + name);
  return changed;
}

bool InsertionAddrFromExtractionAddr(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  const bool changed = ForEachDialog(state, u"адрес вставки из адреса извлечения", [](DialogRecord& d) {
    if (!d.NewDlgAddr.empty() || d.ExtractedFromAddr.empty()) return false;
    d.NewDlgAddr = d.ExtractedFromAddr;
    return true;
  });
  AppendLog(state,
            u"У диалогов с отсутствующим адресом вставки, адрес вставки теперь равен адресу, откуда мы его вынимали.");
  MsgBox(state, u"done!", MsgButtons::Ok, MsgIcon::Information);
  return changed;
}

bool CalcOldDialogSizes(ScriptState state) {
  if (!EditorRequireTable(state) || !EditorRequireDialogs(state)) return false;
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, u"расчёт 'старой' длины диалогов");
  std::size_t index = 0;
  EncodeEveryDialog(state, [&](DialogRecord& d, std::size_t size) {
    std::u16string text = DecText(static_cast<long long>(size));
    if (d.OldDlgSize != text) {
      KeepForUndo(undo, state.dialogs, index);
      d.OldDlgSize = std::move(text);
    }
    ++index;
  });
  const bool changed = !undo.records.empty();
  if (changed) state.dialogs.changed = true;
  CommitDialogUndo(state.dialogs, std::move(undo));
  MsgBox(state, u"Закончен расчет 'старой' длинны текста для диалогов", MsgButtons::Ok, MsgIcon::Information);
  AppendLog(state, u"Закончен расчет 'старой' длинны текста для диалогов");
  return changed;
}

std::int64_t ShowTotalDialogsSize(ScriptState state) {
  if (!EditorRequireTable(state) || !EditorRequireDialogs(state)) return -1;
  std::int64_t sum = 0;
  EncodeEveryDialog(state, [&](DialogRecord&, std::size_t size) { sum += static_cast<std::int64_t>(size); });
  Report(state, u"Суммарная длинна диалогов равна" + NumText(sum) + u" байт");
  return sum;
}

bool CorrectDialogStarts(ScriptState state) {
  if (!EditorRequireDialogs(state)) return false;
  std::optional<std::u16string> prefix =
      AskMarkupText(state, u"Введите символ для 'убирания' из начала текста диалога", kAskTitle);
  if (!prefix) return false;
  const auto length = static_cast<std::int64_t>(prefix->size());
  const bool changed = ForEachDialog(state, u"коррекция начала диалогов", [&](DialogRecord& d) {
    if (!StartsWith(d.dlgText, *prefix)) return false;
    std::size_t cut = 0;
    while (StartsWith(std::u16string_view(d.dlgText).substr(cut), *prefix)) cut += prefix->size();
    d.dlgText.erase(0, cut);
    // A dialog whose start is unknown keeps its (empty or unreadable) address.
    const std::int64_t from = HexTextToLong(d.ExtractedFromAddr);
    const std::int64_t moved = from + static_cast<std::int64_t>(cut / prefix->size()) * length;
    if (from >= 0 && moved <= INT32_MAX) {
      d.dlgID = DecText(moved);
      d.ExtractedFromAddr = LongToAddrText(static_cast<std::int32_t>(moved));
    }
    return true;
  });
  MsgBox(state, u"закончили подвижки", MsgButtons::Ok, MsgIcon::Information);
  AppendLog(state, u"Завершен процесс коррекции начальных адресов диалогов");
  return changed;
}

bool RunNewAddresses(InsertState state) {
  if (!EditorRequireTable(state) || !EditorRequireDialogs(state)) return false;
  InsertionParams& params = state.insertion;
  // A cancelled question or a text that is no number stops before anything changes.
  const std::optional<std::int32_t> start = AskTypedNumber(state, u"введите адрес НАЧАЛА свободного места в РОМ",
                                                           kAskTitle, DecText(params.FreeSpaceStartAddr));
  if (!start) return false;
  const std::optional<std::int32_t> end =
      AskTypedNumber(state, u"введите адрес КОНЦА свободного места в РОМ", kAskTitle, DecText(params.FreeSpaceEndAddr));
  if (!end) return false;
  const std::optional<std::int32_t> align =
      AskTypedNumber(state, u"выравнивать вычисляемые адреса по модулю ...(введи 0 для откл.)", kAskTitle, u"0");
  if (!align) return false;
  params.FreeSpaceStartAddr = *start;
  params.FreeSpaceEndAddr = *end;
  params.AddressAlignBy = *align;
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, u"расчёт новых адресов");
  const std::vector<DialogRecord> before = state.dialogs.records;
  CalcNewAddresses(state);
  KeepDifferencesForUndo(undo, before, state.dialogs);
  CommitDialogUndo(state.dialogs, std::move(undo));
  state.dialogs.changed = true;
  MsgBox(state, u"Закончили расчет новых адресов для диалогов", MsgButtons::Ok, MsgIcon::Information);
  AppendLog(state, u"Завершен процесс расчета новых адресов (для вставки) для диалогов");
  return true;
}

}  // namespace vorkat
