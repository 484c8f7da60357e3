#include "interchange/interchange.h"

#include <algorithm>
#include <optional>
#include <span>

#include "core/date_text.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/text.h"
#include "core/warning_limit.h"
#include "interchange/csv_format.h"
#include "interchange/po_format.h"
#include "interchange/xliff_format.h"
#include "script/dialog_undo.h"
#include "script/dialogs_file.h"

namespace vorkat {
namespace {

// The languages the files declare: the program translates into Russian.
constexpr std::string_view kTargetLanguage = "ru";
constexpr XliffLanguages kLanguages{"en", kTargetLanguage};

std::u16string_view FormatFilters(InterchangeFormat format) {
  switch (format) {
    case InterchangeFormat::Po: return u"PO files (*.po)|*.po\r\nAll Files (*.*)|*.*";
    case InterchangeFormat::Xliff: return u"XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff\r\nAll Files (*.*)|*.*";
    case InterchangeFormat::Csv: return u"CSV files (*.csv)|*.csv\r\nAll Files (*.*)|*.*";
  }
  return u"";
}

std::u16string_view FormatName(InterchangeFormat format) {
  switch (format) {
    case InterchangeFormat::Po: return u"PO";
    case InterchangeFormat::Xliff: return u"XLIFF";
    case InterchangeFormat::Csv: return u"CSV";
  }
  return u"";
}

// The dialogs 0..lastIndex sorted by ID: one allocation and binary search,
// which for 100,000 dialogs costs a fraction of a hash map's node per ID.
class IdIndex {
 public:
  using Item = std::pair<std::u16string_view, std::size_t>;  // ID, dialog index

  explicit IdIndex(const DialogSet& set) {
    items_.reserve(set.count());
    for (std::size_t i = 0; i < set.count(); ++i) items_.emplace_back(set.records[i].dlgID, i);
    std::sort(items_.begin(), items_.end());
  }

  // The dialogs with this ID, in dialog order.
  std::span<const Item> Find(std::u16string_view id) const {
    auto first = std::lower_bound(items_.begin(), items_.end(), Item{id, 0});
    auto last = first;
    while (last != items_.end() && last->first == id) ++last;
    return {first, last};
  }

  // The dialog index of the first dialog whose ID another dialog shares.
  std::optional<std::size_t> FirstRepeated() const {
    std::optional<std::size_t> first;
    for (std::size_t k = 1; k < items_.size(); ++k)
      if (items_[k].first == items_[k - 1].first && (!first || items_[k - 1].second < *first))
        first = items_[k - 1].second;
    return first;
  }

 private:
  std::vector<Item> items_;
};

bool StartsWithBreak(std::u16string_view t) { return StartsWith(t, kCrLf); }
bool EndsWithBreak(std::u16string_view t) { return t.size() >= 2 && t.substr(t.size() - 2) == kCrLf; }

// gettext refuses an entry whose msgid and msgstr differ in a line break at
// the start or the end; the text itself is written as it is.
void WarnAboutBreaks(ScriptState state, const std::vector<InterchangeEntry>& entries) {
  WarningLimit limit(u"записей с разными переводами строки");
  for (const InterchangeEntry& e : entries) {
    if (e.target.empty()) continue;
    if (StartsWithBreak(e.source) == StartsWithBreak(e.target) && EndsWithBreak(e.source) == EndsWithBreak(e.target))
      continue;
    if (limit.Allow())
      AppendLog(state,
                u"ID " + e.id +
                    u": перевод и исходный текст по-разному начинаются или кончаются переводом строки, "
                    u"msgfmt такую запись не примет",
                kColourDarkRed);
  }
  limit.Summarise(state, kColourDarkRed);
}

std::optional<DialogSet> ReadSourceDialogs(ScriptState state, const std::u16string& name) {
  if (!FileExists(name)) {
    AppendLog(state, u"Файл не найден: " + name, kColourBrightRed);
    return std::nullopt;
  }
  std::u16string text;
  if (!ReadScriptFileText(state, name, text)) return std::nullopt;
  AppendLog(state, u"Исходный текст берем из файла диалогов " + name);
  return ParseDialogPieces(state, SplitDialogPieces(text, state.ctx.settings.DialogDelimiterStr));
}

}  // namespace

ExportPlan PlanExport(const DialogSet& dialogs, const DialogSet* source) {
  ExportPlan plan;
  if (const auto repeated = IdIndex(dialogs).FirstRepeated()) {
    plan.refused = true;
    plan.repeatedId = dialogs.records[*repeated].dlgID;
    return plan;
  }
  const std::optional<IdIndex> sourceIds = source ? std::optional<IdIndex>(IdIndex(*source)) : std::nullopt;
  plan.entries.reserve(dialogs.count());
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    const DialogRecord& r = dialogs.records[i];
    InterchangeEntry e;
    e.id = r.dlgID;
    e.address = r.ExtractedFromAddr;
    e.comment = r.dlgComments;
    e.source = r.dlgText;
    if (source) {
      const auto found = sourceIds->Find(r.dlgID);
      if (found.empty()) {
        plan.withoutSource.push_back(r.dlgID);
      } else {
        e.source = source->records[found.front().second].dlgText;
        if (r.dlgText != e.source) e.target = r.dlgText;
      }
    }
    e.state = StateOfTarget(e.target);
    plan.entries.push_back(std::move(e));
  }
  return plan;
}

ImportPlan PlanImport(const DialogSet& dialogs, const std::vector<InterchangeEntry>& entries) {
  ImportPlan plan;
  const IdIndex ids(dialogs);
  for (const InterchangeEntry& e : entries) {
    if (e.state == EntryState::Fuzzy) {
      ++plan.fuzzy;
      continue;
    }
    if (e.state == EntryState::Untranslated || e.target.empty()) {
      ++plan.untranslated;
      continue;
    }
    const auto found = ids.Find(e.id);
    if (found.empty()) {
      plan.unknownIds.push_back(e.id);
      continue;
    }
    ++plan.applied;
    const std::vector<CodeDifference> differences = CompareControlCodes(e.source, e.target);
    if (!differences.empty()) ++plan.entriesWithCodeChanges;
    for (const CodeDifference& d : differences) plan.codeChanges.push_back({e.id, d});
    for (const auto& [id, index] : found)
      if (dialogs.records[index].dlgText != e.target) plan.changes.emplace_back(index, e.target);
  }
  return plan;
}

InterchangeRead ReadInterchangeFile(InterchangeFormat format, std::u16string_view fileName) {
  IoError err;
  const std::optional<Bytes> bytes = ReadFileBytes(fileName, &err);
  if (!bytes) {
    InterchangeRead read;
    read.fault = InterchangeFault{0, IoErrorText(u"не удалось прочитать файл ", fileName, err)};
    return read;
  }
  const std::string_view view(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  switch (format) {
    case InterchangeFormat::Po: return ParsePo(view);
    case InterchangeFormat::Xliff: return ParseXliff(view);
    case InterchangeFormat::Csv: break;
  }
  return ParseCsv(view);
}

bool ExportInterchange(ScriptState state, InterchangeFormat format, const std::u16string& fileName,
                       const std::u16string& sourceDialogsFile) {
  if (!RequireDialogs(state)) return false;
  LongOperation op(state);
  AppendLog(state, u"Экспортируем диалоги в " + std::u16string(FormatName(format)) + u" " + fileName);
  std::optional<DialogSet> source;
  if (!sourceDialogsFile.empty()) {
    source = ReadSourceDialogs(state, sourceDialogsFile);
    if (!source) return false;
  }
  const ExportPlan plan = PlanExport(state.dialogs, source ? &*source : nullptr);
  if (plan.refused) {
    AppendLog(state, u"Экспорт не выполнен: ID " + plan.repeatedId + u" есть у нескольких диалогов", kColourBrightRed);
    return false;
  }
  WarningLimit missing(u"диалогов без исходного текста");
  for (const std::u16string& id : plan.withoutSource)
    if (missing.Allow())
      AppendLog(state, u"ID " + id + u" нет в файле исходного текста, записан без перевода", kColourDarkRed);
  missing.Summarise(state, kColourDarkRed);

  std::string text;
  switch (format) {
    case InterchangeFormat::Po:
      WarnAboutBreaks(state, plan.entries);
      text = PoFileText(plan.entries, kTargetLanguage, LocalTimeText("%Y-%m-%d %H:%M%z"));
      break;
    case InterchangeFormat::Xliff: {
      std::u16string badId;
      std::optional<std::string> xml =
          XliffFileText(plan.entries, FromPath(ToPath(state.dialogs.fileName).filename()), kLanguages, &badId);
      if (!xml) {
        AppendLog(state, u"Экспорт не выполнен: в диалоге с ID " + badId + u" есть символ, которого не бывает в XML",
                  kColourBrightRed);
        return false;
      }
      text = std::move(*xml);
      break;
    }
    case InterchangeFormat::Csv: text = CsvFileText(plan.entries); break;
  }
  IoError err;
  if (!WriteFileAtomic(fileName, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                       Backup::None, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать файл ", fileName, err), kColourBrightRed);
    return false;
  }
  AppendLog(state,
            u"Записали" + NumText(static_cast<long long>(plan.entries.size())) + u" диалогов в файл " + fileName);
  return true;
}

bool ImportInterchange(ScriptState state, InterchangeFormat format, const std::u16string& fileName) {
  if (!RequireDialogs(state)) return false;
  if (!FileExists(fileName)) {
    AppendLog(state, u"Файл не найден: " + fileName, kColourBrightRed);
    return false;
  }
  LongOperation op(state);
  AppendLog(state, u"Импортируем перевод из " + std::u16string(FormatName(format)) + u" " + fileName);
  const InterchangeRead read = ReadInterchangeFile(format, fileName);
  if (read.fault) {
    const std::u16string where =
        read.fault->line ? u" (строка" + NumText(static_cast<long long>(read.fault->line)) + u")" : u"";
    AppendLog(state, u"Файл " + fileName + u" не принят" + where + u": " + read.fault->text + u". Диалоги не изменены",
              kColourBrightRed);
    return false;
  }
  const ImportPlan plan = PlanImport(state.dialogs, read.entries);

  WarningLimit unknown(u"неизвестных ID");
  for (const std::u16string& id : plan.unknownIds)
    if (unknown.Allow()) AppendLog(state, u"ID " + id + u" нет среди загруженных диалогов", kColourDarkRed);
  unknown.Summarise(state, kColourDarkRed);
  WarningLimit codes(u"расхождений в кодах");
  for (const CodeChange& c : plan.codeChanges)
    if (codes.Allow())
      AppendLog(state,
                u"ID " + c.id + (c.difference.lost ? u": в переводе потерян код " : u": в переводе лишний код ") +
                    c.difference.code,
                kColourDarkRed);
  codes.Summarise(state, kColourDarkRed);

  DialogSet& set = state.dialogs;
  DialogUndoStep undo = BeginDialogUndo(set, u"импорт из " + fileName);
  for (const auto& [index, text] : plan.changes) {
    KeepForUndo(undo, set, index);
    set.records[index].dlgText = text;
  }
  if (!plan.changes.empty()) {
    set.changed = true;
    set.MarkReplaced();
  }
  CommitDialogUndo(set, std::move(undo));
  AppendLog(state, u"Перевод взят из" + NumText(static_cast<long long>(plan.applied)) + u" записей, изменено" +
                       NumText(static_cast<long long>(plan.changes.size())) + u" диалогов");
  AppendLog(state, u"Без перевода:" + NumText(static_cast<long long>(plan.untranslated)) +
                       u", неточных (fuzzy) пропущено:" + NumText(static_cast<long long>(plan.fuzzy)) +
                       u", ID не найдено:" + NumText(static_cast<long long>(plan.unknownIds.size())) +
                       u", записей с расхождением кодов:" +
                       NumText(static_cast<long long>(plan.entriesWithCodeChanges)));
  return true;
}

void ExportInterchangeCommand(ScriptState state, InterchangeFormat format) {
  if (!RequireDialogs(state)) return;
  const std::u16string name =
      AskFileName(state, true, u"Export Dialogs as " + std::u16string(FormatName(format)), FormatFilters(format));
  if (name.empty()) return;
  std::u16string sourceFile;
  if (MsgBox(state,
             u"Взять исходный текст из другого файла диалогов (например, извлеченного из оригинала)?\r\n"
             u"Нет: файл будет шаблоном, текст загруженных диалогов станет исходным.",
             MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
    sourceFile = AskFileName(state, false, u"Open source Dialogs file", kDialogsFilters);
    if (sourceFile.empty()) return;
  }
  ExportInterchange(state, format, name, sourceFile);
}

void ImportInterchangeCommand(ScriptState state, InterchangeFormat format) {
  if (!RequireDialogs(state)) return;
  const std::u16string name = AskFileName(state, false,
                                          u"Import translation from " + std::u16string(FormatName(format)),
                                          FormatFilters(format));
  if (name.empty()) return;
  ImportInterchange(state, format, name);
}

}  // namespace vorkat
