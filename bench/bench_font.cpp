#include <string>
#include <vector>

#include "bench/bench.h"
#include "core/text.h"
#include "font/fdt.h"
#include "font/preview_layout.h"
#include "font/text_wrapper.h"

namespace vorkat::bench {
namespace {

void ReportMicro(const char* what, double ms) { std::printf("%-60s %9.1f us\n", what, ms * 1000); }

// 512 records: new line, page, blank, 256 hexadecimal elements and single
// Latin, Cyrillic and CJK characters with widths 4 to 8.
FontDescriptionTable BigFdt() {
  FontDescriptionTable fdt;
  fdt.lines = {u"8,12=FontWidthFontHeight", u"3,u.bmp=UnknownMappingChar", u"0_NEWLINE,n.bmp=<$VBCRLF>",
               u"0_NEWLINE,l.bmp=\\",       u"0_SCROLL,p.bmp=<$PAGE>",     u"4,s.bmp=<$SPACE>"};
  for (unsigned code = 0; code < 256; ++code)
    fdt.lines.push_back(u"6,#" + DecText(code) + u"=<$" + HexText(code, 2) + u">");
  const std::u16string letters =
      u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?'-"
      u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";
  std::u16string chars = letters;
  for (char16_t c = 0x4E00; chars.size() < 252; ++c) chars += c;
  for (std::size_t i = 0; i < chars.size(); ++i)
    fdt.lines.push_back(DecText(4 + static_cast<long long>(i % 5)) + u",c.bmp=" + std::u16string(1, chars[i]));
  ReparseFontDescription(fdt);
  return fdt;
}

// Words of 2 to 9 characters, a hexadecimal element now and then and a line
// break every few words.
std::u16string DialogText(std::size_t length, unsigned seed) {
  static const std::u16string letters = u"абвгдежзиклмнопрстуфхцчшэюяabcdefghijklmnopqrstuvwxyz";
  std::u16string s;
  while (s.size() < length) {
    seed = seed * 1103515245u + 12345u;
    const unsigned r = seed >> 8;
    const std::size_t word = 2 + r % 8;
    for (std::size_t k = 0; k < word; ++k) s += letters[(r / 8 + k * 7) % letters.size()];
    if (r % 11 == 0) s += u"<$0A>";
    s += r % 7 == 0 ? u"\r\n" : u" ";
  }
  s.resize(length);
  return s;
}

void BenchFont() {
  const FontDescriptionTable fdt = BigFdt();
  if (fdt.lastMappingIndex + 1 != 512) std::printf("  !! %d records\n", fdt.lastMappingIndex + 1);
  PreviewSettings ps;
  ps.InterLetterStep = 1;
  ps.WrapRightLimitPix = 230;
  ps.gameLFchar = u"\\";
  ps.gameScrollChar = u"<$PAGE>";
  ps.MkPageBrkEveryNLFs = 3;

  const std::u16string dialog = DialogText(2000, 1);
  constexpr int kRounds = 1000;
  std::size_t steps = 0;
  const double layout = TimeMs([&] {
    for (int i = 0; i < kRounds; ++i) steps += ParseText(fdt, ps, dialog)->steps.size();
  });
  ReportMicro("layout of a 2,000-character dialog, 512 records, per dialog", layout / kRounds);
  const double measure = TimeMs([&] {
    for (int i = 0; i < kRounds; ++i) ParseText(fdt, ps, dialog, {false, true});
  });
  ReportMicro("measuring the same dialog without steps, per dialog", measure / kRounds);
  const double wrapOne = TimeMs([&] {
    for (int i = 0; i < kRounds; ++i) ParseTextForWrapper(fdt, ps, dialog);
  });
  ReportMicro("wrapping the same dialog, per dialog", wrapOne / kRounds);

  std::vector<DialogRecord> dialogs(20000);
  for (std::size_t i = 0; i < dialogs.size(); ++i) {
    dialogs[i].dlgID = DecText(static_cast<long long>(i));
    dialogs[i].dlgText = DialogText(200, static_cast<unsigned>(i) + 7);
  }
  WrapDialogsResult wrapped;
  const double wrap = TimeMs([&] { wrapped = WrapDialogTexts(dialogs, fdt, ps); });
  Report("wrap + pages over 20,000 dialogs of 200 characters", wrap);
  std::size_t over = 0;
  const double check = TimeMs([&] { over = CheckWrap(dialogs, fdt, ps).size(); });
  Report("check over 20,000 dialogs", check);
  Report("wrap + check, total", wrap + check);
  std::printf("  (%zu steps per layout, %d dialogs changed, %zu lines over the border)\n", steps / kRounds,
              wrapped.changed, over);
}

}  // namespace

VORKAT_BENCH("font", BenchFont);

}  // namespace vorkat::bench
