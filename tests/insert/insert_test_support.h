// Shared pieces of the insertion tests: a state with a ROM in memory, a
// one-byte table, dialogs built in place, and log lines with their colours.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "core/text.h"
#include "tests/support/temp_dir.h"
#include "tests/support/rom_fixture.h"

namespace vorkat::insert_testing {
using vorkat::testing::TempDir;

struct LoggedLine {
  std::u16string text;
  std::uint32_t colour = 0;
};

// The log split into its lines, each with the colour it was appended in.
inline std::vector<LoggedLine> LogLines(const AppState& state) {
  std::vector<LoggedLine> lines;
  const std::u16string& text = state.ctx.log.text;
  if (state.ctx.log.lineCount == 0) return lines;
  std::size_t start = 0;
  std::size_t span = 0;
  while (true) {
    // A line may itself hold CR LF (one AppendLog with a break): follow the spans.
    std::size_t end = text.find(kCrLf, start);
    while (span < state.ctx.log.spans.size() && state.ctx.log.spans[span].start < start) ++span;
    std::uint32_t colour = 0;
    if (span < state.ctx.log.spans.size() && state.ctx.log.spans[span].start == start) {
      colour = state.ctx.log.spans[span].colour;
      end = start + state.ctx.log.spans[span].length;
    }
    if (end == std::u16string::npos) end = text.size();
    lines.push_back({text.substr(start, end - start), colour});
    if (end >= text.size()) break;
    start = end + kCrLf.size();
  }
  return lines;
}

inline int CountLines(const AppState& state, std::u16string_view text) {
  int n = 0;
  for (const auto& l : LogLines(state)) n += l.text == text;
  return n;
}

inline int CountLinesStartingWith(const AppState& state, std::u16string_view prefix) {
  int n = 0;
  for (const auto& l : LogLines(state)) n += StartsWith(l.text, prefix);
  return n;
}

// Colour of the first line equal to text; -1 when there is none.
inline long long ColourOf(const AppState& state, std::u16string_view text) {
  for (const auto& l : LogLines(state))
    if (l.text == text) return l.colour;
  return -1;
}

inline void PutRom(AppState& state, std::size_t size, std::uint8_t fill = 0) {
  PutRomFill(state.rom, size, fill, u"test.gba");
}

inline void PutBytes(AppState& state, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) state.rom.bytes[at++] = b;
}

inline std::vector<std::uint8_t> RomAt(const AppState& state, std::size_t at, std::size_t n) {
  return {state.rom.bytes.begin() + static_cast<std::ptrdiff_t>(at),
          state.rom.bytes.begin() + static_cast<std::ptrdiff_t>(at + n)};
}

// A table where each Latin letter, digit, blank and point is its ASCII code,
// "<$END>" is 00 and "<$VBCRLF>" plus a line break is FE.
inline void PutAsciiTable(AppState& state) {
  TranslationTable& t = state.table;
  t = TranslationTable{};
  int count = 0;
  for (char16_t c = u' '; c <= u'z'; ++c) {
    if (c == u'<' || c == u'>' || c == u'$') continue;
    t.entries[c] = std::u16string(1, c);
    ++count;
  }
  t.entries[0x00] = u"<$END>";
  t.entries[0xFE] = u"<$VBCRLF>\r\n";
  t.type = u"SBCS";
  t.tokenCount = count + 2;
  t.isLoaded = true;
}

inline DialogRecord& AddDialog(AppState& state, std::u16string id, std::u16string text) {
  DialogSet& d = state.dialogs;
  d.isLoaded = true;
  d.records.resize(static_cast<std::size_t>(d.lastIndex + 1));
  DialogRecord r;
  r.dlgID = std::move(id);
  r.dlgText = std::move(text);
  d.records.push_back(std::move(r));
  ++d.lastIndex;
  // One empty slot after the last dialog, as a file that ends with the delimiter leaves.
  d.records.emplace_back();
  return d.records[static_cast<std::size_t>(d.lastIndex)];
}

inline DialogRecord& Dialog(AppState& state, int index) {
  return state.dialogs.records[static_cast<std::size_t>(index)];
}

}  // namespace vorkat::insert_testing
