#include "font/preview_layout.h"

#include <algorithm>
#include <limits>

namespace vorkat {

namespace {

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Length of the token at pos: one character, a CR and the character after
// it, or a whole "<$..>" element when at least four characters follow "<".
std::size_t TokenLength(std::u16string_view text, std::size_t pos) {
  const std::size_t length = text.size();
  if (text[pos] == u'<' && pos + 4 < length && text[pos + 1] == u'$') {
    const std::size_t close = text.find(u'>', pos);
    if (close != std::u16string_view::npos) return close - pos + 1;
  }
  if (text[pos] == u'\r' && pos + 1 < length) return 2;
  return 1;
}

std::int64_t CrLfPairsAt(std::u16string_view text, std::size_t pos, std::int64_t most) {
  std::int64_t n = 0;
  while (n < most && pos + 1 < text.size() && text[pos] == u'\r' && text[pos + 1] == u'\n') {
    pos += 2;
    ++n;
  }
  return n;
}

}  // namespace

PreviewPen::PreviewPen(const FontDescriptionTable& fdt, const PreviewSettings& ps, LayoutView view,
                       std::vector<DrawStep>* steps)
    : fdt_(fdt), ps_(ps), view_(view), steps_(steps) {}

void PreviewPen::Start() {
  if (ps_.DoClsBeforePrint) Emit(StepKind::Clear, 0);
  x = ps_.DefaultMyX;
  y = ps_.DefaultMyY;
}

TokenResult PreviewPen::Token(std::u16string_view text, std::size_t pos) {
  const std::size_t tokenLength = TokenLength(text, pos);
  TokenResult result;
  result.next = pos + tokenLength;
  const bool hexElement = ps_.IgnoreHex && tokenLength == 5 && text[pos] == u'<' && text[pos + 1] == u'$' &&
                          text[pos + 4] == u'>' && IsHexDigit(text[pos + 2]) && IsHexDigit(text[pos + 3]);

  // Longest match: the token with as many of the CR LF pairs after it as a
  // record can hold, then fewer.
  const std::int64_t pairs = CrLfPairsAt(text, result.next, fdt_.maxTrailingLineBreaks);
  for (std::int64_t j = pairs; j >= 0; --j) {
    const std::size_t candidateLength = tokenLength + static_cast<std::size_t>(2 * j);
    const std::int32_t r = fdt_.FindMapping(text.substr(pos, candidateLength));
    if (r >= 0) {
      result.record = r;
      result.next = pos + candidateLength;
      break;
    }
  }

  if (result.record >= 0) {
    PrintChar(result.record);
  } else if (hexElement) {
    result.skippedHex = true;
    // A negative count would step back into text already printed.
    result.next += static_cast<std::size_t>(std::max(0, ps_.IgnoreHexN));
  } else {
    PrintChar(-1);
  }
  return result;
}

void PreviewPen::PrintChar(std::int32_t record) {
  if (!view_.previewVisible && !view_.measureHidden) return;
  if (record < 0) {
    Emit(StepKind::Glyph, UnknownEntry(fdt_));
    x += std::int64_t{fdt_.unknownCharWidth} + ps_.InterLetterStep;
    return;
  }
  const FdtMapping& m = fdt_.mappings[static_cast<std::size_t>(record)];
  if (m.flags.empty()) {
    Emit(StepKind::Glyph, record);
    x += std::int64_t{m.width} + ps_.InterLetterStep;
    return;
  }
  // A control record draws nothing; each word acts on its own, in this order.
  const auto has = [&](std::u16string_view word) { return m.flags.find(word) != std::u16string::npos; };
  if (has(u"NEWLINE")) NewLine();
  if (has(u"SCROLL")) {
    if (ps_.WaitForKeyPress) Emit(StepKind::PauseScroll, 0);
    Clear();
  }
  if (has(u"MORE")) {
    if (ps_.WaitForKeyPress) Emit(StepKind::PauseMore, 0);
    NewLine();
  }
  if (has(u"CLS")) Clear();
}

void PreviewPen::NewLine() {
  x = ps_.DefaultMyX;
  y += fdt_.fontHeight;
  ++lineBreaks;
}

void PreviewPen::Clear() {
  if (ps_.IgnoreClsWhenPrint) return NewLine();
  Emit(StepKind::Clear, 0);
  x = ps_.DefaultMyX;
  y = ps_.DefaultMyY;
  ++lineBreaks;
}

void PreviewPen::Emit(StepKind kind, std::int32_t entry) {
  if (!view_.previewVisible || steps_ == nullptr) return;
  steps_->push_back({kind, entry, kind == StepKind::Glyph ? Clamp32(x) : 0, kind == StepKind::Glyph ? Clamp32(y) : 0});
}

std::optional<PreviewLayout> ParseText(const FontDescriptionTable& fdt, const PreviewSettings& ps,
                                       std::u16string_view text, LayoutView view) {
  if (!fdt.isLoaded) return std::nullopt;
  PreviewLayout layout;
  PreviewPen pen(fdt, ps, view, &layout.steps);
  pen.Start();
  for (std::size_t pos = 0; pos < text.size();) pos = pen.Token(text, pos).next;
  layout.penX = pen.x;
  layout.penY = pen.y;
  return layout;
}

}  // namespace vorkat
