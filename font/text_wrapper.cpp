#include "font/text_wrapper.h"

#include "core/text.h"

namespace vorkat {

WrapRefusal CheckWrapValues(const FontDescriptionTable& fdt, const PreviewSettings& ps) {
  if (!fdt.isLoaded) return WrapRefusal::FdtNotLoaded;
  if (ps.gameLFchar.empty()) return WrapRefusal::EmptyLfChar;
  if (ps.DefaultMyX >= ps.WrapRightLimitPix) return WrapRefusal::BorderNotRightOfStart;
  return WrapRefusal::None;
}

WrapResult ParseTextForWrapper(const FontDescriptionTable& fdt, const PreviewSettings& ps,
                               std::u16string_view StrToParse, bool previewVisible) {
  WrapResult result;
  result.text = std::u16string(StrToParse);
  std::u16string& s = result.text;
  PreviewPen pen(fdt, ps, {previewVisible, true}, &result.steps);
  pen.Start();

  constexpr std::size_t kNone = std::u16string::npos;
  std::size_t breakAt = kNone;
  // Blanks before this position were written over or already broken at, so a
  // break there would not shorten the line (and could loop).
  std::size_t firstBreakable = 0;
  bool overflowReported = false;

  for (std::size_t pos = 0; pos < s.size();) {
    const TokenResult token = pen.Token(s, pos);
    if (token.record >= 0 && pos >= firstBreakable && fdt.mappings[static_cast<std::size_t>(token.record)].text == u" ")
      breakAt = pos;

    if (pen.x <= ps.WrapRightLimitPix) {
      overflowReported = false;
      pos = token.next;
      continue;
    }
    if (breakAt != kNone && !ps.gameLFchar.empty()) {
      s[breakAt] = ps.gameLFchar[0];
      pen.x = ps.DefaultMyX;
      pen.y += fdt.fontHeight;
      // The written character is read next: normally it is a NEWLINE record.
      pos = breakAt;
      firstBreakable = breakAt + 1;
      breakAt = kNone;
      overflowReported = false;
      continue;
    }
    if (!overflowReported) {
      result.overflows.push_back({pos + 1, pen.x});
      overflowReported = true;
    }
    pos = token.next;
  }
  return result;
}

LogLine OverflowLogLine(const WrapOverflow& overflow) {
  return {u"Строка шире правой границы и перенести её негде, оставлена как есть: позиция" +
              NumText(static_cast<long long>(overflow.position)) + u", X=" + NumText(overflow.penX),
          kColourDarkRed};
}

std::u16string MarkPages(std::u16string_view text, std::u16string_view gameLFchar, std::u16string_view gameScrollChar,
                         std::int32_t everyN) {
  std::u16string s(text);
  if (gameLFchar.empty() || everyN <= 0) return s;
  std::int32_t count = 0;
  for (std::size_t hit = s.find(gameLFchar); hit != std::u16string::npos;) {
    if (++count < everyN) {
      hit = s.find(gameLFchar, hit + 1);
      continue;
    }
    s.replace(hit, gameLFchar.size(), gameScrollChar);
    count = 0;
    // The page string is not a line break even when it holds one.
    hit = s.find(gameLFchar, hit + gameScrollChar.size());
  }
  return s;
}

WrapDialogsResult WrapDialogTexts(std::span<DialogRecord> dialogs, const FontDescriptionTable& fdt,
                                  const PreviewSettings& ps) {
  WrapDialogsResult result;
  for (DialogRecord& d : dialogs) {
    WrapResult wrapped = ParseTextForWrapper(fdt, ps, d.dlgText);
    for (const WrapOverflow& o : wrapped.overflows) {
      LogLine line = OverflowLogLine(o);
      line.text = u"Диалог " + d.dlgID + u": " + line.text;
      result.log.push_back(std::move(line));
    }
    std::u16string text = ps.MkPageBrkEveryNLFs > 0
                              ? MarkPages(wrapped.text, ps.gameLFchar, ps.gameScrollChar, ps.MkPageBrkEveryNLFs)
                              : std::move(wrapped.text);
    if (text != d.dlgText) {
      d.dlgText = std::move(text);
      ++result.changed;
    }
  }
  return result;
}

std::vector<OverBorderLine> CheckWrap(std::span<const DialogRecord> dialogs, const FontDescriptionTable& fdt,
                                      const PreviewSettings& ps) {
  std::vector<OverBorderLine> lines;
  for (const DialogRecord& d : dialogs) {
    PreviewPen pen(fdt, ps, {false, true}, nullptr);
    pen.Start();
    const std::u16string_view text = d.dlgText;
    std::int32_t lineNumber = 1;
    std::size_t lineStart = 0;
    std::int64_t furthest = pen.x;
    const auto endLine = [&](std::size_t end) {
      if (furthest > ps.WrapRightLimitPix)
        lines.push_back({d.dlgID, lineNumber, furthest, std::u16string(text.substr(lineStart, end - lineStart))});
    };
    for (std::size_t pos = 0; pos < text.size();) {
      const std::int64_t breaksBefore = pen.lineBreaks;
      const TokenResult token = pen.Token(text, pos);
      if (pen.lineBreaks != breaksBefore) {
        endLine(pos);
        ++lineNumber;
        lineStart = token.next;
        furthest = pen.x;
      } else {
        furthest = std::max(furthest, pen.x);
      }
      pos = token.next;
    }
    endLine(text.size());
  }
  return lines;
}

std::u16string OverBorderReportLine(const OverBorderLine& line) {
  return line.dlgID + u"\t" + DecText(line.line) + u"\t" + DecText(line.penX) + u"\t" +
         ReplaceAll(line.text, kCrLf, u"<$VBCRLF>");
}

}  // namespace vorkat
