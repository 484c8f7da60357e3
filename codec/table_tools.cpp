#include "codec/table_tools.h"

#include <algorithm>

#include "codec/text_hash.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "codec/codec_state.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kTableFilters = u"Table Files (*.tbl)|*.tbl\r\nAll Files (*.*)|*.*";
constexpr std::u16string_view kXmlFilters = u"Table Files (*.xml)|*.xml\r\nAll Files (*.*)|*.*";

// Upper-case hexadecimal, zero-filled to a multiple of `digits`.
std::u16string PaddedCode(std::uint32_t code, std::size_t digits) {
  std::u16string hex = HexText(code);
  std::size_t width = (hex.size() + digits - 1) / digits * digits;
  hex.insert(0, width - hex.size(), u'0');
  return hex;
}

// "&", then ">", then "<". Characters that Windows-1251 lacks become
// numeric character references, so the ANSI file loses nothing.
std::u16string XmlEscape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'>': out += u"&gt;"; break;
      case u'<': out += u"&lt;"; break;
      default:
        if (IsCp1251Representable(c))
          out.push_back(c);
        else
          out += u"&#" + DecText(c) + u";";
    }
  }
  return out;
}

void ResetProgress(CodecState state) {
  state.ctx.progress = ProgressState{0, 1, 0, false};
  state.ctx.host.Progress(state.ctx.progress);
}

bool WriteOrReport(CodecState state, std::u16string_view name, const Bytes& data, Backup backup) {
  IoError err;
  if (WriteFileAtomic(name, data, backup, &err, state.ctx.writeFaults)) return true;
  AppendLog(state, IoErrorText(u"Не удалось записать файл ", name, err), kColourBrightRed);
  return false;
}

// Cuts a template into one line per character; a surrogate pair stays one
// character. The empty line after the last character stays too.
std::vector<std::u16string> CharacterLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t len = 1;
    if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      len = 2;
    lines.emplace_back(text.substr(i, len));
    i += len - 1;
  }
  lines.emplace_back();
  return lines;
}

// Why the table loader would not take back the table generated from these
// lines (codes from `first` on); empty when it would.
std::u16string GeneratedTableProblem(std::uint32_t first, const std::vector<std::u16string>& lines) {
  const std::uint64_t last = std::uint64_t{first} + lines.size() - 1;
  if (last > 0xFFFF) return u"коды дошли бы до " + HexText(last) + u", а в таблице их не больше FFFF";
  for (std::size_t k = 0; k < lines.size(); ++k)
    if (FindNoCase(lines[k], u"TRTABLETYPE") != std::u16string::npos)
      return u"строка" + NumText(static_cast<long long>(k + 1)) +
             u" заготовки содержит TRTABLETYPE, и загрузчик таблиц не прочтёт её как код";
  if (std::all_of(lines.begin(), lines.end(), [](const std::u16string& l) { return l.empty(); }))
    return u"в заготовке нет ни одного символа";
  return {};
}

}  // namespace

std::u16string TableFileText(TranslationTable& table) {
  if (table.type.empty()) table.type = u"SBCS";
  const std::size_t digits = table.type == u"SBCS" ? 2 : 4;
  std::u16string text = u"TRTABLETYPE=" + table.type;
  if (table.endCodeSet) text += u"\r\n/" + PaddedCode(table.endCode, digits);
  for (std::size_t code = 0; code < table.entries.size(); ++code) {
    if (table.entries[code].empty()) continue;
    text += kCrLf;
    text += PaddedCode(static_cast<std::uint32_t>(code), digits);
    text += u'=';
    text += TextToMarkupCopy(table.entries[code]);
  }
  for (const auto& [find, replace] : table.postprocessorPairs) {
    // A line break inside a pair would split its line; it is written as
    // markup, which the loader turns back into the break.
    text += u"\r\n<$POSTPROCESSOR>" + ReplaceAll(find, kCrLf, u"<$VBCRLF>") + u"," +
            ReplaceAll(replace, kCrLf, u"<$VBCRLF>");
  }
  return text;
}

bool WriteTableFile(CodecState state, const std::u16string& fileName, TranslationTable& table) {
  std::u16string text = TableFileText(table);
  // A table read from UTF-8 is written as UTF-8 again.
  if (IsUtf8(table.fileEncoding))
    return WriteOrReport(state, fileName, EncodeTextFile(text, table.fileEncoding), Backup::RotateBak);
  std::size_t replaced = 0;
  Bytes data = EncodeTextFile(text, false, &replaced);
  if (replaced > 0) {
    // Windows-1251 would turn these characters into '?'; the loader reads
    // UTF-16 files as well, so nothing is lost that way.
    data = EncodeTextFile(text, true);
    AppendLog(state, u"В таблице есть символы, которых нет в кодировке Windows-1251: файл записан в Unicode (UTF-16)",
              kColourGreen);
  }
  return WriteOrReport(state, fileName, data, Backup::RotateBak);
}

bool SaveTable(CodecState state) {
  std::optional<std::u16string> answer = InputBox(state, u"Введите имя файла для сохранения таблицы перекодировки",
                                                  u"Save Table as...", state.ctx.settings.TableFileName);
  if (!answer || answer->empty()) return false;
  return SaveTableAs(state, *answer);
}

bool AskToSaveTableChanges(CodecState state) {
  if (!state.table.isLoaded || !state.table.changed) return true;
  switch (MsgBox(state, u"Будем сохранять изменения в Таблице ?", MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes: return SaveTable(state);
    case MsgAnswer::No: return true;
    default: return false;
  }
}

bool SaveTableAs(CodecState state, const std::u16string& fileName) {
  if (fileName.empty()) {
    AppendLog(state, u"Не задано имя файла таблицы");
    return false;
  }
  if (!state.table.isLoaded) {
    AppendRefusal(state, u"Таблица еще не загружена");
    return false;
  }
  if (!WriteTableFile(state, fileName, state.table)) return false;
  // Only a written file becomes the remembered table name.
  state.ctx.settings.TableFileName = fileName;
  state.table.changed = false;
  AppendLog(state, u"Сохранили таблицу в файле " + fileName);
  return true;
}

void ExportTableXml(CodecState state, const std::u16string& inputFile, const std::u16string& outputFile) {
  if (!FileExists(inputFile)) {
    AppendLog(state, u"Входной файл:" + inputFile + u"не существует");
    return;
  }
  IoError err;
  std::optional<Bytes> bytes = ReadFileBytes(inputFile, &err);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл таблицы ", inputFile, err), kColourBrightRed);
    return;
  }
  std::u16string text = DecodeTextFile(*bytes);
  bytes.reset();
  WarnIfBareLf(state, text, inputFile);

  std::u16string type = u"SBCS";
  std::u16string comment;
  std::u16string chars;
  bool firstChar = true;
  // Read line by line: the line break that ends the file starts no line of its own.
  std::vector<std::u16string> lines = SplitCrLf(text);
  if (lines.back().empty()) lines.pop_back();
  for (const std::u16string& line : lines) {
    std::size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) {
      comment += line + u"\r\n";
      AppendLog(state, u"Комментарий: " + line);
      continue;
    }
    std::u16string_view code = std::u16string_view(line).substr(0, eq);
    if (code.size() == 4) type = u"DBCS";
    if (!firstChar) chars += kCrLf;
    firstChar = false;
    chars +=
        u"<char><code>" + XmlEscape(code) + u"</code><string>" + XmlEscape(line.substr(eq + 1)) + u"</string></char>";
  }
  if (outputFile.empty()) {
    AppendLog(state, u"Не указано имя файла для сохранения перекодированной таблицы");
    return;
  }
  std::u16string xml = u"<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<table encodingtype=\"" + type +
                       u"\"> \r\n<comment>" + XmlEscape(comment) + u"</comment>\r\n" + chars + u"</table>\r\n";
  if (!WriteOrReport(state, outputFile, EncodeTextFile(xml, false), Backup::RotateBak)) return;
  AppendLog(state, u"Перекодированная таблица была сохранена в файл:" + outputFile);
}

void ExportTableXmlCommand(CodecState state) {
  std::u16string input = AskFileName(state, false, u"Load OLD Table file", kTableFilters);
  std::u16string output = AskFileName(state, true, u"Save XML Table file", kXmlFilters);
  ExportTableXml(state, input, output);
}

void CheckTableReversibility(CodecState state) {
  if (!RequireTable(state)) return;
  LongOperation op(state);
  // While the check yields, every command that could change the table is
  // refused, so the counter below may hold views of the table's own texts.
  const std::vector<std::u16string>& entries = state.table.entries;
  const std::int64_t tokenCount = state.table.tokenCount;
  AppendLog(state, u"Начинаю проверку таблицы на обратимость...Это займет какое-то время...");

  // How often each text occurs: a text met twice cannot be encoded back to
  // both codes.
  std::int64_t filled = 0;
  for (const std::u16string& e : entries) filled += e.empty() ? 0 : 1;
  TextCounter uses(static_cast<std::size_t>(filled));
  for (const std::u16string& e : entries)
    if (!e.empty()) uses.Add(e);
  ShowProgress(state, 0, std::max<std::int64_t>(tokenCount, filled), 0);

  std::int64_t done = 0;
  for (std::size_t code = 0; code < entries.size(); ++code) {
    const std::u16string& e = entries[code];
    if (e.empty()) continue;
    SetProgress(state, ++done);
    if (e.size() > 1 && (!StartsWith(e, u"<$") || e.find(u'>') == std::u16string::npos)) {
      AppendLog(state,
                u"В правой части таблицы есть не укодированные в <$..> последовательности...см. код=" + HexText(code) +
                    u" при вставке текста будут глюки...",
                kColourDarkRed);
      ResetProgress(state);
      return;
    }
    YieldPoint(state);
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Операция прервана пользователем...");
      ResetProgress(state);
      return;
    }
    if (uses.Count(e) > 1) {
      AppendLog(state,
                u"Таблица не обратима, это значит при вставке будут глюки... ищи символ=" + e + u" он дублируется...",
                kColourDarkRed);
      ResetProgress(state);
      return;
    }
  }
  AppendLog(state, u"Похоже, что таблица обратима...");
  AppendLog(state,
            u"К сожалению, я не могу предусмотреть все варианты глюков вставки текста, произошедших по вине кривой "
            u"таблицы...но очевидных ляпов нет.");
  AppendLog(state, u"Пока НЕТ проверки замен производимых постпроцессором...");
  ResetProgress(state);
}

void GenerateTable(CodecState state) {
  std::u16string templateFile = InputBox(state, u"файл с заготовкой таблицы", u"Make Table").value_or(u"");
  if (templateFile.empty()) return;
  std::u16string outputFile = InputBox(state, u"файл куда писать таблицу", u"Make Table").value_or(u"");
  if (outputFile.empty()) return;
  std::u16string firstCode =
      InputBox(state, u"какой код первого символа (DEC или '&H'+hex)", u"Make Table").value_or(u"");
  GenerateTableFrom(state, templateFile, outputFile, firstCode);
}

void GenerateTableFrom(CodecState state, const std::u16string& templateFile, const std::u16string& outputFile,
                       std::u16string_view firstCode) {
  if (templateFile.empty() || outputFile.empty()) return;
  // An empty answer starts at 0, as it always did.
  const std::optional<std::int32_t> typed = Trim(firstCode).empty() ? 0 : ParseTypedInt(firstCode);
  if (!typed) {
    AppendLog(state, NotANumberText(u"Код первого символа", firstCode), kColourBrightRed);
    return;
  }
  const std::int32_t first = *typed;
  if (first < 0) {
    AppendLog(state, u"Код первого символа не может быть отрицательным:" + NumText(first), kColourBrightRed);
    return;
  }
  IoError err;
  std::optional<Bytes> bytes = ReadFileBytes(templateFile, &err);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", templateFile, err), kColourBrightRed);
    return;
  }
  std::u16string text = DecodeTextFile(*bytes);
  bytes.reset();

  std::vector<std::u16string> lines = SplitCrLf(text);
  if (lines.size() < 3) lines = CharacterLines(text);

  if (const std::u16string problem = GeneratedTableProblem(static_cast<std::uint32_t>(first), lines);
      !problem.empty()) {
    AppendRefusal(state, u"Таблица не создана: " + problem, kColourDarkRed);
    return;
  }

  std::u16string out;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) out += kCrLf;
    out += HexText(static_cast<unsigned long long>(first) + k, 2) + u"=" + lines[k];
  }
  if (!WriteOrReport(state, outputFile, EncodeTextFile(out, true), Backup::RotateBak)) return;
  MsgBox(state, u"Done generating table!");
}

}  // namespace vorkat
