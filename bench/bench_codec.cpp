#include <ctime>
#include <random>

#include "bench/bench.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "app/app.h"

namespace vorkat::bench {
namespace {

// Wall time and this process's CPU time: the machine is shared, so the CPU
// figure shows the cost when others compete for the cores.
void ReportBoth(const std::string& what, const std::function<void()>& f) {
  std::clock_t c0 = std::clock();
  double ms = TimeMs(f);
  double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  Report(what.c_str(), ms);
  Report((what + " [CPU]").c_str(), cpu);
}

// A DBCS table file with every code 0000..FFFF given a distinct character.
std::u16string FullDbcsTableText() {
  std::u16string text = u"TrTableType=DBCS\r\n/FFFF\r\nfull table\r\n";
  for (std::uint32_t code = 0; code < 65536; ++code)
    text += HexText(code, 4) + u"=" + std::u16string(1, static_cast<char16_t>(0x4E00 + code % 0x5000)) +
            (code >= 0x5000 ? u"x" : u"") + u"\r\n";
  return text;
}

void BenchTableLoad() {
  QuietHost host;
  AppState state(host);
  auto file = FromPath(TempDir() / "full.tbl");
  WriteFileAtomic(file, EncodeTextFile(FullDbcsTableText(), true), Backup::None, nullptr);
  state.ctx.settings.TableFileName = file;
  double ms = TimeMs([&] { LoadTable(state, true); });
  std::string what =
      "load a 65,536-entry DBCS table file (UTF-16, " + std::to_string(state.table.tokenCount) + " codes)";
  Report(what.c_str(), ms);
  for (std::u16string& e : state.table.entries)
    if (e.size() > 1) e = u"<$" + e + u">";
  // Only first codes of equal texts differ, so the check runs to its end.
  for (std::uint32_t code = 0x5000; code < 65536; ++code) state.table.entries[code] = u"<$" + HexText(code) + u">";
  Report("reversibility check of 65,536 entries (passes all)", TimeMs([&] { CheckTableReversibility(state); }));
  Report("build the encoder index of 65,536 entries", TimeMs([&] { BuildEncoderIndex(state.table); }));
  std::filesystem::remove(TempDir() / "full.tbl");
}

// 7,000 entries: ASCII and Cyrillic single bytes, two-byte kanji, markup groups.
void LoadDialogTable(AppState& state) {
  std::u16string text = u"TrTableType=SBCS2\r\n/FF\r\n<$POSTPROCESSOR>ae,æ\r\n";
  for (int b = 0x20; b < 0x7F; ++b) text += HexText(b, 2) + u"=" + std::u16string(1, char16_t(b)) + u"\r\n";
  for (int b = 0xC0; b < 0x100; ++b) text += HexText(b, 2) + u"=" + FromCp1251(std::string(1, char(b))) + u"\r\n";
  text += u"FF=<$END><$VBCRLF><$VBCRLF>\r\nFE=<$VBCRLF>\r\nFD=<$name>\r\n";
  int count = 0x7F - 0x20 + 0x40 + 3;
  for (int code = 0x8140; count < 7000; ++code, ++count)
    text += HexText(code, 4) + u"=" + std::u16string(1, char16_t(0x4E00 + code - 0x8140)) + u"\r\n";
  LoadTableText(state, text, u"dialog.tbl");
}

std::u16string DialogText(std::size_t chars) {
  std::mt19937 rng(7);
  std::u16string text;
  text.reserve(chars + 64);
  static const std::u16string_view pieces[] = {u"Hello, ", u"Привет, ", u"<$name>", u"! ", u"\r\n", u"æ"};
  while (text.size() < chars) {
    int r = static_cast<int>(rng() % 16);
    if (r < 6)
      text += pieces[r];
    else if (r < 10)
      text += static_cast<char16_t>(0x4E00 + rng() % 6700);
    else if (r == 10)
      text += u"<$END>\r\n\r\n";
    else
      text += static_cast<char16_t>(u'a' + rng() % 26);
  }
  return text;
}

void BenchEncode() {
  QuietHost host;
  AppState state(host);
  LoadDialogTable(state);
  for (std::size_t mb : {10, 20}) {
    std::u16string text = DialogText(mb << 20);
    std::size_t bytes = 0;
    ReportBoth("encode " + std::to_string(mb) + "M characters, 7,000-entry table",
               [&] { bytes = Encode(state, text).size(); });
    std::printf("  (%zu MB out)\n", bytes >> 20);
  }
  // The same in 50,000 calls, as insertion encodes dialog by dialog.
  std::u16string dialog = DialogText(200);
  Report("encode 50,000 dialogs of 200 characters, one call each", TimeMs([&] {
           for (int i = 0; i < 50000; ++i) Encode(state, dialog);
         }));
  // The worst case of the unknown-token reports: 100 are logged, the rest counted.
  state.ctx.settings.ExtendedLogs = u"YES";
  const std::u16string unknown(200000, u'\u2603');
  std::size_t lines = 0;
  Report("encode 200,000 unknown characters with ExtendedLogs", TimeMs([&] {
           const std::size_t before = state.ctx.log.lineCount;
           Encode(state, unknown);
           lines = state.ctx.log.lineCount - before;
         }));
  std::printf("  (%zu log lines)\n", lines);
  state.ctx.settings.ExtendedLogs = u"NO";
}

// 20,000 ranges over a 32 MiB ROM; `textLike` fills it mostly with bytes
// that have entries, else with random bytes (mostly escapes).
void DecodeRanges(bool textLike) {
  QuietHost host;
  AppState state(host);
  LoadDialogTable(state);
  std::vector<std::uint8_t> rom(32u << 20);
  std::mt19937 rng(3);
  for (auto& b : rom) {
    std::uint32_t r = rng();
    b = static_cast<std::uint8_t>(textLike ? (r % 8 == 0 ? 0x81 + (r >> 8) % 20 : 0x20 + (r >> 8) % 95) : r);
  }
  state.rom.bytes.assign(rom.begin(), rom.end());
  state.rom.isLoaded = true;
  RecordOutput out(true);
  const std::int32_t ranges = 20000;
  const std::int32_t step = state.rom.size() / ranges;
  ReportBoth(std::string("decode 20,000 ranges over 32 MiB, SBCS2, ") + (textLike ? "text" : "random bytes"), [&] {
    for (std::int32_t i = 0; i < ranges; ++i) {
      std::int32_t start = i * step;
      std::int32_t end = i + 1 == ranges ? state.rom.size() : start + step;
      DecodeRange(state, start, end, out);
    }
  });
  std::printf("  (%zu MB of records)\n", out.bytes().size() >> 20);
  auto file = FromPath(TempDir() / "records.txt");
  Report("  write those records to a file", TimeMs([&] { out.Save(state, file); }));
  std::filesystem::remove(TempDir() / "records.txt");
}

void BenchDecode() {
  DecodeRanges(true);
  DecodeRanges(false);
}

}  // namespace

VORKAT_BENCH("table", BenchTableLoad);
VORKAT_BENCH("encode", BenchEncode);
VORKAT_BENCH("decode", BenchDecode);

}  // namespace vorkat::bench
