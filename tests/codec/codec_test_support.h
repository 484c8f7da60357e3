// Shared pieces of the codec tests: tables and ROMs built in memory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codec/table_loader.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "core/text.h"
#include "tests/support/rom_fixture.h"

namespace vorkat::testing {

// Joins lines with CR LF, as table files are written.
inline std::u16string CrLfLines(std::initializer_list<std::u16string_view> lines) {
  std::u16string text;
  bool first = true;
  for (auto l : lines) {
    if (!first) text += u"\r\n";
    first = false;
    text += l;
  }
  return text;
}

inline void LoadLines(AppState& state, std::initializer_list<std::u16string_view> lines) {
  LoadTableText(state, CrLfLines(lines), u"test.tbl");
}

inline void PutRom(AppState& state, const std::vector<std::uint8_t>& bytes) { PutRomBytes(state.rom, bytes); }

inline bool LogHas(const AppState& state, std::u16string_view line) {
  return state.ctx.log.text.find(line) != std::u16string::npos;
}

// Colour of the first log line that contains `text`, or -1 when none does.
inline long long LogColourOf(const AppState& state, std::u16string_view text) {
  std::size_t at = state.ctx.log.text.find(text);
  if (at == std::u16string::npos) return -1;
  for (const LogSpan& s : state.ctx.log.spans)
    if (at >= s.start && at < s.start + s.length) return s.colour;
  return kColourDefault;
}

// How many times `what` occurs in `text`.
inline std::size_t CountIn(std::u16string_view text, std::u16string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::u16string_view::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

inline std::vector<std::u16string> LogLines(const AppState& state) { return SplitCrLf(state.ctx.log.text); }

}  // namespace vorkat::testing
