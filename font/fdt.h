// The font description table: how the game's font looks, for the preview.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/file_io.h"
#include "font/log_lines.h"

namespace vorkat {

struct Settings;

// One mapping line: width field, comma, picture, "=", text.
struct FdtMapping {
  std::u16string text;     // compared exactly; may hold CR LF pairs or markup
  std::u16string picture;  // a file name, "#" + sheet cell, or empty
  std::int32_t width = 0;  // pen advance before the inter-letter spacing
  std::u16string flags;    // upper case; not empty makes the record a control code

  bool operator==(const FdtMapping&) const = default;
};

// Finds records by their whole text without building a string per lookup.
struct FdtTextHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view s) const noexcept { return std::hash<std::u16string_view>{}(s); }
};
using FdtTextIndex = std::unordered_map<std::u16string, std::int32_t, FdtTextHash, std::equal_to<>>;

struct FontDescriptionTable {
  std::u16string fileName;
  std::vector<std::u16string> lines{std::u16string()};  // the master copy, after the line conversion
  std::vector<FdtMapping> mappings;                     // one slot per line; slots past the last record are empty
  std::int32_t lastMappingIndex = -1;
  bool isLoaded = false;

  std::int32_t fontWidth = 0;
  std::int32_t fontHeight = 0;  // also the preview's line feed
  std::u16string FontDirPath;   // ends in a path separator once set
  std::u16string FontFileName;
  std::int32_t FontClipRows = 0;
  std::int32_t FontClipCols = 0;
  std::int32_t FontTranspColor = 0;  // 0x00BBGGRR
  std::u16string UnknownMappingChar;
  std::int32_t unknownCharWidth = 0;

  // Text -> first record with that text, rebuilt by every parse; texts of
  // one character (most tokens) are looked up directly by their code.
  FdtTextIndex index;
  std::vector<std::int32_t> singleCharIndex;  // 65,536 slots, -1 for none
  // The most CR LF pairs any record's text ends with: longer runs of line
  // breaks after a token cannot match a record.
  std::int32_t maxTrailingLineBreaks = 0;

  // The first record (in index order) whose text is exactly `text`; -1 when none.
  std::int32_t FindMapping(std::u16string_view text) const {
    if (text.size() == 1 && !singleCharIndex.empty()) return singleCharIndex[text[0]];
    auto it = index.find(text);
    return it == index.end() ? -1 : it->second;
  }
};

// The three preview values an FDT may carry; they belong to Settings.
struct FdtPreviewValues {
  std::optional<std::u16string> VivorurePrnXPrnY;
  std::optional<std::u16string> interletterspacing;
  std::optional<std::u16string> LastBGFileName;

  void ApplyTo(Settings& settings) const;
};

struct FdtLoadReport {
  std::vector<LogLine> log;
  FdtPreviewValues preview;
  bool read = true;        // false: the file could not be read and the table is unchanged
  bool cancelled = false;  // no file was chosen; nothing changed
  bool refused = false;    // the file described fewer than two characters; nothing changed
};

inline constexpr std::u16string_view kFdtOpenTitle = u"Open Font Description Table";
inline constexpr std::u16string_view kFdtOpenFilters = u"FDT files (*.fdt)|*.fdt\r\nAll Files (*.*)|*.*";
inline constexpr std::u16string_view kFdtSaveTitle = u"Save FDT to file";
inline constexpr std::u16string_view kFdtSaveFilters = u"Font Description Table (*.fdt)|*.fdt\r\nAll Files (*.*)|*.*";
inline constexpr std::u16string_view kFdtNotLoadedMessage =
    u"Font Description Table (таблица мэппинга шрифтов) еше не загружена";

// Parses `lines` again (converting each line in place) without reading a file.
FdtLoadReport ReparseFontDescription(FontDescriptionTable& fdt);

// Reads, decodes and splits the file, then parses it. A file that cannot be
// read, or that describes fewer than two characters (refused), leaves the
// table as it was.
FdtLoadReport LoadFontDescriptionFile(FontDescriptionTable& fdt, std::u16string_view fileName);

// The load command: an existing file of the given name is re-parsed from the
// lines in memory (refused like a file when they describe fewer than two
// characters); otherwise `askFileName` chooses the file to read (an empty
// answer changes nothing and gives an empty report).
FdtLoadReport LoadFontDescription(FontDescriptionTable& fdt, std::u16string_view fileName,
                                  const std::function<std::u16string()>& askFileName);

// The lines joined by CR LF; a CR LF inside a line is written as "<$VBCRLF>"
// so that the file reads back the same.
std::u16string FontDescriptionFileText(const FontDescriptionTable& fdt);

// Writes FontDescriptionFileText (UTF-16LE with FF FE, or Windows-1251);
// the log line says whether it worked.
LogLine SaveFontDescription(const FontDescriptionTable& fdt, std::u16string_view fileName, bool unicode,
                            const WriteFaults& faults = {});

}  // namespace vorkat
