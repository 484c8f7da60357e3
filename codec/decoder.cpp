#include "codec/decoder.h"

#include <array>
#include <vector>

#include "core/runtime.h"
#include "codec/codec_state.h"

namespace vorkat {
namespace {

constexpr std::size_t kMaxRecordChars = 32000;
constexpr std::u16string_view kTrimmedMarker = u"Trimmed...!!!...";

struct EscapeTable {
  std::array<std::array<char16_t, 5>, 256> text{};
  EscapeTable() {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (std::size_t v = 0; v < 256; ++v) text[v] = {u'<', u'$', kDigits[v >> 4], kDigits[v & 0xF], u'>'};
  }
};

const EscapeTable& Escapes() {
  static const EscapeTable table;
  return table;
}

bool IsLatinCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// How many leading characters the start corrections drop.
std::size_t StartCorrection(const Settings& settings, std::u16string_view text) {
  std::size_t drop = 0;
  if (IsYes(settings.CorrectDlgTwoCaps))
    while (text.size() - drop >= 2 && IsLatinCapital(text[drop]) && IsLatinCapital(text[drop + 1])) ++drop;
  if (IsYes(settings.CorrectDlgNumStart))
    while (drop < text.size() && IsDigit(text[drop])) ++drop;
  return drop;
}

}  // namespace

RecordOutput::RecordOutput(bool unicode) : unicode_(unicode) {
  if (unicode_) bytes_ = {0xFF, 0xFE};
}

RecordOutput RecordOutput::ForSettings(const Settings& settings) {
  return RecordOutput(IsYes(settings.WriteTextInUnicode));
}

void RecordOutput::Append(std::u16string_view text) {
  if (unicode_) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + text.size() * 2);
    std::uint8_t* out = bytes_.data() + at;
    for (std::size_t i = 0; i < text.size(); ++i) {
      out[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
      out[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    return;
  }
  std::size_t replaced = 0;
  std::string ansi = ToCp1251(text, &replaced);
  replaced_ += replaced;
  bytes_.insert(bytes_.end(), ansi.begin(), ansi.end());
}

bool RecordOutput::Save(CodecState state, std::u16string_view fileName, Backup backup) const {
  IoError err;
  if (!WriteFileAtomic(fileName, bytes_, backup, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать файл ", fileName, err), kColourBrightRed);
    return false;
  }
  if (replaced_ > 0)
    AppendLog(state,
              u"Внимание!" + NumText(static_cast<long long>(replaced_)) +
                  u" символов нет в кодировке Windows-1251, в файле " + std::u16string(fileName) +
                  u" они записаны как '?'. Включите \"Писать файлы в Unicode\", чтобы их сохранить",
              kColourDarkRed);
  return true;
}

std::u16string_view ByteEscape(std::uint8_t value) {
  const auto& e = Escapes().text[value];
  return {e.data(), e.size()};
}

bool IsKnownTableType(std::u16string_view type) { return type == u"SBCS" || type == u"SBCS2" || type == u"DBCS"; }

bool RequireKnownTableType(CodecState state) {
  if (IsKnownTableType(state.table.type)) return true;
  MsgBox(state, u"Неизвестный тип таблицы перекодировки", MsgButtons::Ok);
  AppendLog(state, u"Неизвестный тип таблицы перекодировки...тип таблицы может быть SBCS/SBCS2/DBCS");
  return false;
}

void NormaliseRange(std::int32_t romSize, std::int32_t& start, std::int32_t& end) {
  if (start < 0) start = 0;
  if (end == 0 || end > romSize) end = romSize;
}

std::u16string DecodeRangeText(CodecState state, std::int32_t start, std::int32_t end) {
  const std::vector<std::u16string>& entries = state.table.entries;
  std::span<const std::uint8_t> rom = state.rom.view();
  // Positions are 0 <= p < end <= the ROM's size here.
  auto at = [&](std::int32_t p) __attribute__((always_inline)) { return rom[static_cast<std::size_t>(p)]; };
  if (end > static_cast<std::int32_t>(rom.size())) end = static_cast<std::int32_t>(rom.size());
  if (start < 0) start = 0;

  // The text is written through an index into a buffer sized ahead; it only
  // grows for long table texts. Most codes are one character.
  std::u16string text;
  std::size_t length = 0;
  if (end > start) text.resize(std::min<std::size_t>(static_cast<std::size_t>(end - start) * 5, kMaxRecordChars) + 64);
  // Every code adds at least one character, so the cap ends the walk after
  // 32,001 codes at most: a call takes well under a millisecond, and the
  // callers yield per record.
  //
  // Appends one code's text; false once the record is full. Inlined: it runs
  // once per ROM byte.
  auto append = [&](std::u16string_view part) __attribute__((always_inline)) {
    if (length + part.size() > text.size()) text.resize(std::max(text.size() * 2, length + part.size()));
    char16_t* out = text.data() + length;
    for (char16_t c : part) *out++ = c;
    length += part.size();
    return length <= kMaxRecordChars;
  };

  const std::u16string_view type = state.table.type;
  // Text of each single byte: its entry or its escape.
  std::array<std::u16string_view, 256> single;
  std::array<bool, 256> hasEntry;
  for (std::size_t b = 0; b < 256; ++b) {
    hasEntry[b] = !entries[b].empty();
    single[b] = hasEntry[b] ? std::u16string_view(entries[b]) : ByteEscape(static_cast<std::uint8_t>(b));
  }

  std::int32_t p = start;
  if (type == u"SBCS") {
    for (; p < end; ++p)
      if (!append(single[at(p)])) break;
  } else if (type == u"SBCS2") {
    while (p < end) {
      const std::uint8_t b = at(p);
      std::u16string_view part = single[b];
      int width = 1;
      if (!hasEntry[b] && p + 1 < end && !entries[std::size_t{b} * 256 + at(p + 1)].empty()) {
        part = entries[std::size_t{b} * 256 + at(p + 1)];
        width = 2;
      }
      p += width;
      if (!append(part)) break;
    }
  } else if (type == u"DBCS") {
    // In 64 bits: a start of 7FFFFFFF (beyond any ROM) must not overflow.
    for (; std::int64_t{p} + 1 < end; p += 2) {
      const std::u16string& e = entries[std::size_t{at(p)} * 256 + at(p + 1)];
      bool more;
      if (!e.empty()) {
        more = append(e);
      } else {
        // Two escapes as one code: the cap is checked after both.
        append(ByteEscape(at(p)));
        more = append(ByteEscape(at(p + 1)));
      }
      if (!more) break;
    }
  }
  text.resize(length);
  if (length > kMaxRecordChars) text.append(kTrimmedMarker);
  return text;
}

void DecodeRange(CodecState state, std::int32_t& start, std::int32_t& end, RecordOutput& out,
                 const RecordExtras* extras) {
  if (!RequireRom(state) || !RequireTable(state) || !RequireKnownTableType(state)) return;
  NormaliseRange(state.rom.size(), start, end);
  WriteExtractedRecord(state, out, DecodeRangeText(state, start, end), start, extras);
}

std::u16string ApplyPostprocessor(const TranslationTable& table, std::u16string text) {
  if (text.empty()) return text;
  for (const auto& [find, replace] : table.postprocessorPairs) {
    // An empty find text would match everywhere and never end.
    if (find.empty() || text.find(find) == std::u16string::npos) continue;
    text = ReplaceAll(text, find, replace);
  }
  return text;
}

std::u16string_view CorrectRecordStart(const Settings& settings, std::int32_t& offset, std::u16string_view text) {
  const std::size_t drop = StartCorrection(settings, text);
  text.remove_prefix(drop);
  offset += static_cast<std::int32_t>(drop);
  return text;
}

void WriteExtractedRecord(CodecState state, RecordOutput& out, std::u16string_view text, std::int32_t offset,
                          const RecordExtras* extras) {
  if (offset < 0) return;
  const Settings& s = state.ctx.settings;
  const std::int32_t extractedAt = offset;
  text = CorrectRecordStart(s, offset, text);
  out.Append(DecText(offset));
  out.Append(s.DialogAttrSeparator);
  out.Append(HexText(static_cast<unsigned long long>(offset)));
  if (extras) {
    // The values after the two offsets, up to the last one the dump knows.
    std::vector<std::u16string> values;
    std::size_t last = 0;
    const std::vector<std::u16string_view> names = SplitViews(s.TrDialogFileFormat, u",");
    for (std::size_t j = 2; j < names.size(); ++j) {
      const std::u16string name = Trim(names[j]);
      if (name == u"dlgComments" || name == u"dlgText") break;
      std::u16string value;
      // Characters the start correction dropped are not the text's.
      if (name == u"OldDlgSize" && extras->length >= 0) value = DecText(extras->length - (offset - extractedAt));
      if (name == u"PtrsAddrZones") value = extras->zones;
      if (!value.empty()) last = values.size() + 1;
      values.push_back(std::move(value));
    }
    for (std::size_t j = 0; j < last; ++j) {
      out.Append(s.DialogAttrSeparator);
      out.Append(values[j]);
    }
  }
  out.Append(s.DialogAttrDelimStr);
  // Most records hold none of the find texts: they are written without a copy.
  bool replaces = false;
  for (const auto& pair : state.table.postprocessorPairs)
    if (!pair.first.empty() && text.find(pair.first) != std::u16string_view::npos) {
      replaces = true;
      break;
    }
  if (replaces)
    out.Append(ApplyPostprocessor(state.table, std::u16string(text)));
  else
    out.Append(text);
  out.Append(s.DialogDelimiterStr);
  out.CountRecord();
}

}  // namespace vorkat
