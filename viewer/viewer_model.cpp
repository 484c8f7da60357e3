#include "viewer/viewer_model.h"

#include <algorithm>
#include <tuple>

#include "codec/codec_state.h"
#include "core/numbers.h"
#include "core/pointer_format.h"
#include "core/runtime.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "search/masked_search.h"

namespace vorkat {
namespace {

// The 16 colours of the standard palette, 0x00BBGGRR.
constexpr std::uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return 0;
}

// The bytes the page shows: the working ROM, or the original one.
std::span<const std::uint8_t> Source(CodecState state, const ViewerModel& view) {
  if (view.ShowOrigHexes)
    return state.originalRom.isLoaded ? state.originalRom.view() : std::span<const std::uint8_t>{};
  return state.rom.isLoaded ? state.rom.view() : std::span<const std::uint8_t>{};
}

std::int64_t SourceSize(CodecState state, const ViewerModel& view) {
  return static_cast<std::int64_t>(Source(state, view).size());
}

// The page clamp of every redraw: the page never runs past the ROM's end.
void ClampViewTop(CodecState state, ViewerModel& view) {
  const std::int64_t size = SourceSize(state, view);
  std::int64_t top = std::max<std::int64_t>(view.ViewTop, 0);
  const std::int64_t page = PageBytes(view);
  if (top + page >= size) top = std::max<std::int64_t>(size - page, 0);
  view.ViewTop = static_cast<std::int32_t>(top);
}

std::int32_t Saturate(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

char16_t CellText(CodecState state, const ViewerModel& view, std::span<const std::uint8_t> cell) {
  const char16_t placeholder = view.placeholder;
  if (cell.size() < static_cast<std::size_t>(view.codeWidth)) return placeholder;  // half a pair at the ROM's end
  const unsigned code = view.codeWidth == 2 ? unsigned{cell[0]} << 8 | cell[1] : cell[0];
  char16_t c;
  if (view.UseTrTable && state.table.isLoaded) {
    const std::u16string& entry = state.table.entries[code];
    if (entry.size() != 1) return placeholder;
    c = entry[0];
  } else if (view.codeWidth == 2) {
    c = static_cast<char16_t>(code);
  } else {
    c = FromCp1251(cell.data(), 1)[0];
  }
  // Control characters and halves of surrogate pairs cannot be drawn alone.
  if (c < 32 || (c >= 0xD800 && c <= 0xDFFF)) return placeholder;
  return c;
}

void ApplyHighlights(const ViewerModel& view, ViewerPage& page) {
  const std::int64_t cellChars = view.CursorSizeInChar;
  for (const HighlightRule& rule : view.rules) {
    if (rule.text.empty()) continue;
    for (std::size_t hit = page.hex.find(rule.text); hit != std::u16string::npos;
         hit = page.hex.find(rule.text, hit + 1)) {
      std::int64_t from = static_cast<std::int64_t>(hit);
      std::int64_t to = from + static_cast<std::int64_t>(rule.text.size());
      if (rule.cells < 0)
        from += rule.cells * cellChars;
      else
        to += rule.cells * cellChars;
      from = std::max<std::int64_t>(from, 0);
      to = std::min<std::int64_t>(to, static_cast<std::int64_t>(page.hex.size()));
      for (std::int64_t i = from; i < to; ++i) page.hexColours[static_cast<std::size_t>(i)] = rule.colour;
    }
  }
}

// Colours the cells whose bytes differ between the ROM shown and the other
// one, on either view.
void ApplyDifferences(std::span<const std::uint8_t> shown, std::span<const std::uint8_t> other, const ViewerModel& view,
                      ViewerPage& page) {
  const auto width = static_cast<std::size_t>(view.codeWidth);
  const auto cellChars = static_cast<std::size_t>(view.CursorSizeInChar);
  for (std::int32_t cell = 0; cell < page.cells; ++cell) {
    const std::size_t first = static_cast<std::size_t>(page.top) + static_cast<std::size_t>(cell) * width;
    bool differs = false;
    for (std::size_t k = first; k < first + width && k < shown.size(); ++k)
      differs = differs || k >= other.size() || shown[k] != other[k];
    if (!differs) continue;
    const std::size_t at = static_cast<std::size_t>(cell) * cellChars;
    std::fill_n(page.hexColours.begin() + static_cast<std::ptrdiff_t>(at), cellChars, kViewerDiffColour);
  }
}

// The page's cells, [from, to), that hold any byte of [first, second).
std::pair<std::int32_t, std::int32_t> CellsOfBytes(const ViewerModel& view, const ViewerPage& page, std::int64_t first,
                                                   std::int64_t second) {
  if (second <= first) return {0, 0};
  const std::int64_t width = view.codeWidth;
  const std::int64_t from = std::max<std::int64_t>((first - page.top) / width, 0);
  const std::int64_t to = std::min<std::int64_t>((second - page.top + width - 1) / width, page.cells);
  if (second <= page.top || to <= from) return {0, 0};
  return {static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)};
}

// The S/E block as the block operations take it: from the start (0 when only
// the end is set) to the end, both included; a start alone marks its cell.
std::pair<std::int64_t, std::int64_t> BlockBytes(const ViewerModel& view) {
  if (view.BlockEnd >= 0) return {std::max(view.BlockStart, 0), std::int64_t{view.BlockEnd} + 1};
  if (view.BlockStart >= 0) return {view.BlockStart, std::int64_t{view.BlockStart} + view.codeWidth};
  return {0, 0};
}

// Digits wide enough for the last offset of the ROM shown, at least six.
int OffsetDigits(std::size_t size) {
  int digits = 1;
  for (std::size_t last = size > 0 ? size - 1 : 0; last >= 16; last >>= 4) ++digits;
  return std::max(digits, 6);
}

}  // namespace

std::optional<std::uint32_t> HighlightColour(std::u16string_view text) {
  std::u16string digits = ReplaceAll(ReplaceAll(UCase(Trim(text)), u"&H", u""), u"#", u"");
  if (digits.size() < 6) {
    const std::int32_t n = ReadInt(digits);
    if (n < 0 || n > 15) return std::nullopt;
    return kPalette[n];
  }
  std::uint32_t rgb = 0;
  for (std::size_t i = 0; i < 6; ++i) rgb = rgb << 4 | static_cast<std::uint32_t>(HexValue(digits[i]));
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

void ResetViewer(CoreState state, ViewerModel& view) {
  view.UseTrTable = true;
  view.ViewTop = view.CursorRow = view.CursorColumn = 0;
  view.BlockStart = view.BlockEnd = -1;
  view.selectionAnchor = -1;
  if (state.rom.isLoaded) view.Scrollbytes = state.rom.size() / 100;
  SetHighlightRules(state, view, kDefaultHighlight);
}

void LayOutViewer(CodecState state, ViewerModel& view, std::int32_t paneChars, std::int32_t paneLines) {
  const bool dbcs = state.table.codeWidth == 2;
  view.codeWidth = dbcs ? 2 : 1;
  view.CursorSizeInChar = dbcs ? 5 : 3;
  view.Columns = std::max(paneChars / view.CursorSizeInChar, 1);
  view.Rows = std::max(paneLines, 1);
  view.CursorColumn = std::min(view.CursorColumn, view.Columns - 1);
  view.CursorRow = std::min(view.CursorRow, view.Rows - 1);
}

void SetHighlightRules(CoreState state, ViewerModel& view, std::u16string_view text) {
  view.HighLightThat = UCase(text);
  view.rules.clear();
  for (const std::u16string& line : SplitCrLf(view.HighLightThat)) {
    const std::size_t comma = line.find(u',');
    if (comma == std::u16string::npos) continue;
    const std::size_t second = line.find(u',', comma + 1);
    HighlightRule rule;
    rule.text = line.substr(0, comma);
    rule.cells =
        ReadInt(line.substr(comma + 1, second == std::u16string::npos ? std::u16string::npos : second - comma - 1));
    const std::u16string colourText = second == std::u16string::npos ? u"" : line.substr(second + 1);
    const auto colour = HighlightColour(colourText);
    if (!colour) {
      AppendLog(state, u"Правило подсветки \"" + line + u"\" пропущено: номер цвета должен быть от 0 до 15",
                kColourDarkRed);
      continue;
    }
    rule.colour = *colour;
    view.rules.push_back(rule);
  }
}

std::int32_t PageBytes(const ViewerModel& view) {
  return Saturate(std::int64_t{view.Columns} * view.Rows * view.codeWidth);
}

std::int32_t CursorAddress(const ViewerModel& view) {
  return Saturate(view.ViewTop + (std::int64_t{view.CursorRow} * view.Columns + view.CursorColumn) * view.codeWidth);
}

ViewerPage BuildPage(CodecState state, ViewerModel& view) {
  ViewerPage page;
  const std::span<const std::uint8_t> bytes = Source(state, view);
  if (bytes.empty()) return page;
  ClampViewTop(state, view);
  page.empty = false;
  page.top = view.ViewTop;
  page.bytes = static_cast<std::int32_t>(
      std::min<std::int64_t>(PageBytes(view), static_cast<std::int64_t>(bytes.size()) - page.top));
  const std::int32_t width = view.codeWidth;
  page.cells = (page.bytes + width - 1) / width;
  page.hex.reserve(static_cast<std::size_t>(page.cells) * static_cast<std::size_t>(view.CursorSizeInChar));
  page.text.reserve(static_cast<std::size_t>(page.cells));
  const std::span<const std::uint8_t> onPage =
      bytes.subspan(static_cast<std::size_t>(page.top), static_cast<std::size_t>(page.bytes));
  for (std::int32_t cell = 0; cell < page.cells; ++cell) {
    const std::size_t at = static_cast<std::size_t>(cell) * static_cast<std::size_t>(width);
    const std::span<const std::uint8_t> code =
        onPage.subspan(at, std::min<std::size_t>(static_cast<std::size_t>(width), onPage.size() - at));
    for (std::uint8_t b : code) page.hex += HexText(b, 2);
    for (std::size_t k = code.size(); k < static_cast<std::size_t>(width); ++k) page.hex += u"  ";
    page.hex += u' ';
    page.text += CellText(state, view, code);
  }
  page.hexColours.assign(page.hex.size(), 0);
  ApplyHighlights(view, page);
  if (view.ShowDiff && state.rom.isLoaded && state.originalRom.isLoaded)
    ApplyDifferences(bytes, view.ShowOrigHexes ? state.rom.view() : state.originalRom.view(), view, page);
  const int digits = OffsetDigits(bytes.size());
  const std::int64_t rowBytes = std::int64_t{view.Columns} * width;
  for (std::int64_t row = 0; row * view.Columns < page.cells; ++row)
    page.offsets.push_back(HexText(static_cast<std::uint32_t>(page.top + row * rowBytes), digits));
  const auto [blockFirst, blockSecond] = BlockBytes(view);
  std::tie(page.blockFrom, page.blockTo) = CellsOfBytes(view, page, blockFirst, blockSecond);
  const auto [selectedFirst, selectedSecond] = SelectedBytes(view);
  std::tie(page.selectedFrom, page.selectedTo) = CellsOfBytes(view, page, selectedFirst, selectedSecond);
  return page;
}

ViewerPage FillView(CodecState state, ViewerModel& view) {
  if (!state.rom.isLoaded) {
    AppendLog(state, u"ROM еще не загружен");
    return {};
  }
  if (view.ShowOrigHexes && !state.originalRom.isLoaded) {
    AppendLog(state, u"Нужно сначала загрузить оригинальный ROM");
    return {};
  }
  return BuildPage(state, view);
}

std::pair<std::int32_t, std::int32_t> SelectedBytes(const ViewerModel& view) {
  if (view.selectionAnchor < 0) return {0, 0};
  const std::int32_t cursor = CursorAddress(view);
  return {std::min(view.selectionAnchor, cursor),
          Saturate(std::int64_t{std::max(view.selectionAnchor, cursor)} + view.codeWidth)};
}

std::u16string SelectedText(CodecState state, const ViewerModel& view) {
  const std::span<const std::uint8_t> bytes = Source(state, view);
  const auto [first, second] = SelectedBytes(view);
  std::u16string out;
  const auto width = static_cast<std::size_t>(view.codeWidth);
  for (auto at = static_cast<std::size_t>(first); at < static_cast<std::size_t>(second) && at < bytes.size();
       at += width)
    out += CellText(state, view, bytes.subspan(at, std::min(width, bytes.size() - at)));
  return out;
}

std::u16string SelectedHex(CodecState state, const ViewerModel& view) {
  const std::span<const std::uint8_t> bytes = Source(state, view);
  const auto [first, second] = SelectedBytes(view);
  std::u16string out;
  for (auto at = static_cast<std::size_t>(first); at < static_cast<std::size_t>(second) && at < bytes.size(); ++at) {
    // A blank between cells, as the hex pane shows them.
    if (at != static_cast<std::size_t>(first) &&
        (at - static_cast<std::size_t>(first)) % static_cast<std::size_t>(view.codeWidth) == 0)
      out += u' ';
    out += HexText(bytes[at], 2);
  }
  return out;
}

std::u16string CursorStatusText(const ViewerModel& view) {
  const std::int32_t address = CursorAddress(view);
  return NumText(view.CursorRow) + u"," + NumText(view.CursorColumn) + u"," + NumText(view.ViewTop) +
         u", адрес курсора=" + NumText(address) + u" (&H" + HexText(static_cast<std::uint32_t>(address)) + u")";
}

std::u16string BlockStatusText(const ViewerModel& view) {
  if (view.BlockStart == -1 && view.BlockEnd == -1) return {};
  return u"Адрес начала блока для дампа=" + NumText(view.BlockStart) + u" адрес конца блока=" + NumText(view.BlockEnd);
}

void ExtendSelection(CodecState state, ViewerModel& view, ViewerKey key) {
  const std::int32_t anchor = view.selectionAnchor >= 0 ? view.selectionAnchor : CursorAddress(view);
  PressViewerKey(state, view, key);
  view.selectionAnchor = anchor;
}

void ScrollUp(CodecState state, ViewerModel& view, std::int32_t lines) {
  if (lines == 0) lines = 1;
  if (view.ViewTop > 0)
    view.ViewTop =
        Saturate(std::max<std::int64_t>(view.ViewTop - std::int64_t{view.Columns} * lines * view.codeWidth, 0));
  ClampViewTop(state, view);
}

void ScrollDown(CodecState state, ViewerModel& view, std::int32_t lines) {
  if (lines == 0) lines = 1;
  const std::int64_t size = SourceSize(state, view);
  if (view.ViewTop == size - std::int64_t{view.Rows} * view.Columns) return;
  if (view.ViewTop + std::int64_t{PageBytes(view)} < size)
    view.ViewTop = Saturate(view.ViewTop + std::int64_t{view.Columns} * lines * view.codeWidth);
  else
    view.ViewTop = Saturate(size - PageBytes(view));
  ClampViewTop(state, view);
}

void ScrollTo(CodecState state, ViewerModel& view, std::int32_t position) {
  view.ViewTop = Saturate(std::int64_t{position} * view.Scrollbytes);
  view.CursorRow = view.CursorColumn = 0;
  ClampViewTop(state, view);
}

std::int32_t ScrollPosition(const ViewerModel& view) {
  // A ROM under 100 bytes has no scroll step: the bar stays at the top.
  if (view.Scrollbytes <= 0) return 0;
  return std::clamp(view.ViewTop / view.Scrollbytes, 0, 100);
}

void PressViewerKey(CodecState state, ViewerModel& view, ViewerKey key, bool modifier) {
  const std::int64_t size = SourceSize(state, view);
  // Moving the cursor drops the selection.
  if (key <= ViewerKey::End) view.selectionAnchor = -1;
  switch (key) {
    case ViewerKey::Up: --view.CursorRow; break;
    case ViewerKey::Down: ++view.CursorRow; break;
    case ViewerKey::Left:
      if (!modifier)
        --view.CursorColumn;
      else if (view.ViewTop > 0)
        view.ViewTop -= view.codeWidth;
      break;
    case ViewerKey::Right:
      if (!modifier)
        ++view.CursorColumn;
      else if (view.ViewTop < size)
        view.ViewTop += view.codeWidth;
      break;
    case ViewerKey::PageUp:
      view.CursorRow = 0;
      ScrollUp(state, view, view.Rows);
      break;
    case ViewerKey::PageDown: ScrollDown(state, view, view.Rows); break;
    case ViewerKey::Home:
      view.CursorRow = view.CursorColumn = 0;
      view.ViewTop = 0;
      break;
    case ViewerKey::End:
      view.CursorRow = view.Rows;
      view.CursorColumn = view.Columns;
      view.ViewTop = Saturate(std::max<std::int64_t>(size - PageBytes(view), 0));
      break;
    case ViewerKey::SetBlockStart: view.BlockStart = CursorAddress(view); break;
    case ViewerKey::SetBlockEnd: view.BlockEnd = CursorAddress(view); break;
    case ViewerKey::ClearBlock: view.BlockStart = view.BlockEnd = -1; break;
    case ViewerKey::ToggleTable: view.UseTrTable = !view.UseTrTable; break;
  }
  if (view.CursorColumn < 0) {
    view.CursorColumn = view.Columns - 1;
    --view.CursorRow;
  } else if (view.CursorColumn > view.Columns - 1) {
    view.CursorColumn = 0;
    ++view.CursorRow;
  }
  if (view.CursorRow < 0) {
    view.CursorRow = 0;
    ScrollUp(state, view, 1);
  } else if (view.CursorRow > view.Rows - 1) {
    view.CursorRow = view.Rows - 1;
    ScrollDown(state, view, 1);
  }
  ClampViewTop(state, view);
}

void JumpToText(CodecState state, ViewerModel& view, std::u16string_view text, bool remember) {
  if (remember) view.OldCursorInRom = view.ViewTop;
  view.ViewTop = ReadInt(text);
  view.CursorRow = view.CursorColumn = 0;
  ClampViewTop(state, view);
}

void JumpBack(CodecState state, ViewerModel& view) {
  // Back and forth: "<" twice returns to where the page stood.
  std::swap(view.ViewTop, view.OldCursorInRom);
  view.CursorRow = view.CursorColumn = 0;
  ClampViewTop(state, view);
}

void FollowPointer(CodecState state, ViewerModel& view, std::u16string_view offsetText) {
  const PointerFormat format = state.ctx.settings.PtrFormat;
  const int width = PointerWidth(format);
  const std::int64_t at = ReadInt(offsetText);
  const std::span<const std::uint8_t> rom = state.rom.view();
  if (at < 0 || at + width > static_cast<std::int64_t>(rom.size())) return;
  // A GBA pointer ends in 08 below 16 MiB and 09 above; a GB16 one is read
  // through the bank it lies in.
  const std::int32_t target = DecodePointer(format, rom.data() + at, BankOf(static_cast<std::int32_t>(at)));
  if (target < 0) {
    MsgBox(state, u"Не думаю, что по этому смещению лежит указатель " + std::u16string(PointerFormatName(format)));
    return;
  }
  JumpToText(state, view, DecText(target));
}

bool LoadJumpList(CoreState state, ViewerModel& view, const std::u16string& fileName) {
  view.PtrsFileName = fileName;
  if (!FileExists(fileName)) return false;
  IoError error;
  const auto bytes = ReadFileBytes(fileName, &error);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", fileName, error), kColourBrightRed);
    return false;
  }
  LongOperation op(state);
  const std::u16string text = DecodeTextFile(*bytes);
  WarnIfBareLf(state, text, fileName);
  view.jumpList.clear();
  for (const std::u16string& line : SplitCrLf(text)) {
    std::u16string entry;
    double number = 0;
    if (line.find(u"адрес байтов в роме=hex") != std::u16string::npos) {
      // A pointer-search report: "адрес байтов в роме=hex(1A2B), указывают на ...".
      const std::size_t open = line.find(u'('), close = line.find(u')');
      if (open != std::u16string::npos && close != std::u16string::npos && close > open + 1) {
        entry = u"&H" + line.substr(open + 1, close - open - 1);
        number = ReadNumber(entry);
      }
    } else if (StartsWith(line, u"адрес ") && line.find(u" hex(") != std::u16string::npos) {
      // A masked-search hit: "адрес  1 hex(1)   -->48,45,4C".
      number = ReadNumber(line.substr(6, line.find(u" hex(") - 6));
      entry = DecText(static_cast<long long>(number));
    } else {
      number = ReadNumber(line);
      entry = Trim(line);
    }
    if (StartsWith(line, u"----- D") && entry.size() > 14) view.jumpList.push_back(entry.substr(14, 10));
    if (line.size() > 1 && number > 0) view.jumpList.push_back(entry);
    YieldPoint(state);
    if (state.ctx.CancelRequested) break;
    if (view.jumpList.size() > kJumpListLimit - 1) break;
  }
  return true;
}

}  // namespace vorkat
