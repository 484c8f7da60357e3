// The preview as layout: which glyph goes where, when the picture is
// cleared and where printing pauses, without any picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "font/fdt.h"
#include "font/preview_settings.h"

namespace vorkat {

enum class StepKind {
  Glyph,        // draw glyph store entry `entry` with its top-left corner at (x, y)
  Clear,        // clear the preview picture to its background
  PauseScroll,  // show "Scroll..." and wait for OK before the next step
  PauseMore,    // show "more..." and wait for OK before the next step
};

struct DrawStep {
  StepKind kind = StepKind::Glyph;
  std::int32_t entry = 0;  // 0-based glyph store entry: record k is entry k, the unknown picture the last
  std::int32_t x = 0;
  std::int32_t y = 0;

  bool operator==(const DrawStep&) const = default;
};

inline constexpr std::u16string_view kScrollPauseText = u"Scroll...";
inline constexpr std::u16string_view kScrollPauseTitle = u"Пока это выполняет роль scroll'a";
inline constexpr std::u16string_view kMorePauseText = u"more...";
inline constexpr std::u16string_view kMorePauseTitle = u"more";

// The glyph store entry of the unknown-character picture.
inline std::int32_t UnknownEntry(const FontDescriptionTable& fdt) { return fdt.lastMappingIndex + 1; }

// How a layout treats the preview window.
struct LayoutView {
  bool previewVisible = true;  // steps are produced only for a shown preview
  bool measureHidden = false;  // the pen moves even while the preview is hidden (wrapping, checks)
};

// What one token was.
struct TokenResult {
  std::size_t next = 0;      // where the next token starts
  std::int32_t record = -1;  // the matched record, or -1
  bool skippedHex = false;   // an unmapped hexadecimal element skipped by IgnoreHex
};

// The pen of one print: cuts tokens, finds the longest matching record and
// applies it. Positions are 0-based UTF-16 indexes.
class PreviewPen {
 public:
  PreviewPen(const FontDescriptionTable& fdt, const PreviewSettings& ps, LayoutView view, std::vector<DrawStep>* steps);

  // The start of a print: clear when DoClsBeforePrint, pen at the defaults.
  void Start();
  // Lays out the token that starts at `pos` (pos < text.size()).
  TokenResult Token(std::u16string_view text, std::size_t pos);
  // Draws or interprets record `record`; -1 is the unknown character.
  void PrintChar(std::int32_t record);
  void NewLine();

  std::int64_t x = 0;
  std::int64_t y = 0;
  // New lines and clears so far: a change marks the start of another line.
  std::int64_t lineBreaks = 0;

 private:
  void Clear();
  void Emit(StepKind kind, std::int32_t entry);

  const FontDescriptionTable& fdt_;
  const PreviewSettings& ps_;
  LayoutView view_;
  std::vector<DrawStep>* steps_;
};

struct PreviewLayout {
  std::vector<DrawStep> steps;
  std::int64_t penX = 0;
  std::int64_t penY = 0;
};

// Prints a text; nullopt when no FDT is loaded (kFdtNotLoadedMessage).
std::optional<PreviewLayout> ParseText(const FontDescriptionTable& fdt, const PreviewSettings& ps,
                                       std::u16string_view text, LayoutView view = {});

}  // namespace vorkat
