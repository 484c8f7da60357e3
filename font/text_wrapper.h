// Line and page breaks placed by pixel width: the wrapper turns the last
// blank before the right border into the game's line break, the page marker
// turns every N-th line break into the game's new-page string.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font/fdt.h"
#include "font/log_lines.h"
#include "font/preview_layout.h"
#include "font/preview_settings.h"
#include "script/dialog_set.h"

namespace vorkat {

inline constexpr std::u16string_view kWrapEmptyLfLog =
    u"Введена пустая строка, для обозначения 'игровых концов строк'...операция расстановки отменена";
inline constexpr std::u16string_view kWrapBorderMessage =
    u"Координаты правой границы для расстановки 'внутригровых переносов текста' меньше левой...";
inline constexpr std::u16string_view kWrapBorderLog =
    u"Координаты правой границы для расстановки 'внутригровых переносов текста' меньше левой..."
    u"операция расстановки отменена";
inline constexpr std::u16string_view kPagesEmptyLfLog =
    u"Введена пустая строка, для обозначения 'игровых концов строк'...операция расстановки 'newpage' отменена";
inline constexpr std::u16string_view kPagesEmptyScrollLog =
    u"Введена пустая строка, для обозначения 'игровых концов страниц'...операция расстановки 'newpage' отменена";

// Why the wrapper will not run with these values (after their prompts).
enum class WrapRefusal { None, FdtNotLoaded, EmptyLfChar, BorderNotRightOfStart };
WrapRefusal CheckWrapValues(const FontDescriptionTable& fdt, const PreviewSettings& ps);

// A line too wide for the box that has no blank to break at.
struct WrapOverflow {
  std::size_t position = 0;  // 1-based position of the character that passed the border
  std::int64_t penX = 0;
};

struct WrapResult {
  std::u16string text;          // same length as the input
  std::vector<DrawStep> steps;  // what the measuring print drew on a shown preview
  std::vector<WrapOverflow> overflows;
};

// Lays the text out with the pen (measuring whether or not the preview is
// shown) and writes the first character of gameLFchar over the last mapped
// blank before each point where the pen passes WrapRightLimitPix. A line
// without such a blank is left as it is and reported once.
WrapResult ParseTextForWrapper(const FontDescriptionTable& fdt, const PreviewSettings& ps,
                               std::u16string_view StrToParse, bool previewVisible = false);

// The dark-red log line for an over-wide line.
LogLine OverflowLogLine(const WrapOverflow& overflow);

// Every MkPageBrkEveryNLFs-th occurrence of gameLFchar becomes gameScrollChar,
// counting from the start of the text.
std::u16string MarkPages(std::u16string_view text, std::u16string_view gameLFchar, std::u16string_view gameScrollChar,
                         std::int32_t everyN);

// Wraps (and, with MkPageBrkEveryNLFs > 0, marks pages in) every dialog text.
struct WrapDialogsResult {
  std::int32_t changed = 0;  // dialogs whose text changed
  std::vector<LogLine> log;  // the over-wide lines, with their dialog ID
};
WrapDialogsResult WrapDialogTexts(std::span<DialogRecord> dialogs, const FontDescriptionTable& fdt,
                                  const PreviewSettings& ps);

// A line of a dialog that passes the right border.
struct OverBorderLine {
  std::u16string dlgID;
  std::int32_t line = 0;  // 1-based within the dialog
  std::int64_t penX = 0;  // the furthest pen X on the line
  std::u16string text;    // the line's text, without the token that ended it

  bool operator==(const OverBorderLine&) const = default;
};

// Lays out every dialog (measuring, no pauses) and lists the lines whose pen
// passes WrapRightLimitPix; lines end at new lines and clears.
std::vector<OverBorderLine> CheckWrap(std::span<const DialogRecord> dialogs, const FontDescriptionTable& fdt,
                                      const PreviewSettings& ps);

// A report line: ID, line number, pen X and the text (CR LF as "<$VBCRLF>"), tab-separated.
std::u16string OverBorderReportLine(const OverBorderLine& line);

}  // namespace vorkat
