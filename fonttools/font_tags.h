// The FDT lines the font tools build: a glyph's mapping line (its "tag" in
// the FDT editor), the entry dialog's fields, glyph measuring and the
// header lines the tools write in front of the mappings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/fdt.h"

namespace vorkat {

// A mapping line split as the loader splits it: width field before the first
// ",", picture up to the first "=" after it, text after that "=".
struct FontMappingTag {
  std::u16string widthField;
  std::u16string picture;
  std::u16string text;
};

// nullopt when the line has no "," followed later by "=".
std::optional<FontMappingTag> SplitFontMappingTag(std::u16string_view tag);
std::u16string JoinFontMappingTag(const FontMappingTag& tag);

// The FDT editor's list: one tag per mapping record, width + flags + "," +
// picture + "=" + text (the text as the record holds it).
std::vector<std::u16string> FdtEditorTags(const FontDescriptionTable& fdt);

// The text a list item shows for a tag: its text part in markup form.
std::u16string FdtItemText(std::u16string_view tag);
// An in-place edit of an item: the tag's text part becomes the typed text
// after the markup conversion ("<$SPACE>" is a blank).
std::u16string FdtItemTextEdited(std::u16string_view tag, std::u16string_view typed);

// The tag of a glyph dragged from sheet cell (row, col): its measured width,
// "char" + row + "_" + col + ".bmp", and the text "текст".
std::u16string MakeFontMappingTag(std::int32_t width, std::int32_t row, std::int32_t col);

// The entry dialog's fields.
struct FdtEntry {
  std::int32_t width = 0;
  bool newLine = false;
  bool clearScreen = false;
  bool textScroll = false;
  bool more = false;
  std::u16string otherFlags;  // each word with "_" in front
  std::u16string picture;
  std::u16string text;  // markup form, as the field shows it
};

FdtEntry SplitFdtEntry(std::u16string_view tag);
// width + "_NEWLINE" + "_CLS" + "_SCROLL" + "_MORE" (the checked ones, in
// that order) + other flags + "," + picture + "=" + text (markup converted).
std::u16string BuildFdtEntryTag(const FdtEntry& entry);

// The rightmost and lowest ink pixel indexes (`calcwdthheight`): a pixel is
// ink when its colour differs from the transparent one. nullopt for a
// picture without ink.
struct InkExtent {
  std::int32_t width = 0;
  std::int32_t height = 0;
};
std::optional<InkExtent> CalcWdthHeight(int pictureWidth, int pictureHeight,
                                        const std::function<bool(int x, int y)>& isInk);

// dir + name, with a separator between them unless dir already ends in one.
std::u16string JoinFolder(std::u16string_view dir, std::u16string_view name);

// What the FDT editor's save writes.
struct FdtEditorSave {
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  std::u16string FontFileName;
  std::u16string FontDirPath;  // ends in a separator
  std::int32_t FontTranspColor = 0;
  std::int32_t unknownCharWidth = 0;
  std::vector<std::u16string> tags;
};

// The six setting lines, an empty line, then the tags (their texts in
// markup form, so the file reads back the same).
std::vector<std::u16string> FdtEditorLines(const FdtEditorSave& save);
// The file glyph k (0-based) is saved to: the folder + the tag's picture,
// or "char-" + (k + 1) + ".bmp" when that is blank; an empty name for a
// "#" sheet cell, which the sheet itself holds; nullopt for a tag without
// "," and "=" in order.
std::optional<std::u16string> FdtGlyphFile(std::u16string_view dir, std::u16string_view tag, std::size_t k);
// The FDT editor's file name: ".fdt" added to a name without ".".
std::u16string FdtEditorFileName(std::u16string_view answer);
// The folder of a file name with its separator, or `current` when it has none.
std::u16string FolderOf(std::u16string_view fileName, std::u16string_view current);

}  // namespace vorkat
