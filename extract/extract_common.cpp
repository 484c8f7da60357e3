#include "extract/extract_common.h"

#include <algorithm>
#include <climits>
#include <ctime>

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/log.h"
#include "script/script_state.h"
#include "core/text.h"
#include "core/warning_limit.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kListEntryFault = u"Ошибочная строка в списке адресов";

// An entry of an offset list without the blanks and line breaks around it:
// in a list split at commas, an entry that follows a line break starts with
// CR LF, and the number reader would stop at the CR and read 0.
std::u16string TrimEntry(std::u16string_view entry) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  std::size_t b = 0, e = entry.size();
  while (b < e && blank(entry[b])) ++b;
  while (e > b && blank(entry[e - 1])) --e;
  return std::u16string(entry.substr(b, e - b));
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::size_t LineFeeds(std::u16string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n'));
}

// The value of a whole number text, as far as 64 bits need: decimal digits
// with an optional sign, or "&h" and hexadecimal digits; nullopt for any
// other text.
std::optional<std::int64_t> WholeNumber(std::u16string_view t) {
  constexpr std::int64_t kCap = std::int64_t{1} << 40;  // far past any ROM
  int base = 10;
  bool negative = false;
  if (t.size() >= 2 && t[0] == u'&' && (t[1] == u'h' || t[1] == u'H')) {
    base = 16;
    t.remove_prefix(2);
  } else if (!t.empty() && (t[0] == u'+' || t[0] == u'-')) {
    negative = t[0] == u'-';
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  std::int64_t v = 0;
  for (char16_t c : t) {
    int d = -1;
    if (c >= u'0' && c <= u'9')
      d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f')
      d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F')
      d = c - u'A' + 10;
    if (d < 0) return std::nullopt;
    v = std::min(v * base + d, kCap);
  }
  return negative ? -v : v;
}

std::u16string Shortened(std::u16string_view text) {
  constexpr std::size_t kShown = 40;
  if (text.size() <= kShown) return std::u16string(text);
  return std::u16string(text.substr(0, kShown)) + u"...";
}

}  // namespace

bool WriteBytesOutput(ScriptState state, const std::u16string& name, std::span<const std::uint8_t> bytes) {
  IoError error;
  if (WriteFileAtomic(name, bytes, Backup::RotateBak, &error, state.ctx.writeFaults)) return true;
  AppendLog(state, IoErrorText(u"Не удалось записать файл ", name, error), kColourBrightRed);
  return false;
}

bool WriteTextOutput(ScriptState state, const std::u16string& name, std::u16string_view text, bool unicode) {
  return WriteBytesOutput(state, name, EncodeTextFile(text, unicode));
}

bool ReadTextInput(ScriptState state, const std::u16string& name, std::u16string& text) {
  IoError error;
  auto bytes = ReadFileBytes(name, &error, kMaxTextFileSize);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, error), kColourBrightRed);
    return false;
  }
  text = DecodeTextFile(*bytes);
  return true;
}

std::vector<std::u16string> SplitOffsetList(std::u16string_view text) {
  if (text.find(u',') == std::u16string_view::npos) return SplitCrLf(text);
  const std::vector<std::u16string_view> pieces = SplitViews(text, u",");
  return {pieces.begin(), pieces.end()};
}

WarningLimit ListEntryWarnings() { return WarningLimit(kListEntryFault); }

std::optional<std::int32_t> ReadListedOffset(CoreState state, std::u16string_view entry, std::int64_t romSize,
                                             std::u16string_view fileName, std::size_t line, WarningLimit& faults) {
  const std::optional<std::int64_t> value = WholeNumber(entry);
  std::u16string_view fault;
  if (!value)
    fault = u"это не число";
  else if (*value < 0)
    fault = u"отрицательный адрес";
  else if (*value >= romSize)
    fault = u"адрес за концом ROM'а";
  else
    return static_cast<std::int32_t>(*value);
  if (faults.Allow())
    AppendLog(state,
              u"В файле " + std::u16string(fileName) + u" строка" + NumText(static_cast<long long>(line)) + u" '" +
                  Shortened(entry) + u"' пропущена: " + std::u16string(fault),
              kColourDarkRed);
  return std::nullopt;
}

std::vector<std::optional<std::int32_t>> ReadOffsetList(ScriptState state, std::u16string_view text,
                                                        std::u16string_view fileName) {
  const bool commas = text.find(u',') != std::u16string_view::npos;
  std::vector<std::optional<std::int32_t>> offsets;
  WarningLimit faults = ListEntryWarnings();
  std::size_t line = 1;
  std::size_t from = 0;
  for (;;) {
    const std::size_t stop = commas ? text.find(u',', from) : text.find(kCrLf, from);
    const std::u16string_view piece =
        text.substr(from, stop == std::u16string_view::npos ? std::u16string_view::npos : stop - from);
    const std::u16string entry = TrimEntry(piece);
    if (entry.empty()) {
      offsets.emplace_back();
    } else {
      // In a comma list an entry may begin after line breaks of its own.
      const auto lead = static_cast<std::size_t>(std::find_if_not(piece.begin(), piece.end(), IsBlank) - piece.begin());
      const std::size_t entryLine = line + LineFeeds(piece.substr(0, lead));
      auto offset = ReadListedOffset(state, entry, state.rom.size(), fileName, entryLine, faults);
      if (offset) offsets.emplace_back(*offset);
    }
    if (stop == std::u16string_view::npos) break;
    line += commas ? LineFeeds(piece) : 1;
    from = stop + (commas ? 1 : kCrLf.size());
  }
  faults.Summarise(state, kColourDarkRed);
  return offsets;
}

bool DumpListedBlocks(ScriptState state, const std::vector<std::optional<std::int32_t>>& offsets,
                      std::int32_t blockLength, RecordOutput& out, const std::vector<std::u16string>* zones) {
  const std::size_t n = offsets.size();
  ShowProgress(state, 0, static_cast<std::int64_t>(n));
  for (std::size_t i = 0; i < n; ++i) {
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Процесс дампа текста прерван пользователем");
      HideProgress(state);
      return false;
    }
    if (!offsets[i]) continue;
    std::int32_t start = *offsets[i];
    std::int32_t end = i + 1 < n ? offsets[i + 1].value_or(0) : 0;
    if (blockLength > 0) {
      // Past the signed range the end is cut to the ROM anyway.
      std::int64_t e = static_cast<std::int64_t>(start) + blockLength;
      end = e > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(e);
    }
    RecordExtras extras;
    if (zones && i < zones->size()) extras.zones = (*zones)[i];
    // A block cut by the ROM's end is no text's length.
    std::int32_t from = start, to = end;
    NormaliseRange(state.rom.size(), from, to);
    if (end > 0 && (blockLength > 0 || end < state.rom.size()) && to > from) extras.length = to - from;
    DecodeRange(state, start, end, out, &extras);
    SetProgress(state, static_cast<std::int64_t>(i));
    YieldPoint(state);
  }
  HideProgress(state);
  return true;
}

}  // namespace vorkat
