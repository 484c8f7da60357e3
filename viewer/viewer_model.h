// The ROM viewer's state and page model: where the page stands, the cursor,
// the block, the jump list and the highlight rules, and the cells of the
// visible page with their colours. No painting here: the window asks for
// the page and draws it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorkat {

struct CodecState;
struct CoreState;

// Colours are 0x00BBGGRR like the log's.
inline constexpr std::uint32_t kViewerDiffColour = 0x008000;    // green: differs from the original
inline constexpr std::uint32_t kViewerCursorColour = 0x198BFF;  // RGB FF 8B 19

struct HighlightRule {
  std::u16string text;  // hexadecimal digits as the hex pane shows them
  std::int32_t cells = 0;
  std::uint32_t colour = 0;
};

inline constexpr std::u16string_view kDefaultHighlight = u"08,-3,12";
inline constexpr std::u16string_view kResetHighlight = u"08,-3,12\r\n09,-1,C521C3\r\n0F,,1";

// The colour of a rule: a palette number 0..15 when shorter than six
// characters after "&H" and "#" are removed, else RRGGBB. Empty for a
// palette number outside 0..15.
std::optional<std::uint32_t> HighlightColour(std::u16string_view text);

struct ViewerModel {
  std::int32_t ViewTop = 0;
  std::int32_t CursorRow = 0;
  std::int32_t CursorColumn = 0;
  std::int32_t Columns = 16;
  std::int32_t Rows = 16;
  std::int32_t codeWidth = 1;
  std::int32_t CursorSizeInChar = 3;
  bool UseTrTable = true;
  std::int32_t OldCursorInRom = 0;
  std::int32_t BlockStart = -1;
  std::int32_t BlockEnd = -1;
  std::int32_t Scrollbytes = 0;
  std::u16string HighLightThat;
  std::vector<HighlightRule> rules;  // HighLightThat as read
  std::u16string PtrsFileName;
  std::vector<std::u16string> jumpList;
  bool ShowDiff = false;
  bool ShowOrigHexes = false;
  // Where a selection of the panes began (its other end is the cursor); -1
  // without a selection.
  std::int32_t selectionAnchor = -1;
  // Shown for a byte the text pane cannot draw.
  char16_t placeholder = u'.';
};

// Form_Load: position, block, table flag and highlight rules to their start.
void ResetViewer(CoreState state, ViewerModel& view);

// Lays the page out for a hex pane that holds `paneChars` characters per line
// and `paneLines` lines (at least one cell and one row).
void LayOutViewer(CodecState state, ViewerModel& view, std::int32_t paneChars, std::int32_t paneLines);

// Stores highlight rules: upper-cased text, one rule per CR LF line. A rule
// whose colour has no palette entry is logged and left out.
void SetHighlightRules(CoreState state, ViewerModel& view, std::u16string_view text);

std::int32_t PageBytes(const ViewerModel& view);
std::int32_t CursorAddress(const ViewerModel& view);

// The visible page. The hex pane is one text of `Columns` × `Rows` cells of
// `CursorSizeInChar` characters (no line breaks) with a colour per
// character; the text pane has one character per cell.
struct ViewerPage {
  std::int32_t top = 0;
  std::int32_t bytes = 0;  // bytes of the ROM on the page
  std::int32_t cells = 0;  // cells that show bytes
  std::u16string hex;
  std::vector<std::uint32_t> hexColours;
  std::u16string text;  // one character per cell
  bool empty = true;    // nothing to show (no ROM, or no original ROM for the original view)
  // The offset column: the first offset of each row, in hexadecimal.
  std::vector<std::u16string> offsets;
  // Cells of the page, [from, to), inside the S/E block and the selection.
  std::int32_t blockFrom = 0, blockTo = 0;
  std::int32_t selectedFrom = 0, selectedTo = 0;
};

// Redraws: clamps `ViewTop` to the ROM and builds the page of the working
// ROM (or, with `ShowOrigHexes`, of the original one), highlight rules and
// difference colouring applied. Logs "ROM еще не загружен" without a ROM.
ViewerPage FillView(CodecState state, ViewerModel& view);
// The page model alone, for painting: no log lines.
ViewerPage BuildPage(CodecState state, ViewerModel& view);

// The selection as bytes of the ROM, [first, second); empty without one.
std::pair<std::int32_t, std::int32_t> SelectedBytes(const ViewerModel& view);
// The selection as the text pane shows it (one character per cell) and as
// the hex pane shows it (the cells' digits, a blank between cells).
std::u16string SelectedText(CodecState state, const ViewerModel& view);
std::u16string SelectedHex(CodecState state, const ViewerModel& view);

// Status lines under the panes.
std::u16string CursorStatusText(const ViewerModel& view);
std::u16string BlockStatusText(const ViewerModel& view);

enum class ViewerKey {
  Up,
  Down,
  Left,
  Right,
  PageUp,
  PageDown,
  Home,
  End,
  SetBlockStart,
  SetBlockEnd,
  ClearBlock,
  ToggleTable
};

// A key of the viewer: moves the cursor or the page (with `modifier` held,
// Left and Right move the page by one cell), then wraps the cursor.
void PressViewerKey(CodecState state, ViewerModel& view, ViewerKey key, bool modifier = false);

// A move key with the selection held (Shift): the selection runs from where
// it began, or from the cursor, to the cursor's new place.
void ExtendSelection(CodecState state, ViewerModel& view, ViewerKey key);

void ScrollUp(CodecState state, ViewerModel& view, std::int32_t lines);
void ScrollDown(CodecState state, ViewerModel& view, std::int32_t lines);
// The scroll bar (0..100) at its position, and the position of the page.
void ScrollTo(CodecState state, ViewerModel& view, std::int32_t position);
std::int32_t ScrollPosition(const ViewerModel& view);

// Jumps: the typed or chosen jump-list text (decimal or "&H" hexadecimal),
// back to before the last jump, and to where a GBA pointer at that offset
// points. Each but the typed "Jump to" remembers where the page stood.
void JumpToText(CodecState state, ViewerModel& view, std::u16string_view text, bool remember = true);
void JumpBack(CodecState state, ViewerModel& view);
void FollowPointer(CodecState state, ViewerModel& view, std::u16string_view offsetText);

// Reads a jump list from a pointer-search report, an insertion log, a
// masked-search log or a list of numbers. Returns false when the file does
// not exist (the list is then kept).
bool LoadJumpList(CoreState state, ViewerModel& view, const std::u16string& fileName);

}  // namespace vorkat
