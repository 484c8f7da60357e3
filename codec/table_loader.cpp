#include "codec/table_loader.h"

#include <algorithm>

#include "codec/hex_digits.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "codec/codec_state.h"
#include "core/warning_limit.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kTableFilters = u"Table Files (*.tbl)|*.tbl\r\nAll Files (*.*)|*.*";
constexpr std::u16string_view kPostprocessorKey = u"<$POSTPROCESSOR>";

std::u16string Decoded(std::u16string_view raw) {
  // Most lines hold no markup; skip the two replacement passes for them.
  if (raw.find(u"<$") == std::u16string_view::npos) return std::u16string(raw);
  return MarkupToTextCopy(raw);
}

// A table being read: the fresh table a load fills (it replaces the loaded
// one only when the file yields entries) and what the load noticed.
struct TableReading {
  Context& ctx;
  TranslationTable& table;
  bool typeLineRead = false;
  std::size_t shortCodes = 0;  // codes of one to three digits
  std::size_t wideCodes = 0;   // codes of four digits and wildcards

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)
};

// The warnings one load can repeat for many lines, each kind with its own limit.
struct LoadWarnings {
  WarningLimit notHex{u"Ошибка в таблице перекодировки: код не шестнадцатеричный"};
  WarningLimit tooLarge{u"Ошибка в таблице перекодировки: слишком большой код"};
  WarningLimit duplicate{u"Вероятно код уже описан в таблице"};
  WarningLimit pairsFull{u"Warning: превышен размер словаря у постпроцессора"};

  void Summarise(Context& state) {
    notHex.Summarise(state, kColourDarkRed);
    tooLarge.Summarise(state, kColourBrightRed);
    duplicate.Summarise(state, kColourDarkRed);
    pairsFull.Summarise(state, kColourDefault);
  }
};

// A text put into a message, cut when long (a file with LF line ends is one
// line, and its code text can be most of the file).
std::u16string Shortened(std::u16string_view text) {
  constexpr std::size_t kShown = 40;
  if (text.size() <= kShown) return std::u16string(text);
  return std::u16string(text.substr(0, kShown)) + u"...";
}

// One line of the file being read: its text as read and its number from 1.
struct TableLine {
  std::u16string_view raw;
  std::size_t number = 0;
};

bool IsHexText(std::u16string_view text) {
  if (text.empty()) return false;
  for (char16_t c : text)
    if (HexDigitValue(c) < 0) return false;
  return true;
}

// A two-character half of a four-digit code, read as far as its digits go.
std::uint32_t PairValue(std::u16string_view pair) { return LeadingHex(pair) & 0xFF; }

void SetDbcsWhenUntyped(TranslationTable& table) {
  if (table.type.empty()) table.type = u"DBCS";
}

void AssignWildcard(TableReading& state, LoadWarnings& warnings, const std::u16string& codeText,
                    const std::u16string& value) {
  TranslationTable& table = state.table;
  std::uint32_t n = LeadingHex(ReplaceAll(codeText, u"??", u""));
  if (n > 0xFF) {
    if (!warnings.tooLarge.Allow()) return;
    // n + k * 256 would leave the 65,536 codes; the line is not used.
    AppendLog(state, u"Ошибка в таблице перекодировки --> " + codeText + u" слишком большой код (максимум это ??FF)",
              kColourBrightRed);
    return;
  }
  for (std::uint32_t k = 0; k < 256; ++k) {
    std::uint32_t code = n + k * 256;
    table.entries[code] = value;
    ++table.tokenCount;
    AppendLog(state, HexText(code) + u"=" + value);
  }
}

void ReadCodeLine(TableReading& state, LoadWarnings& warnings, TableLine line) {
  TranslationTable& table = state.table;
  std::u16string decoded = Decoded(line.raw);
  std::size_t eq = decoded.find(u'=');
  std::u16string codeText = Trim(Decoded(std::u16string_view(decoded).substr(0, eq)));
  std::u16string value = decoded.substr(eq + 1);

  // A code read "as far as its digits go" would put the value under a code
  // nobody meant (4G under 4, an empty code under 0): the line is left out.
  const bool wildcard = StartsWith(codeText, u"??");
  if (!IsHexText(wildcard ? ReplaceAll(codeText, u"??", u"") : codeText)) {
    if (warnings.notHex.Allow())
      AppendLog(state,
                u"Ошибка в таблице перекодировки --> строка" + NumText(static_cast<long long>(line.number)) +
                    u": код '" + Shortened(codeText) + u"' не шестнадцатеричный, строка пропущена",
                kColourDarkRed);
    return;
  }
  if (wildcard) {
    ++state.wideCodes;
    AssignWildcard(state, warnings, codeText, value);
    return;
  }

  std::uint32_t code = 0;
  if (codeText.size() <= 3) {
    ++state.shortCodes;
    code = LeadingHex(codeText);
  } else {
    ++state.wideCodes;
    std::u16string digits = codeText;
    if (digits.size() > 4) {
      if (warnings.tooLarge.Allow())
        AppendLog(state,
                  u"Ошибка в таблице перекодировки --> " + codeText + u" слишком большой код (максимум это FFFF)",
                  kColourBrightRed);
      if (digits.size() % 2 != 0) digits.insert(digits.begin(), u'0');
    }
    std::u16string_view d(digits);
    code = PairValue(d.substr(0, 2)) * 256 + PairValue(d.substr(2, 2));
    SetDbcsWhenUntyped(table);
  }

  if (!table.entries[code].empty() && warnings.duplicate.Allow())
    AppendLog(state, u"Вероятно код=" + codeText + u" уже описан в таблице, такого быть не должно", kColourDarkRed);
  table.entries[code] = std::move(value);
  ++table.tokenCount;
}

void ReadPostprocessorLine(TableReading& state, LoadWarnings& warnings, std::u16string_view raw, std::size_t keyPos) {
  TranslationTable& table = state.table;
  std::u16string_view rest = raw.substr(keyPos + kPostprocessorKey.size());
  std::size_t comma = rest.find(u',');
  if (comma == std::u16string_view::npos) {
    // Without a replace text the pair could not be undone before encoding.
    AppendLog(state,
              u"Ошибка в таблице перекодировки --> " + std::u16string(raw) +
                  u" у постпроцессора нет текста замены (нужно: найти,заменить)",
              kColourDarkRed);
    return;
  }
  std::u16string_view replace = rest.substr(comma + 1);
  replace = replace.substr(0, replace.find(u','));
  if (table.postprocessorPairs.size() >= kMaxPostprocessorPairs) {
    if (warnings.pairsFull.Allow()) AppendLog(state, u"Warning: превышен размер словаря у постпроцессора");
    return;
  }
  table.postprocessorPairs.emplace_back(MarkupToTextCopy(rest.substr(0, comma)), MarkupToTextCopy(replace));
}

void ReadNonCodeLine(TableReading& state, LoadWarnings& warnings, std::u16string_view raw, bool hasEquals) {
  TranslationTable& table = state.table;
  if (hasEquals) {
    std::u16string line = Decoded(raw);
    std::size_t eq = line.find(u'=');
    if (EqualsNoCase(std::u16string_view(line).substr(0, eq), u"TrTableType")) {
      table.type = UCase(line.substr(eq + 1));
      state.typeLineRead = true;
    }
  }
  if (!raw.empty() && raw.front() == u'/') {
    std::uint32_t code = LeadingHex(raw.substr(1));
    if (code > 0xFFFF) {
      if (warnings.tooLarge.Allow())
        AppendLog(state,
                  u"Ошибка в таблице перекодировки --> " + std::u16string(raw) +
                      u" слишком большой код (максимум это FFFF)",
                  kColourBrightRed);
    } else {
      table.endCode = static_cast<char16_t>(code);
      table.endCodeSet = true;
    }
  }
  table.comment.append(raw);
  table.comment.append(kCrLf);
  std::size_t key = raw.find(kPostprocessorKey);
  if (key != std::u16string_view::npos) ReadPostprocessorLine(state, warnings, raw, key);
}

void ReadLine(TableReading& state, LoadWarnings& warnings, TableLine line) {
  bool hasEquals = line.raw.find(u'=') != std::u16string_view::npos;
  if (hasEquals && FindNoCase(line.raw, u"TRTABLETYPE") == std::u16string_view::npos)
    ReadCodeLine(state, warnings, line);
  else
    ReadNonCodeLine(state, warnings, line.raw, hasEquals);
}

}  // namespace

void LoadTable(CodecState state, bool nameGiven) {
  if (!nameGiven) state.ctx.settings.TableFileName = AskFileName(state, false, u"Load Table file", kTableFilters);
  const std::u16string name = state.ctx.settings.TableFileName;
  if (name.empty()) {
    AppendLog(state, u"Не задано имя файла таблицы");
    return;
  }
  // Read first: a file that cannot be read leaves the loaded table alone.
  IoError err;
  std::optional<Bytes> bytes = ReadFileBytes(name, &err);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл таблицы ", name, err), kColourBrightRed);
    return;
  }
  DecodedText decoded = DecodeTextFileDetect(*bytes);
  bytes.reset();
  NoteTextEncoding(state, name, decoded.encoding);
  LoadTableText(state, decoded.text, name, decoded.encoding);
}

bool LoadTableText(CodecState state, std::u16string_view text, std::u16string_view fileName, TextEncoding encoding) {
  WarnIfBareLf(state, text, fileName);
  // The file is read into a table of its own: one that yields no entry
  // (not a table at all) leaves the loaded table as it was.
  TranslationTable fresh;
  fresh.type = state.table.type;  // type and end code carry over unless the file sets them
  fresh.endCode = state.table.endCode;
  fresh.endCodeSet = state.table.endCodeSet;
  const bool typeCarried = !fresh.type.empty();
  TableReading reading{state.ctx, fresh};

  LoadWarnings warnings;
  std::size_t number = 0;
  for (const std::u16string_view line : SplitViews(text, kCrLf)) ReadLine(reading, warnings, {line, ++number});
  warnings.Summarise(state);

  if (std::all_of(fresh.entries.begin(), fresh.entries.end(), [](const std::u16string& e) { return e.empty(); })) {
    AppendLog(state,
              u"Таблица из файла " + std::u16string(fileName) +
                  u" не загружена: в нём нет ни одного кода (строк вида 41=A)" +
                  (state.table.isLoaded ? u", загруженная таблица осталась прежней" : u""),
              kColourBrightRed);
    return false;
  }
  if (fresh.type.empty()) fresh.type = u"SBCS";
  if (typeCarried && !reading.typeLineRead) {
    // The type of the table loaded before stays; say so when it does not fit these codes.
    const bool wideType = fresh.type == u"DBCS";
    const bool narrowType = fresh.type == u"SBCS";
    if ((wideType && reading.wideCodes == 0) || (narrowType && reading.wideCodes > 0))
      AppendLog(state,
                u"Внимание! В файле таблицы " + std::u16string(fileName) +
                    u" нет строки TrTableType, и действует тип прежней таблицы " + fresh.type + u", а коды в файле " +
                    (wideType ? u"двузначные" : u"четырёхзначные"),
                kColourDarkRed);
  }

  TranslationTable& table = state.table;
  fresh.revision = table.revision;
  fresh.isLoaded = true;
  fresh.fileEncoding = encoding;
  table = std::move(fresh);

  AppendLog(state, u"Тип таблицы =" + table.type);
  AppendLog(state, u"Загрузили" + NumText(table.tokenCount) + u" токенов");
  AppendLog(state, u"Загрузили таблицу перекодировки из файла " + std::u16string(fileName));
  AppendLog(state, u"----------Комментарий к таблице----------");
  AppendLog(state, table.comment);
  AppendLog(state, u"-----------------------------------------");
  AppendLog(state, u"Пар слов для замены постпроцессором найдено=" +
                       NumText(static_cast<long long>(table.postprocessorPairs.size())));
  for (const auto& [find, replace] : table.postprocessorPairs)
    AppendLog(state, u"POSTPROCESSOR найти:" + find + u" заменить на:" + replace);

  table.codeWidth = table.type == u"DBCS" ? 2 : 1;
  table.MarkChanged();
  return true;
}

void SetTableType(CodecState state) {
  std::optional<std::u16string> answer =
      InputBox(state, u"Введите тип таблицы (SBCS/SBCS2/DBCS)", u"Vorkat", state.table.type);
  if (!answer || answer->empty()) return;
  state.table.type = *answer;
  state.table.MarkEdited();
  AppendLog(state, u"Тип таблицы =" + state.table.type);
}

}  // namespace vorkat
