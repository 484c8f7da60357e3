// The log: the text every operation reports to, with colour spans.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace vorkat {

struct Context;

// Colours are 0x00BBGGRR like the 16-colour palette the log uses.
inline constexpr std::uint32_t kColourDefault = 0;
inline constexpr std::uint32_t kColourDarkRed = 0x000080;    // warnings
inline constexpr std::uint32_t kColourBrightRed = 0x0000FF;  // errors that endanger insertion, missing files
inline constexpr std::uint32_t kColourGreen = 0x008000;      // notes

struct LogSpan {
  std::size_t start = 0;  // UTF-16 position in the text
  std::size_t length = 0;
  std::uint32_t colour = 0;
};

struct LogWindow {
  std::u16string text;         // lines joined by CR LF, no trailing break
  std::vector<LogSpan> spans;  // only lines in a colour other than the default
  std::size_t lineCount = 0;
};

void AppendLog(Context& ctx, std::u16string_view text, std::uint32_t colour = kColourDefault);
// Logs why a command did nothing: in a batch an error (bright red, so the
// run ends with status 1), in the window in `windowColour` as before.
void AppendRefusal(Context& ctx, std::u16string_view text, std::uint32_t windowColour = kColourDefault);
void ClearLog(Context& ctx);
void SaveLog(Context& ctx, const std::u16string& fileName);

// While one lives, lines appended to the context's log go nowhere (a dry run
// of an operation that reports as it works); the host still gets its yields.
class LogMute {
 public:
  explicit LogMute(Context& ctx);
  ~LogMute();
  LogMute(const LogMute&) = delete;
  LogMute& operator=(const LogMute&) = delete;

 private:
  Context& ctx_;
};

// The note a reader gives for a file it read as UTF-8 (nothing for others).
void NoteTextEncoding(Context& ctx, std::u16string_view fileName, TextEncoding encoding);

// The warning every line-based reader gives for a file with bare LF line ends.
void WarnIfBareLf(Context& ctx, std::u16string_view text, std::u16string_view fileName);

}  // namespace vorkat
