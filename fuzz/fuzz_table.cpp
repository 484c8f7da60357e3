// Feeds arbitrary bytes to the table loader as a table file, decodes ranges
// of the same bytes (as a ROM) through the table and encodes the texts back.
//
// The first byte chooses: bits 0-1 a table type set after the load (0 keeps
// the loaded one), bit 2 a table built from the bytes as "code=character"
// lines (so that reversible tables occur), bit 3 ExtendedLogs, bit 4
// SkipUnknownTRChars. Bytes 1 and 2 seed the ranges.
//
// Where the round trip must hold (single-character texts, each used once,
// no markup or line-break characters among them, no postprocessor pairs, no
// code the encoder would write shorter than the decoder read it), the bytes
// encoded from a decoded range must be that range. A saved table read back
// must give the same entries, type, end code and pairs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "core/log.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "core/text.h"

namespace {

using namespace vorkat;

class QuietHost : public ScriptedHost {
 public:
  void LogAppended(std::u16string_view, std::uint32_t, bool) override {}
};

// "code=character" lines from byte triples: a one- or two-byte code and a
// character from a block without markup or line-break characters.
std::u16string BuiltTableText(const std::uint8_t* data, std::size_t size) {
  std::u16string text = u"made from bytes";
  for (std::size_t i = 0; i + 2 < size; i += 3) {
    const unsigned code = data[i] & 1 ? data[i + 1] : (data[i] >> 1) * 256 + data[i + 1];
    text += u"\r\n" + HexText(code, code > 0xFF ? 4 : 2) + u"=" + std::u16string(1, char16_t(0x4E00 + data[i + 2]));
  }
  return text;
}

struct Checks {
  bool roundTrip = true;    // every decoded text must encode back to its bytes
  bool saveAndLoad = true;  // the saved text must read back as the same table
};

Checks WhatMustHold(const TranslationTable& table) {
  Checks c;
  c.roundTrip = table.postprocessorPairs.empty();
  const bool sbcs2 = table.type == u"SBCS2";
  if (table.type != u"SBCS" && !sbcs2 && table.type != u"DBCS") c.roundTrip = false;
  // The type line is written as it is: a type with a line break or markup
  // (upper-cased "<$space>", a postprocessor keyword) reads back otherwise.
  c.saveAndLoad = table.type.find(kCrLf) == std::u16string::npos && table.type.find(u"<$") == std::u16string::npos;
  std::unordered_set<char16_t> seen;
  bool singleBytes = false;
  for (std::size_t code = 0; code < table.entries.size(); ++code) {
    const std::u16string& e = table.entries[code];
    if (e.empty()) continue;
    if (FindNoCase(e, u"TRTABLETYPE") != std::u16string::npos) c.saveAndLoad = false;  // would be a type line
    if (e.size() != 1 || e[0] == u'<' || e[0] == u'\r' || e[0] == u'\n' || !seen.insert(e[0]).second)
      c.roundTrip = false;
    // A DBCS code 00xx is written back as the one byte xx.
    if (table.type == u"DBCS" && code < 0x100) c.roundTrip = false;
    if (code > 0 && code < 0x100) singleBytes = true;
  }
  // SBCS2 reads 00 xx as the code xx when byte 00 has no entry of its own.
  if (sbcs2 && singleBytes && table.entries[0].empty()) c.roundTrip = false;
  return c;
}

// The states live for the whole run (a table has 65,536 entries); each input
// starts from a table that no load has touched.
AppState& FreshState(QuietHost& host) {
  static std::vector<std::unique_ptr<AppState>> states;
  for (auto& s : states)
    if (&s->ctx.host == &host) {
      ClearLog(*s);
      TranslationTable& t = s->table;
      // A refused load leaves the table as it was: start from an empty one.
      for (std::u16string& e : t.entries) e.clear();
      t.comment.clear();
      t.postprocessorPairs.clear();
      t.tokenCount = 0;
      t.fileEncoding = TextEncoding::Ansi;
      t.type.clear();
      t.endCode = 0;
      t.endCodeSet = false;
      t.isLoaded = false;
      t.encoderIndex = EncoderIndex{};
      return *s;
    }
  states.push_back(std::make_unique<AppState>(host));
  return *states.back();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static QuietHost host;
  static QuietHost host2;
  AppState& state = FreshState(host);
  const std::uint8_t mode = data[0];
  state.ctx.settings.ExtendedLogs = mode & 8 ? u"YES" : u"NO";
  state.codecOptions.SkipUnknownTRChars = (mode & 16) != 0;

  // Files are read as a table file is: UTF-16, UTF-8 or Windows-1251.
  DecodedText decoded;
  if (mode & 4)
    decoded.text = BuiltTableText(data + 3, size - 3);
  else
    decoded = DecodeTextFileDetect(std::span<const std::uint8_t>(data + 3, size - 3));
  const std::u16string& tableText = decoded.text;
  // A text without an entry is refused: nothing is loaded to decode with.
  if (!LoadTableText(state, tableText, u"fuzz.tbl", decoded.encoding)) return 0;
  static constexpr std::u16string_view kTypes[] = {u"", u"SBCS", u"SBCS2", u"DBCS"};
  if (mode & 3) state.table.type = kTypes[mode & 3];

  const Checks must = WhatMustHold(state.table);
  if (must.saveAndLoad) {
    AppState& back = FreshState(host2);
    const std::u16string saved = TableFileText(state.table);
    // A table read from UTF-8 is saved as UTF-8 and must read back the same.
    const TextEncoding enc = state.table.fileEncoding;
    LoadTableText(back, IsUtf8(enc) ? DecodeTextFileDetect(EncodeTextFile(saved, enc)).text : saved, u"saved.tbl");
    if (back.table.entries != state.table.entries || back.table.type != state.table.type ||
        back.table.endCodeSet != state.table.endCodeSet || back.table.endCode != state.table.endCode ||
        back.table.postprocessorPairs != state.table.postprocessorPairs)
      __builtin_trap();
  }

  state.rom.bytes.assign(data, data + size);
  state.rom.isLoaded = true;
  RecordOutput out(true);
  std::uint32_t seed = data[1] | data[2] << 8;
  const auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::int32_t>((seed >> 8) % (size + 6)) - 3;  // a little outside the ROM too
  };
  for (int r = 0; r < 4; ++r) {
    std::int32_t start = next();
    std::int32_t end = next();
    DecodeRange(state, start, end, out);
    if (!IsKnownTableType(state.table.type)) continue;
    if (start < 0 || end > state.rom.size()) __builtin_trap();  // normalised in place
    const std::u16string text = DecodeRangeText(state, start, end);
    const Bytes bytes = Encode(state, text);
    if (!must.roundTrip || start >= end || text.size() > 32000) continue;
    std::int32_t last = end;
    if (state.table.type == u"DBCS") last = start + (end - start) / 2 * 2;  // an odd last byte is not decoded
    if (!std::equal(bytes.begin(), bytes.end(), data + start, data + last) ||
        bytes.size() != static_cast<std::size_t>(last - start))
      __builtin_trap();
  }
  // Any text at all through the encoder, and the records through the output.
  Encode(state, tableText);
  (void)out.bytes();
  return 0;
}
