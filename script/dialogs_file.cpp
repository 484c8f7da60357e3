#include "script/dialogs_file.h"
#include "script/script_state.h"

#include <algorithm>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/rom.h"
#include "script/dialog_undo.h"

namespace vorkat {
namespace {

// The attribute list as the reader and writer use it: one attribute per name.
struct DialogFormat {
  std::vector<std::u16string> names;
  std::vector<DialogAttr> attrs;
  std::size_t textPos = 0;  // position of dlgText; names.size() when it is missing
};

DialogFormat MakeFormat(const Settings& settings) {
  DialogFormat f;
  f.names = DialogFormatNames(settings.TrDialogFileFormat);
  f.attrs.reserve(f.names.size());
  for (const auto& n : f.names) f.attrs.push_back(DialogAttrByName(n));
  auto it = std::find(f.attrs.begin(), f.attrs.end(), DialogAttr::dlgText);
  f.textPos = static_cast<std::size_t>(it - f.attrs.begin());
  return f;
}

// Fills one record from a piece that holds the attribute delimiter.
void ParseAttributes(ScriptState state, std::u16string_view attrPart, const DialogFormat& format,
                     std::u16string_view separator, DialogRecord& record) {
  bool commentStarted = false;
  auto addToComment = [&](std::u16string_view value) {
    // The comment is the last value, so a separator inside it splits it into
    // several values; joining them back restores it.
    if (commentStarted) record.dlgComments.append(separator);
    record.dlgComments.append(value);
    commentStarted = true;
  };
  std::size_t pos = 0;
  for (std::size_t j = 0;; ++j) {
    std::size_t end = separator.empty() ? std::u16string_view::npos : attrPart.find(separator, pos);
    std::u16string_view value =
        attrPart.substr(pos, end == std::u16string_view::npos ? std::u16string_view::npos : end - pos);
    if (j >= format.attrs.size()) {
      addToComment(value);
    } else {
      DialogAttr attr = format.attrs[j];
      if (attr == DialogAttr::dlgComments || attr == DialogAttr::dlgText) {
        addToComment(value);
      } else if (attr == DialogAttr::Unknown) {
        AppendLog(state, u"в строке описания формата файла диалога, обнаружен не понятный атрибут :" + format.names[j]);
      } else {
        *DialogAttrField(record, attr) = value;
      }
    }
    if (end == std::u16string_view::npos) break;
    pos = end + separator.size();
  }
}

// Reads, splits and parses a file; false (reported) when it cannot be read,
// or when it holds no dialog (it is no dialogs file, or its delimiters are
// not the ones of the settings): the loaded set must not be replaced by
// nothing. An empty file is refused so only in a batch, where a set made
// empty would be saved over the work file.
bool ReadAndParse(ScriptState state, const std::u16string& name, std::u16string_view startLine, DialogSet& parsed) {
  std::u16string text;
  const Settings& s = state.ctx.settings;
  const std::u16string_view markers[] = {s.DialogDelimiterStr, s.DialogAttrDelimStr};
  if (!ReadScriptFileText(state, name, text, &parsed.encoding, markers)) return false;
  auto pieces = SplitDialogPieces(text, s.DialogDelimiterStr);
  AppendLog(state, std::u16string(startLine) + name);
  if (s.DialogDelimiterStr.find(kCrLf) != std::u16string::npos) WarnIfBareLf(state, text, name);
  const TextEncoding encoding = parsed.encoding;
  parsed = ParseDialogPieces(state, pieces);
  parsed.encoding = encoding;
  if (parsed.count() == 0 && (!text.empty() || state.ctx.batchDepth > 0)) {
    HideProgress(state);
    AppendLog(state,
              u"В файле " + name + u" не найдено ни одного диалога: диалоги в нём должны разделяться строкой " +
                  TextToMarkupCopy(s.DialogDelimiterStr) + u", а атрибуты отделяться от текста строкой " +
                  TextToMarkupCopy(s.DialogAttrDelimStr) +
                  u" (DialogDelimiterStr и DialogAttrDelimStr в настройках). Загруженные диалоги остались прежними",
              kColourBrightRed);
    return false;
  }
  return true;
}

// The prompt of the open forms. A cancelled prompt keeps the old
// file name and returns an empty text.
std::u16string ChooseFile(ScriptState state, bool silent) {
  if (silent) return state.dialogs.fileName;
  std::u16string name = AskFileName(state, false, u"Open Dialogs file", kDialogsFilters);
  if (!name.empty()) state.dialogs.fileName = name;
  return name;
}

// Position of the first dialog whose written text holds a character the
// 8-bit code page lacks; -1 when none does.
std::int32_t FirstDialogWithUnencodable(const DialogSet& set, const DialogFormat& format) {
  auto lacks = [](const std::u16string& s) {
    return std::any_of(s.begin(), s.end(), [](char16_t c) { return !IsCp1251Representable(c); });
  };
  const auto last = static_cast<std::int64_t>(set.count()) - 1;
  for (std::int32_t i = 0; i <= last; ++i) {
    const DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    if (lacks(r.dlgText)) return i;
    for (DialogAttr a : format.attrs)
      if (const auto* f = DialogAttrField(r, a); f && lacks(*f)) return i;
  }
  return -1;
}

bool AppendParsed(ScriptState state, const std::u16string& name) {
  LongOperation op(state);
  DialogSet parsed;
  if (!ReadAndParse(state, name, u"Подгружаем диалоги из файла ", parsed)) return false;
  DialogSet& set = state.dialogs;
  if (!set.isLoaded) {
    set.records.clear();
    set.lastIndex = -1;
    set.encoding = parsed.encoding;
  }
  // Slots after the old last dialog are reused: the new file's pieces follow it.
  const auto keep = static_cast<std::size_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(set.lastIndex) + 1, 0,
                                                                      static_cast<std::int64_t>(set.records.size())));
  set.records.resize(keep);
  set.records.reserve(keep + parsed.records.size());
  std::move(parsed.records.begin(), parsed.records.end(), std::back_inserter(set.records));
  set.lastIndex = static_cast<std::int32_t>(keep) + parsed.lastIndex;
  set.MarkReplaced();
  HideProgress(state);
  AppendLog(state, u"Подгружено еще диалогов... теперь их стало" + NumText(set.lastIndex + 1) + u" штук");
  set.isLoaded = true;
  set.changed = false;
  return true;
}

}  // namespace

bool ReadScriptFileText(ScriptState state, std::u16string_view name, std::u16string& text, TextEncoding* encoding,
                        std::span<const std::u16string_view> markers) {
  if (!FileExists(name)) {
    AppendLog(state, u"Файл " + std::u16string(name) + u" не найден", kColourBrightRed);
    return false;
  }
  IoError err;
  // Positions and counts are 32-bit in the program; the text-file limit keeps them so.
  auto bytes = ReadFileBytes(name, &err, kMaxTextFileSize);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, err), kColourBrightRed);
    return false;
  }
  DecodedText decoded = DecodeTextFileDetect(*bytes, markers);
  bytes.reset();
  NoteTextEncoding(state, name, decoded.encoding);
  text = std::move(decoded.text);
  if (encoding) *encoding = decoded.encoding;
  return true;
}

std::vector<std::u16string> DialogFormatNames(std::u16string_view format) {
  if (Trim(format).empty()) format = kDefaultDialogFileFormat;
  std::vector<std::u16string> names;
  std::size_t pos = 0;
  for (;;) {
    std::size_t end = format.find(u',', pos);
    names.push_back(Trim(format.substr(pos, end == std::u16string_view::npos ? end : end - pos)));
    if (end == std::u16string_view::npos) return names;
    pos = end + 1;
  }
}

std::vector<std::u16string_view> SplitDialogPieces(std::u16string_view text, std::u16string_view delimiter) {
  if (delimiter.empty()) return {text};
  return SplitViews(text, delimiter);
}

DialogSet ParseDialogPieces(ScriptState state, const std::vector<std::u16string_view>& pieces) {
  const Settings& s = state.ctx.settings;
  const DialogFormat format = MakeFormat(s);
  DialogSet set;
  set.records.resize(pieces.size());
  set.lastIndex = -1;
  const auto lastPiece = static_cast<std::int64_t>(pieces.size()) - 1;
  ShowProgress(state, 0, lastPiece > 0 ? lastPiece : 1, 0);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    std::u16string_view piece = pieces[i];
    if (piece.size() > 1) {
      // An empty attribute delimiter is found at the start: no attributes, all text.
      std::size_t delim = piece.find(s.DialogAttrDelimStr);
      if (delim == std::u16string_view::npos) {
        AppendLog(state, u"не найдено атрибутов для диалога 'строка'=" + NumText(static_cast<long long>(i)));
      } else {
        DialogRecord& record = set.records[static_cast<std::size_t>(++set.lastIndex)];
        record.dlgText = piece.substr(delim + s.DialogAttrDelimStr.size());
        ParseAttributes(state, piece.substr(0, delim), format, s.DialogAttrSeparator, record);
      }
    }
    SetProgress(state, static_cast<std::int64_t>(i));
    YieldPoint(state);
  }
  return set;
}

std::u16string DialogsFileText(const DialogSet& set, const Settings& s) {
  const DialogFormat format = MakeFormat(s);
  const auto last = static_cast<std::int64_t>(set.count()) - 1;
  static const std::u16string kNone;
  auto value = [&](const DialogRecord& r, std::size_t j) -> const std::u16string& {
    // A name that is none of the twelve still takes its place (an empty
    // value), so the values after it keep their positions on reading.
    const std::u16string* f = DialogAttrField(r, format.attrs[j]);
    return f ? *f : kNone;
  };

  std::size_t total = 0;
  for (std::int64_t i = 0; i <= last; ++i) {
    const DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    total += s.DialogAttrDelimStr.size() + s.DialogDelimiterStr.size() + r.dlgText.size();
    for (std::size_t j = 0; j < format.attrs.size(); ++j)
      if (j != format.textPos) total += s.DialogAttrSeparator.size() + value(r, j).size();
  }

  std::u16string out;
  out.reserve(total);
  for (std::int64_t i = 0; i <= last; ++i) {
    const DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    for (std::size_t j = 0; j < format.textPos; ++j) {
      if (j > 0) out.append(s.DialogAttrSeparator);
      out.append(value(r, j));
    }
    out.append(s.DialogAttrDelimStr);
    out.append(r.dlgText);
    for (std::size_t j = format.textPos + 1; j < format.attrs.size(); ++j) {
      out.append(s.DialogAttrSeparator);
      out.append(value(r, j));
    }
    out.append(s.DialogDelimiterStr);
  }
  return out;
}

void LoadDialogs(ScriptState state, bool silent) {
  const std::u16string previousName = state.dialogs.fileName;
  const std::u16string name = ChooseFile(state, silent);
  if (name.empty()) return;
  // The set stays as it was, and so does the file it belongs to.
  if (!LoadDialogsFile(state, name)) state.dialogs.fileName = previousName;
}

bool LoadDialogsFile(ScriptState state, const std::u16string& name) {
  LongOperation op(state);
  DialogSet parsed;
  if (!ReadAndParse(state, name, u"Загружаем диалоги из файла ", parsed)) return false;
  HideProgress(state);
  DialogSet& set = state.dialogs;
  set.records = std::move(parsed.records);
  set.lastIndex = parsed.lastIndex;
  set.encoding = parsed.encoding;
  set.fileName = name;
  set.undoSteps.clear();
  set.MarkReplaced();
  AppendLog(state, u"разложили диалоги по полочкам :-)\r\nоказалось, что их " + NumText(set.lastIndex + 1) + u" штук");
  set.isLoaded = true;
  set.changed = false;
  return true;
}

void AppendDialogs(ScriptState state, bool silent) {
  const std::u16string previousName = state.dialogs.fileName;
  const std::u16string name = ChooseFile(state, silent);
  if (name.empty()) return;
  // A file that cannot be read adds nothing, so the set keeps its own name.
  if (!AppendParsed(state, name)) state.dialogs.fileName = previousName;
}

bool AppendDialogsFromFileName(ScriptState state) {
  if (state.dialogs.fileName.empty()) return false;
  return AppendParsed(state, state.dialogs.fileName);
}

SaveOutcome SaveDialogs(ScriptState state, bool silent) {
  if (!state.dialogs.isLoaded) {
    AppendRefusal(state, u"файл диалогов еще не загружен");
    return SaveOutcome::NotSaved;
  }
  const std::u16string name = silent ? state.dialogs.fileName
                                     : AskFileName(state, true, u"Save Dialogs file", kDialogsFilters);
  return SaveDialogsAs(state, name);
}

bool AskToSaveDialogChanges(ScriptState state) {
  if (!state.dialogs.changed) return true;
  switch (MsgBox(state, u"Будем сохранять изменения в Диалогах ?", MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes: return SaveDialogs(state, false) == SaveOutcome::Saved;
    case MsgAnswer::No: return true;
    default: return false;
  }
}

SaveOutcome SaveDialogsAs(ScriptState state, const std::u16string& name) {
  DialogSet& set = state.dialogs;
  if (!set.isLoaded) {
    AppendRefusal(state, u"файл диалогов еще не загружен");
    return SaveOutcome::NotSaved;
  }
  if (name.empty()) return SaveOutcome::NotSaved;

  const std::u16string text = DialogsFileText(set, state.ctx.settings);
  std::size_t replaced = 0;
  // A set read from UTF-8 goes back as UTF-8, which holds every character.
  Bytes data = IsUtf8(set.encoding) ? EncodeTextFile(text, set.encoding)
                                    : EncodeTextFile(text, IsYes(state.ctx.settings.WriteTextInUnicode), &replaced);
  if (replaced > 0) {
    // Windows-1251 would turn these characters into '?'; the reader takes
    // UTF-16 files as well, so nothing is lost that way.
    data = EncodeTextFile(text, true);
    std::u16string line =
        u"В диалогах есть символы, которых нет в кодировке Windows-1251: файл записан в Unicode (UTF-16)";
    std::int32_t first = FirstDialogWithUnencodable(set, MakeFormat(state.ctx.settings));
    if (first >= 0) line += u"; первый такой диалог - с ID " + set.records[static_cast<std::size_t>(first)].dlgID;
    AppendLog(state, line, kColourGreen);
  }

  IoError err;
  if (!WriteFileAtomic(name, data, Backup::RotateBak, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать диалоги в файл ", name, err), kColourBrightRed);
    return SaveOutcome::Failed;
  }
  // The set takes the new name only once its file is written.
  set.fileName = name;
  AppendLog(state, u"записали диалоги в файл " + name);
  set.changed = false;
  MarkDialogUndoSaved(set);
  return SaveOutcome::Saved;
}

}  // namespace vorkat
