// The font operations as the menus, the editor and the batch run them: they
// ask through the host, log through the state and keep the FDT, the preview
// values and the settings in step.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "font/font_state.h"
#include "font/glyph_names.h"
#include "font/log_lines.h"
#include "font/preview_layout.h"

namespace vorkat {

// Appends lines handed back as data, in order, with their colours.
void AppendLogLines(CoreState state, std::span<const LogLine> lines);

// The FDT load: an existing file of that name is re-parsed from the lines in
// memory, otherwise the user chooses the file to read. True when an FDT is
// loaded afterwards.
bool LoadFontDescription(FontState state, std::u16string_view fileName = {});
// Reads and parses that file (the batch's LOADFDT); an unreadable file is
// reported in bright red and the loaded FDT stays as it was.
bool LoadFontDescriptionFile(FontState state, std::u16string_view fileName);
// Parses the lines in memory again (after the font tools changed them).
void ReparseFontDescription(FontState state);
// "Font Desciption Table(FDT) as": asks for the file and writes the lines.
void SaveFontDescription(FontState state);

// The print of a text: the two start checks (with their message boxes),
// the print position written back to the settings, and the layout. A hidden
// preview gets no steps and the pen stays. nullopt when refused.
std::optional<PreviewLayout> PrintLayout(FontState state, std::u16string_view text, bool previewVisible);

// The double click on the preview: asks "Set default print X/Y ?" and on Yes
// makes (x, y) the default print position. True when it was taken.
bool AskDefaultPrintPosition(FontState state, std::int32_t x, std::int32_t y);

// The editor's four value items, each an input box; the answer replaces the
// value even when empty, a cancel keeps it.
void AskGameLFchar(FontState state);
void AskGameScrollChar(FontState state);
void AskWrapRightLimit(FontState state);
void AskLinesPerPage(FontState state);

// The editor's print values, each an input box with the current value as
// default; a cancel or an empty answer changes nothing, any other answer is
// read as a leading number. X and Y also become the settings' default print
// position.
void AskPrintX(FontState state);
void AskPrintY(FontState state);
void AskInterLetterStep(FontState state);
void AskIgnoreHexN(FontState state);

// btnSetScriptLfs: checks the table and the FDT, asks for the line-break
// string and the border when they are not set, refuses a border not right of
// DefaultMyX, then wraps the text (over-wide lines logged in dark red).
// nullopt when refused; the caller puts the text back and prints it.
// Both these and WRAPDIALOGS refuse (dark red, nothing changed) a line-break
// or new-page string the loaded table cannot encode: the insertion would
// drop it and the game would run the words together.
std::optional<std::u16string> SetScriptLfs(FontState state, std::u16string_view text);
// btnSetPages: asks for the missing values, then turns every
// MkPageBrkEveryNLFs-th line-break string into the new-page string.
std::optional<std::u16string> SetPages(FontState state, std::u16string_view text);

// The batch's headless wrapping over every loaded dialog: WRAPDIALOGS and
// CHECKWRAP. Both log why they refuse; CHECKWRAP writes its report (with a
// ".bak" of an older one) and logs the count.
// WrapAllDialogs returns false when it refused.
bool WrapAllDialogs(FontState state);
// The X-Editor's wrap over every dialog: asks the values WRAPSETTINGS sets for
// it (the border, the line-break string, the lines per page and, when above
// 0, the new-page string; each starting at its value now), then runs
// WrapAllDialogs (one undo step). False when a question was cancelled or it refused.
bool AskAndWrapAllDialogs(FontState state);
void CheckAllDialogsWrap(FontState state, const std::u16string& reportFile);

}  // namespace vorkat
