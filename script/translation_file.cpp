#include "script/translation_file.h"
#include "script/script_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "script/dialogs_file.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kMergeFilters = u"Dialog files (*.txt)|*.txt\r\nAll files (*.*)|*.*";
constexpr std::u16string_view kSaveChangesQuestion = u"Будем сохранять изменения в загруженном файле диалогов ?";

// Vorkat1 counted ROM offsets from one: its identifier is the offset + 1.
std::u16string Vorkat1Id(std::u16string_view dlgID) {
  double v = ReadNumber(dlgID) + 1;
  if (std::nearbyint(v) == v && std::fabs(v) < 1e15) return DecText(static_cast<long long>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return U(buf);
}

// Asks whether to save unsaved edits before an operation replaces or moves
// them. False when the user wanted them saved and they were not (the save was
// cancelled or failed): the caller must stop, or the edits would be lost.
bool OfferToSaveChanges(ScriptState state) {
  DialogSet& set = state.dialogs;
  if (!set.changed) return true;
  if (MsgBox(state, kSaveChangesQuestion, MsgButtons::OkCancel, MsgIcon::Question) != MsgAnswer::Ok) return true;
  SaveDialogs(state, false);
  return !(set.isLoaded && set.changed);
}

// One dialog from a line "ID text".
DialogRecord RecordFromLine(std::u16string_view line, std::size_t blank) {
  DialogRecord r;
  r.dlgID = line.substr(0, blank);
  r.dlgText = line.substr(blank + 1);
  r.ExtractedFromAddr = HexText(static_cast<std::uint32_t>(RoundHalfEven(ReadNumber(r.dlgID) - 1)));
  r.OldDlgSize = DecText(static_cast<long long>(r.dlgText.size()));
  r.DoPointerChange = u"N";
  return r;
}

}  // namespace

std::vector<std::u16string_view> TranslationFileLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  std::size_t pos = 0;
  for (;;) {
    std::size_t end = text.find(kCrLf, pos);
    std::u16string_view line = text.substr(pos, end == std::u16string_view::npos ? end : end - pos);
    if (!line.empty()) lines.push_back(line);
    if (end == std::u16string_view::npos) return lines;
    pos = end + kCrLf.size();
  }
}

void ImportTranslationFile(ScriptState state) {
  if (!OfferToSaveChanges(state)) {
    AppendLog(state, u"Изменения в диалогах не сохранены, импорт файла перевода не выполнен", kColourDarkRed);
    return;
  }
  const std::u16string name = AskFileName(state, false, u"Открыть файл перевода", kTranslationFilters);
  if (name.empty()) return;
  std::u16string text;
  TextEncoding encoding = TextEncoding::Ansi;
  if (!ReadScriptFileText(state, name, text, &encoding)) return;
  AppendLog(state, u"Загружаем файл перевода " + name);
  WarnIfBareLf(state, text, name);

  const auto lines = TranslationFileLines(text);
  std::vector<DialogRecord> records(lines.size());
  std::int32_t lastIndex = -1;
  bool cancelled = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lastIndex = static_cast<std::int32_t>(i);
    std::size_t blank = lines[i].find(u' ');
    if (blank != std::u16string_view::npos) {
      records[i] = RecordFromLine(lines[i], blank);
    } else if (MsgBox(state, u"Эй!, а это файл перевода или что !\r\nПродолжим ?", MsgButtons::OkCancel,
                      MsgIcon::Question) != MsgAnswer::Ok) {
      cancelled = true;
      break;
    }
  }

  // The import replaces the set even when cancelled; the file name and the
  // changed flag stay.
  DialogSet& set = state.dialogs;
  set.records = std::move(records);
  set.lastIndex = lastIndex;
  set.encoding = encoding;
  set.undoSteps.clear();
  set.MarkReplaced();
  set.isLoaded = !cancelled;
  if (cancelled) return;
  AppendLog(state, u"Импортировали файл перевода " + name);
  AppendLog(state, u"Загружено" + NumText(set.lastIndex + 1) + u" диалогов...");
}

void ExportTranslationFile(ScriptState state) {
  const DialogSet& set = state.dialogs;
  if (!set.isLoaded) {
    AppendLog(state, u"Ничего еще не загружено...");
    MsgBox(state, u"Диалоги еще не загружены.", MsgButtons::Ok);
    return;
  }
  if (MsgBox(state,
             u"Вы уверены, что хотите сохранить скрипт в старом формате,\r\n"
             u"часть мета-информации не может быть сохранена в файле перевода.\r\nПродолжить ?",
             MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
    return;
  const std::u16string name = AskFileName(state, true, u"Сохранить диалоги как Файл перевода", kTranslationFilters);
  if (name.empty()) return;
  const bool correct = MsgBox(state,
                              u"Кстати, Vorkat1 считает смещение в ROM'е с единицы, а Vorkat2 с нуля\r\n"
                              u"желаете скорректировать адреса, чтобы они были правильные\r\n"
                              u"с точки зрения Vorkat версии 1 ?\r\n\r\n"
                              u"(ЕСЛИ этот скрипт БЫЛ ИМПОРТИРОВАН ИЗ Vorkat1, то ответь НЕТ)",
                              MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes;

  LongOperation op(state);
  const auto last = static_cast<std::int64_t>(set.count()) - 1;
  ShowProgress(state, 0, last > 0 ? last : 1, 0);
  std::u16string out;
  for (std::int64_t i = 0; i <= last; ++i) {
    const DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    std::u16string_view text = r.dlgText;
    std::u16string joined;
    if (text.find(kCrLf) != std::u16string_view::npos) {
      AppendLog(state, u"Внимание! Диалог с ID " + r.dlgID + u" содержит пернос строки, недопустимый в Vorkat1");
      joined = ReplaceAll(text, kCrLf, u"");
      text = joined;
    }
    out.append(correct ? Vorkat1Id(r.dlgID) : r.dlgID);
    out.push_back(u' ');
    out.append(text);
    out.append(kCrLf);
    if (i % 10 == 0) SetProgress(state, i);
    if (i % 100 == 0) YieldPoint(state);
  }

  std::size_t replaced = 0;
  // Dialogs read from UTF-8 are written as UTF-8 again; others as ANSI.
  Bytes data = IsUtf8(set.encoding) ? EncodeTextFile(out, set.encoding) : EncodeTextFile(out, false, &replaced);
  if (replaced > 0)
    AppendLog(state,
              u"Внимание! В кодовой странице ANSI нет" + NumText(static_cast<long long>(replaced)) +
                  u" символов диалогов, в файл они записаны как '?'",
              kColourDarkRed);
  IoError err;
  const bool ok = WriteFileAtomic(name, data, Backup::RotateBak, &err, state.ctx.writeFaults);
  HideProgress(state);
  if (!ok) {
    AppendLog(state, u"Ошибка однако... " + err.description + NumText(err.code));
    return;
  }
  AppendLog(state, u"Экспортировали диалоги в файл перевода " + name);
}

void MergeDialogsFiles(ScriptState state) {
  const std::vector<std::u16string> files = state.ctx.host.AskFileNames(u"Select dialogs files", kMergeFilters);
  if (files.empty()) return;
  if (files.size() == 1) {
    MsgBox(state, u"Нужно выбрать НЕСКОЛЬКО файлов диалогов", MsgButtons::Ok, MsgIcon::Information);
    AppendLog(state, u"Нужно выбрать НЕСКОЛЬКО файлов диалогов, операция объединения диалогов не выполнена");
    return;
  }
  // The merged set is marked not loaded at the end, so unsaved edits of the
  // loaded set would survive only in the merged file.
  DialogSet& set = state.dialogs;
  if (set.isLoaded && !OfferToSaveChanges(state)) {
    AppendLog(state, u"Изменения в диалогах не сохранены, операция объединения диалогов не выполнена", kColourDarkRed);
    return;
  }
  {
    LongOperation op(state);
    // A merge that stops half-way must not leave the loaded set half-merged.
    DialogSet before = set;
    for (const std::u16string& file : files) {
      set.fileName = file;
      if (!AppendDialogsFromFileName(state)) {
        AppendLog(state, u"Файл " + file + u" не прочитан, операция объединения диалогов не выполнена",
                  kColourBrightRed);
        set = std::move(before);
        return;
      }
    }
  }
  SaveDialogs(state, false);
  set.isLoaded = false;
}

}  // namespace vorkat
