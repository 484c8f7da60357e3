#include "batch/batch.h"

#include <array>
#include <filesystem>
#include <optional>
#include <fstream>
#include <vector>

#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/settings.h"
#include "core/text.h"
#include "font/font_commands.h"
#include "batch/batch_state.h"
#include "font/preview_settings.h"
#include "extract/dump_by_addresses.h"
#include "extract/dump_via_pointers.h"
#include "extract/scan_extract.h"
#include "insert/address_forms.h"
#include "insert/free_space_report.h"
#include "insert/in_place.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_search.h"
#include "insert/pointer_table.h"
#include "patch/bps.h"
#include "insert/verify_insertion.h"
#include "interchange/interchange.h"
#include "patch/ips_apply.h"
#include "patch/ips_writer.h"
#include "patch/rom_compare.h"
#include "script/dialogs_file.h"
#include "search/draft_table.h"
#include "search/masked_search.h"
#include "search/relative_search.h"
#include "tiles/sheet_fdt.h"
#include "tiles/tile_batch.h"

namespace vorkat {

namespace {

// Next line, end of the script (STOP), FIN, or a failed line that stops the script.
enum class Flow { Next, End, Fin, Stop };

// A flag is on when its number is above 0, unrounded: "0.4" is on, a word is
// off. A word ("yes") is taken as the script says, but said, since the one
// who typed it meant the flag on.
bool FlagOn(Context& ctx, std::u16string_view command, std::u16string_view argument) {
  const bool on = ReadNumber(argument) > 0;
  if (!ParseTypedInt(argument))
    AppendLog(ctx,
              u"Команда " + std::u16string(command) + u": \"" + Trim(argument) +
                  u"\" не число (1 включает, 0 выключает), флаг " + (on ? u"включен" : u"выключен"),
              kColourDarkRed);
  return on;
}
std::u16string YesNo(bool on) { return on ? u"YES" : u"NO"; }

// Pieces of an argument split at ",", each trimmed of spaces and tabs.
std::vector<std::u16string> Pieces(std::u16string_view argument) {
  std::vector<std::u16string> out;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = argument.find(u',', start);
    out.push_back(TrimBlanks(argument.substr(start, comma == std::u16string_view::npos ? comma : comma - start)));
    if (comma == std::u16string_view::npos) return out;
    start = comma + 1;
  }
}

// The piece at `index`, or an empty text when the argument has fewer.
std::u16string PieceAt(const std::vector<std::u16string>& pieces, std::size_t index) {
  return index < pieces.size() ? pieces[index] : std::u16string();
}

// Logs a missing argument of an extended command; true when all are there.
bool HasArguments(BatchState state, std::u16string_view command, std::u16string_view usage,
                  std::initializer_list<std::u16string_view> required) {
  for (auto piece : required)
    if (piece.empty()) {
      AppendLog(state,
                u"Команде " + std::u16string(command) + u" не хватает аргументов, нужно: " + std::u16string(command) +
                    u"=" + std::u16string(usage),
                kColourBrightRed);
      return false;
    }
  return true;
}

// A number argument as a person types it; anything else is refused in
// bright red, naming the command and the text, and the script stops at the
// line. With `emptyIsZero` an empty piece reads 0 (where 0 means "the whole ROM").
std::optional<std::int32_t> NumberArgument(BatchState state, std::u16string_view command, std::u16string_view text,
                                           bool emptyIsZero = false) {
  if (emptyIsZero && TrimBlanks(text).empty()) return 0;
  if (const auto value = ParseTypedInt(text)) return value;
  AppendLog(state, NotANumberText(u"Команда " + std::u16string(command), text), kColourBrightRed);
  return std::nullopt;
}

Flow SetParameter(BatchState state, std::u16string_view name, std::int32_t& target, std::u16string_view argument) {
  const auto value = NumberArgument(state, UCase(name), argument);
  if (!value) return Flow::Stop;
  target = *value;
  AppendLog(state, u"Установка параметра " + std::u16string(name) + u"=" + NumText(target));
  return Flow::Next;
}

Flow IgnoreRomZone(BatchState state, std::u16string_view argument) {
  auto pieces = Pieces(argument);
  const auto startValue = NumberArgument(state, u"IGNOREROMZONE", pieces.front());
  const auto endValue = startValue ? NumberArgument(state, u"IGNOREROMZONE", pieces.back()) : std::nullopt;
  if (!endValue) return Flow::Stop;
  const std::int32_t start = *startValue;
  const std::int32_t end = *endValue;
  auto& zones = state.insertion.IgnoreRomZones;
  // A last zone ending at 0 (the start-up placeholder) is taken over.
  if (zones.empty() || zones.back().end != 0) zones.push_back(RomZone{});
  zones.back() = RomZone{start, end};
  const std::u16string n = NumText(static_cast<long long>(zones.size()));
  AppendLog(state, u"Адрес игнорируемой зоны " + n + u" в ROMe [начало]=" + NumText(start) + u" [hex]=" +
                       HexText(static_cast<std::uint32_t>(start)));
  AppendLog(state, u"Адрес игнорируемой зоны " + n + u" в ROMe [конец]=" + NumText(end) + u" [hex]=" +
                       HexText(static_cast<std::uint32_t>(end)));
  return Flow::Next;
}

// A file a load command can read: it exists, is not a folder, and opens.
bool ReadableFile(const std::u16string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  const std::filesystem::path path = ToPath(name);
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  return std::ifstream(path, std::ios::binary).good();
}

// A load in a script never asks for another file and never goes on with
// what was loaded before: a missing or unreadable file, or a load that
// reported an error or left nothing loaded, stops the script at that line.
template <class Load, class Loaded>
Flow LoadOrStop(BatchState state, const std::u16string& name, Load load, Loaded loaded) {
  if (!ReadableFile(name)) {
    const bool exists = !name.empty() && FileExists(name);
    AppendLog(state, (exists ? u"Не удалось прочитать файл " : u"Файл не найден: ") + name, kColourBrightRed);
    return Flow::Stop;
  }
  const std::size_t errorsBefore = state.ctx.errorLinesLogged;
  load();
  return loaded() && state.ctx.errorLinesLogged == errorsBefore ? Flow::Next : Flow::Stop;
}

// A searched word and the `count` pieces after it: the word is all before
// them, so it may hold commas itself.
std::vector<std::u16string> WordAndPieces(std::u16string_view argument, std::size_t count) {
  std::vector<std::u16string> pieces = Pieces(argument);
  while (pieces.size() > count + 1) {
    pieces[0] += u"," + pieces[1];
    pieces.erase(pieces.begin() + 1);
  }
  return pieces;
}

Flow ExportTo(BatchState state, std::u16string_view command, InterchangeFormat format, const std::u16string& argument) {
  const auto p = Pieces(argument);
  if (HasArguments(state, command, u"файл[,исходные диалоги]", {p[0]}))
    ExportInterchange(state, format, p[0], PieceAt(p, 1));
  return Flow::Next;
}

Flow ImportFrom(BatchState state, std::u16string_view command, InterchangeFormat format,
                const std::u16string& argument) {
  if (!HasArguments(state, command, u"файл", {argument})) return Flow::Stop;
  return ImportInterchange(state, format, argument) ? Flow::Next : Flow::Stop;
}

struct BatchCommand {
  std::u16string_view name;
  Flow (*run)(BatchState state, const std::u16string& argument);
};

const std::array kBatchCommands = {
    // The pipeline of a translation.
    BatchCommand{u"LOADROM",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a, [&] { OpenRom(s, a); }, [&] { return s.rom.isLoaded && s.rom.fileName == a; });
                 }},
    BatchCommand{u"LOADTABLE",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a,
                       [&] {
                         s.ctx.settings.TableFileName = a;
                         LoadTable(s, true);
                       },
                       [&] { return s.table.isLoaded; });
                 }},
    BatchCommand{u"FREESPACESTARTADDR",
                 [](BatchState s, const std::u16string& a) {
                   return SetParameter(s, u"FreeSpaceStartAddr", s.insertion.FreeSpaceStartAddr, a);
                 }},
    BatchCommand{u"FREESPACEENDADDR",
                 [](BatchState s, const std::u16string& a) {
                   return SetParameter(s, u"FreeSpaceEndAddr", s.insertion.FreeSpaceEndAddr, a);
                 }},
    BatchCommand{u"ADDRESSALIGNBY",
                 [](BatchState s, const std::u16string& a) {
                   const auto value = NumberArgument(s, u"ADDRESSALIGNBY", a);
                   if (!value) return Flow::Stop;
                   if (SetAddressAlignBy(s, *value))
                     AppendLog(s, u"Установка параметра AddressAlignBy=" + NumText(s.insertion.AddressAlignBy));
                   return Flow::Next;
                 }},
    BatchCommand{u"LOADDIALOGS",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a,
                       [&] { LoadDialogsFile(s, a); },
                       [&] { return s.dialogs.isLoaded && s.dialogs.fileName == a; });
                 }},
    BatchCommand{u"IGNOREROMZONE", [](BatchState s, const std::u16string& a) { return IgnoreRomZone(s, a); }},
    BatchCommand{u"LOADIPS",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a,
                       [&] {
                         std::u16string name = a;
                         LoadIps(s, name);
                       },
                       [&] { return s.ips.isLoaded && s.ips.fileName == a; });
                 }},
    BatchCommand{u"APPLYIPSTOROM", [](BatchState s, const std::u16string&) { ApplyIps(s); return Flow::Next; }},
    BatchCommand{u"LOADBPS",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a,
                       [&] {
                         std::u16string name = a;
                         LoadBps(s, name);
                       },
                       [&] { return s.bps.isLoaded && s.bps.fileName == a; });
                 }},
    BatchCommand{u"APPLYBPSTOROM", [](BatchState s, const std::u16string&) { ApplyBps(s); return Flow::Next; }},
    BatchCommand{u"SAVEDIALOGS",
                 [](BatchState s, const std::u16string& a) {
                   SaveDialogsAs(s, a);
                   return Flow::Next;
                 }},
    BatchCommand{u"CALCNEWPOINTERS", [](BatchState s, const std::u16string&) { CalcNewAddresses(s); return Flow::Next; }},
    BatchCommand{u"CHECKBYMOD4",
                 [](BatchState s, const std::u16string& a) {
                   s.insertion.CheckByMod4 = FlagOn(s, u"CHECKBYMOD4", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"POINTERFORMAT",
                 [](BatchState s, const std::u16string& a) {
                   // Going on with another format would rewrite the wrong bytes.
                   return SetPointerFormat(s, a) ? Flow::Next : Flow::Stop;
                 }},
    BatchCommand{u"POINTERTABLE",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"POINTERTABLE", u"начало,записей,шаг,файл", {PieceAt(p, 3)}))
                     return Flow::Stop;
                   std::array<std::int32_t, 3> v{};
                   for (std::size_t k = 0; k < v.size(); ++k) {
                     const auto value = NumberArgument(s, u"POINTERTABLE", p[k]);
                     if (!value) return Flow::Stop;
                     v[k] = *value;
                   }
                   // A dump of a table that was not read would take an older report.
                   return DeclarePointerTable(s, v[0], v[1], v[2], p[3]) ? Flow::Next : Flow::Stop;
                 }},
    BatchCommand{u"INPLACE",
                 [](BatchState s, const std::u16string& a) {
                   s.insertOptions.InPlace = FlagOn(s, u"INPLACE", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"PADBYTE",
                 [](BatchState s, const std::u16string& a) {
                   const std::optional<std::uint8_t> pad = ParsePadByte(a);
                   if (!pad) {
                     AppendRefusal(s, u"Команда PADBYTE: \"" + Trim(a) + u"\" не байт (две шестнадцатеричные цифры)");
                     return Flow::Stop;
                   }
                   s.insertOptions.PadByte = *pad;
                   return Flow::Next;
                 }},
    BatchCommand{u"RETURNDIALGS2ROM",
                 [](BatchState s, const std::u16string&) {
                   // Pointers of the other console's format would be searched for in vain.
                   if (!PointerFormatFitsRom(s)) return Flow::Stop;
                   InsertDialogs(s);
                   return Flow::Next;
                 }},
    BatchCommand{u"VERIFYINSERTION",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"VERIFYINSERTION", u"файл отчета", {a})) VerifyInsertion(s, a);
                   return Flow::Next;
                 }},
    BatchCommand{u"FREESPACEREPORT",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"FREESPACEREPORT", u"файл отчета", {a})) FreeSpaceReport(s, a);
                   return Flow::Next;
                 }},
    BatchCommand{u"SAVEROM", [](BatchState s, const std::u16string& a) { SaveRom(s, a); return Flow::Next; }},
    BatchCommand{u"STOP",
                 [](BatchState s, const std::u16string&) {
                   AppendLog(s, u"Остановка пакетной работы, по требованию пассажиров.");
                   return Flow::End;
                 }},
    BatchCommand{u"SKIPUNKNOWNTRCHARS",
                 [](BatchState s, const std::u16string& a) {
                   s.codecOptions.SkipUnknownTRChars = FlagOn(s, u"SKIPUNKNOWNTRCHARS", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"DIALOGSAUTOGAPBYTES",
                 [](BatchState s, const std::u16string& a) {
                   const auto value = NumberArgument(s, u"DIALOGSAUTOGAPBYTES", a);
                   if (!value) return Flow::Stop;
                   SetDialogsAutoGapBytes(s, *value);
                   return Flow::Next;
                 }},
    BatchCommand{u"EXTENDEDLOGS",
                 [](BatchState s, const std::u16string& a) {
                   s.ctx.settings.ExtendedLogs = YesNo(FlagOn(s, u"EXTENDEDLOGS", a));
                   return Flow::Next;
                 }},
    BatchCommand{u"CREATEINSERTIONLOGS",
                 [](BatchState s, const std::u16string& a) {
                   s.insertOptions.CreateInsertionLogs = FlagOn(s, u"CREATEINSERTIONLOGS", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"SAVELOG", [](BatchState s, const std::u16string& a) { SaveLog(s, a); return Flow::Next; }},
    BatchCommand{u"FIN",
                 [](BatchState s, const std::u16string&) {
                   AppendLog(s, u"Заканчиваем работу программы...");
                   return Flow::Fin;
                 }},
    BatchCommand{u"DOLOG", [](BatchState s, const std::u16string& a) { AppendLog(s, a); return Flow::Next; }},

    // Comparison and patch.
    BatchCommand{u"LOADORIGINALROM",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a, [&] { OpenOriginalRom(s, a); },
                       [&] { return s.originalRom.isLoaded && s.originalRom.fileName == a; });
                 }},
    BatchCommand{u"ECOMODE",
                 [](BatchState s, const std::u16string& a) {
                   s.patchOptions.EcoMode = FlagOn(s, u"ECOMODE", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"OPTIMIZECHANGESBLOCKS",
                 [](BatchState s, const std::u16string& a) {
                   s.patchOptions.OptimizeChangesBlocks = FlagOn(s, u"OPTIMIZECHANGESBLOCKS", a);
                   return Flow::Next;
                 }},
    BatchCommand{u"COMPAREROMS",
                 [](BatchState s, const std::u16string&) {
                   CompareRoms(s, s.patchOptions.EcoMode, s.patchOptions.OptimizeChangesBlocks);
                   return Flow::Next;
                 }},
    BatchCommand{u"SAVEIPS",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"SAVEIPS", u"файл", {a})) WriteIps(s, a);
                   return Flow::Next;
                 }},
    BatchCommand{u"SAVEBPS",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"SAVEBPS", u"файл", {a})) WriteBps(s, a);
                   return Flow::Next;
                 }},

    // Options of extraction.
    BatchCommand{u"WRITETEXTINUNICODE",
                 [](BatchState s, const std::u16string& a) {
                   s.ctx.settings.WriteTextInUnicode = YesNo(FlagOn(s, u"WRITETEXTINUNICODE", a));
                   return Flow::Next;
                 }},
    BatchCommand{u"HEXENCODEUNKNOWNCHARS",
                 [](BatchState s, const std::u16string& a) {
                   s.codecOptions.HexEncodeUnknownChars = YesNo(FlagOn(s, u"HEXENCODEUNKNOWNCHARS", a));
                   return Flow::Next;
                 }},
    BatchCommand{u"NUMBEROFTEXTCHARS",
                 [](BatchState s, const std::u16string& a) {
                   // The scan needs runs of at least 2 codes, as after loading the settings.
                   const auto value = NumberArgument(s, u"NUMBEROFTEXTCHARS", a);
                   if (!value) return Flow::Stop;
                   s.ctx.settings.NumberOfTextChars = std::max(*value, 2);
                   AppendLog(s, u"Установка параметра NumberOfTextChars=" + NumText(s.ctx.settings.NumberOfTextChars));
                   return Flow::Next;
                 }},

    // Extraction and pointer search.
    BatchCommand{u"SCANEXTRACT",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"SCANEXTRACT", u"начало,конец,файл", {PieceAt(p, 2)})) return Flow::Next;
                   const auto start = NumberArgument(s, u"SCANEXTRACT", p[0]);
                   const auto end = start ? NumberArgument(s, u"SCANEXTRACT", p[1]) : std::nullopt;
                   if (!end) return Flow::Stop;
                   std::int32_t from = *start;
                   std::int32_t to = *end;
                   ScanExtract(s, from, to, p[2]);
                   return Flow::Next;
                 }},
    // The pattern in hexadecimal, "??" for any byte; hits are logged as the search window logs them.
    BatchCommand{u"SEARCHROM", [](BatchState s, const std::u16string& a) { SearchRomBytes(s, a); return Flow::Next; }},
    BatchCommand{u"RELATIVESEARCH",
                 [](BatchState s, const std::u16string& a) {
                   auto p = WordAndPieces(a, 1);
                   if (!HasArguments(s, u"RELATIVESEARCH", u"слово,ширина кода", {p[0], PieceAt(p, 1)}))
                     return Flow::Next;
                   const auto width = NumberArgument(s, u"RELATIVESEARCH", p[1]);
                   if (!width) return Flow::Stop;
                   RelativeSearchCommand(s, p[0], *width);
                   return Flow::Next;
                 }},
    BatchCommand{u"DRAFTTABLE",
                 [](BatchState s, const std::u16string& a) {
                   auto p = WordAndPieces(a, 3);
                   if (!HasArguments(s, u"DRAFTTABLE", u"слово,ширина кода,адрес,файл",
                                     {p[0], PieceAt(p, 1), PieceAt(p, 2), PieceAt(p, 3)}))
                     return Flow::Next;
                   const auto width = NumberArgument(s, u"DRAFTTABLE", p[1]);
                   const auto at = width ? NumberArgument(s, u"DRAFTTABLE", p[2]) : std::nullopt;
                   if (!at) return Flow::Stop;
                   DraftTable(s, p[0], *width, *at, p[3]);
                   return Flow::Next;
                 }},
    BatchCommand{u"FINDPOINTERS",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"FINDPOINTERS", u"наименьший,наибольший,начало,конец,файл",
                                     {PieceAt(p, 4)}))
                     return Flow::Next;
                   std::array<std::int32_t, 4> v{};
                   for (std::size_t k = 0; k < v.size(); ++k) {
                     const auto value = NumberArgument(s, u"FINDPOINTERS", p[k], true);
                     if (!value) return Flow::Stop;
                     v[k] = *value;
                   }
                   if (!PointerFormatFitsRom(s)) return Flow::Stop;
                   FindPointers(s, v[0], v[1], v[2], v[3], p[4]);
                   return Flow::Next;
                 }},
    BatchCommand{u"DUMPVIAPOINTERS",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"DUMPVIAPOINTERS", u"файл указателей,временный файл,файл",
                                     {PieceAt(p, 1), PieceAt(p, 2)}))
                     return Flow::Next;
                   // Without a pointers file the sorted list is read back from
                   // the temporary file; the dump then reads no report at all.
                   if (p[0].empty())
                     DumpViaPointers(s, p[1], p[1], p[2], true);
                   else
                     DumpViaPointers(s, p[0], p[1], p[2], false);
                   return Flow::Next;
                 }},
    BatchCommand{u"DUMPBYADDRESSLIST",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"DUMPBYADDRESSLIST", u"список,файл,длина блока", {p[0], PieceAt(p, 1)}))
                     return Flow::Next;
                   const auto length = NumberArgument(s, u"DUMPBYADDRESSLIST", PieceAt(p, 2), true);
                   if (!length) return Flow::Stop;
                   DumpByAddressList(s, p[0], p[1], *length);
                   return Flow::Next;
                 }},

    // Fonts: headless wrapping and the overflow check. Layout here needs no
    // glyph pictures and never pauses.
    BatchCommand{u"LOADFDT",
                 [](BatchState s, const std::u16string& a) {
                   return LoadOrStop(
                       s, a, [&] { LoadFontDescriptionFile(s, a); },
                       [&] { return s.fdt.isLoaded && s.fdt.fileName == a; });
                 }},
    BatchCommand{u"WRAPSETTINGS",
                 [](BatchState s, const std::u16string& a) {
                   if (const auto bad = ApplyWrapSettings(s.preview, a)) {
                     AppendLog(s, NotANumberText(u"Команда WRAPSETTINGS", *bad), kColourBrightRed);
                     return Flow::Stop;
                   }
                   const PreviewSettings& p = s.preview;
                   AppendLog(s, u"Установка параметров переносов: WrapRightLimitPix=" + DecText(p.WrapRightLimitPix) +
                                    u", gameLFchar=" + TextToMarkupCopy(p.gameLFchar) + u", gameScrollChar=" +
                                    TextToMarkupCopy(p.gameScrollChar) + u", MkPageBrkEveryNLFs=" +
                                    DecText(p.MkPageBrkEveryNLFs) + u", DefaultMyX=" + DecText(p.DefaultMyX) +
                                    u", DefaultMyY=" + DecText(p.DefaultMyY) + u", InterLetterStep=" +
                                    DecText(p.InterLetterStep));
                   return Flow::Next;
                 }},
    // A refused wrap stops the script: later lines would insert unwrapped text.
    BatchCommand{u"WRAPDIALOGS",
                 [](BatchState s, const std::u16string&) { return WrapAllDialogs(s) ? Flow::Next : Flow::Stop; }},
    BatchCommand{u"CHECKWRAP",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"CHECKWRAP", u"файл", {a})) CheckAllDialogsWrap(s, a);
                   return Flow::Next;
                 }},

    // Table tools.
    BatchCommand{u"SAVETABLE",
                 [](BatchState s, const std::u16string& a) {
                   if (HasArguments(s, u"SAVETABLE", u"файл", {a})) SaveTableAs(s, a);
                   return Flow::Next;
                 }},
    BatchCommand{u"CHECKTABLE",
                 [](BatchState s, const std::u16string&) {
                   CheckTableReversibility(s);
                   return Flow::Next;
                 }},
    BatchCommand{u"GENERATETABLE",
                 [](BatchState s, const std::u16string& a) {
                   auto p = Pieces(a);
                   if (!HasArguments(s, u"GENERATETABLE", u"шаблон,файл,первый код", {p[0], PieceAt(p, 1)}))
                     return Flow::Next;
                   GenerateTableFrom(s, p[0], p[1], PieceAt(p, 2));
                   return Flow::Next;
                 }},

    // ROM tiles: a refused sheet stops the script, since what follows would work on the old font.
    BatchCommand{u"TILESEXPORT",
                 [](BatchState s, const std::u16string& a) { return TilesExportLine(s, a) ? Flow::Next : Flow::Stop; }},
    BatchCommand{u"TILESIMPORT",
                 [](BatchState s, const std::u16string& a) { return TilesImportLine(s, a) ? Flow::Next : Flow::Stop; }},
    // A font sheet's FDT; a refused one stops the script, whose wrapping would use the old FDT.
    BatchCommand{u"MAKEFDT",
                 [](BatchState s, const std::u16string& a) { return MakeFdtLine(s, a) ? Flow::Next : Flow::Stop; }},
    // Exchange with translation tools: "file[,source dialogs]" to export; a
    // refused import stops the script, which would insert the old texts.
    BatchCommand{u"EXPORTPO",
                 [](BatchState s, const std::u16string& a) {
                   return ExportTo(s, u"EXPORTPO", InterchangeFormat::Po, a);
                 }},
    BatchCommand{u"EXPORTXLIFF",
                 [](BatchState s, const std::u16string& a) {
                   return ExportTo(s, u"EXPORTXLIFF", InterchangeFormat::Xliff, a);
                 }},
    BatchCommand{u"EXPORTCSV",
                 [](BatchState s, const std::u16string& a) {
                   return ExportTo(s, u"EXPORTCSV", InterchangeFormat::Csv, a);
                 }},
    BatchCommand{u"IMPORTPO",
                 [](BatchState s, const std::u16string& a) {
                   return ImportFrom(s, u"IMPORTPO", InterchangeFormat::Po, a);
                 }},
    BatchCommand{u"IMPORTXLIFF",
                 [](BatchState s, const std::u16string& a) {
                   return ImportFrom(s, u"IMPORTXLIFF", InterchangeFormat::Xliff, a);
                 }},
    BatchCommand{u"IMPORTCSV",
                 [](BatchState s, const std::u16string& a) {
                   return ImportFrom(s, u"IMPORTCSV", InterchangeFormat::Csv, a);
                 }},
};

const BatchCommand* FindBatchCommand(std::u16string_view name) {
  for (const BatchCommand& c : kBatchCommands)
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace

BatchLine SplitBatchLine(std::u16string_view line) {
  const std::size_t first = line.find(u'=');
  const std::size_t last = line.rfind(u'=');
  BatchLine out;
  out.command = UCase(TrimBlanks(line.substr(0, first)));
  out.argument = TrimBlanks(last == std::u16string_view::npos ? line : line.substr(last + 1));
  return out;
}

BatchResult RunBatch(BatchState state, const std::u16string& fileName) {
  BatchResult result;
  if (fileName.empty()) {
    AppendLog(state, u"Не указанано имя файла с параметрами для пакетного интерфейса");
    return result;
  }
  if (!FileExists(fileName)) {
    AppendLog(state, u"Не верно указанано имя файла с параметрами для пакетного интерфейса");
    AppendLog(state, u"Файл пакетного задания не найден: " + fileName, kColourBrightRed);
    return result;
  }
  IoError err;
  // Read to the end: a script may come through a pipe (/dev/stdin), which
  // has no size to go by.
  auto bytes = ReadFileToEnd(fileName, &err);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл пакетного задания ", fileName, err), kColourBrightRed);
    return result;
  }
  const std::u16string text = DecodeTextFile(*bytes);
  bytes.reset();
  result.read = true;
  AppendLog(state, u"Выполняем пакетное задание из файла " + fileName);
  WarnIfBareLf(state, text, fileName);

  LongOperation op(state);
  BatchScope batch(state.ctx);
  long long lineNumber = 0;
  for (const std::u16string& line : SplitCrLf(text)) {
    ++lineNumber;
    if (!line.empty() && line.front() == u'\'') continue;  // a comment only in the very first column
    if (TrimBlanks(line).empty()) continue;
    const BatchLine parsed = SplitBatchLine(line);
    const BatchCommand* command = FindBatchCommand(parsed.command);
    if (!command) {
      // The run goes on, but a mistyped command is an error of the run.
      AppendLog(state, u"Неизвестная инструкция" + line, kColourBrightRed);
      continue;
    }
    Flow flow = Flow::Stop;
    RunGuarded(state, [&] { flow = command->run(state, parsed.argument); });
    if (flow == Flow::End) return result;
    if (flow == Flow::Fin) {
      result.finRequested = true;
      return result;
    }
    if (flow == Flow::Stop) {
      AppendLog(state, u"Пакетное задание остановлено на строке" + NumText(lineNumber) + u": " + line,
                kColourBrightRed);
      result.stopped = true;
      return result;
    }
    if (state.ctx.exitRequested) return result;
    YieldPoint(state);
    // The stop button ends the script too: later lines would work on a half-done result.
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Выполнение пакетного задания прервано пользователем");
      result.stopped = true;
      return result;
    }
  }
  AppendLog(state, u"Пакетное задание выполнено до конца: " + fileName);
  return result;
}

BatchResult RunBatchCommand(BatchState state) {
  const std::u16string name =
      AskFileName(state, false, u"Open Batch file", u"Batch Files (*.txt|*.txt\r\nAll Files (*.*)|*.*");
  if (name.empty()) return {};
  return RunBatch(state, name);
}

}  // namespace vorkat
