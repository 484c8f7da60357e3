#include "fonttools/font_tags.h"

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/text.h"

namespace vorkat {

std::optional<FontMappingTag> SplitFontMappingTag(std::u16string_view tag) {
  const std::size_t comma = tag.find(u',');
  if (comma == std::u16string_view::npos) return std::nullopt;
  const std::size_t eq = tag.find(u'=', comma + 1);
  if (eq == std::u16string_view::npos) return std::nullopt;
  return FontMappingTag{std::u16string(tag.substr(0, comma)), std::u16string(tag.substr(comma + 1, eq - comma - 1)),
                        std::u16string(tag.substr(eq + 1))};
}

std::u16string JoinFontMappingTag(const FontMappingTag& tag) {
  return tag.widthField + u',' + tag.picture + u'=' + tag.text;
}

std::vector<std::u16string> FdtEditorTags(const FontDescriptionTable& fdt) {
  std::vector<std::u16string> tags;
  for (std::int32_t i = 0; i <= fdt.lastMappingIndex; ++i) {
    const FdtMapping& m = fdt.mappings[static_cast<std::size_t>(i)];
    // Flags that start with a digit ("08" leaves "0") would run into the
    // width and read back as another width; a "_" keeps them apart.
    std::u16string field = DecText(m.width);
    if (!m.flags.empty() && m.flags[0] >= u'0' && m.flags[0] <= u'9') field += u'_';
    tags.push_back(field + m.flags + u',' + m.picture + u'=' + m.text);
  }
  return tags;
}

std::u16string FdtItemText(std::u16string_view tag) {
  const auto t = SplitFontMappingTag(tag);
  return t ? TextToMarkupCopy(t->text) : std::u16string();
}

std::u16string FdtItemTextEdited(std::u16string_view tag, std::u16string_view typed) {
  auto t = SplitFontMappingTag(tag);
  if (!t) return std::u16string(tag);
  t->text = MarkupToTextCopy(typed);
  return JoinFontMappingTag(*t);
}

std::u16string MakeFontMappingTag(std::int32_t width, std::int32_t row, std::int32_t col) {
  return DecText(width) + u",char" + DecText(row) + u'_' + DecText(col) + u".bmp=текст";
}

namespace {

std::vector<std::u16string> SplitWords(std::u16string_view flags) {
  std::vector<std::u16string> words;
  std::size_t start = 0;
  while (start <= flags.size()) {
    std::size_t end = flags.find(u'_', start);
    if (end == std::u16string_view::npos) end = flags.size();
    if (end > start) words.emplace_back(flags.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace

FdtEntry SplitFdtEntry(std::u16string_view tag) {
  FdtEntry e;
  const auto t = SplitFontMappingTag(tag);
  if (!t) {
    e.text = TextToMarkupCopy(tag);
    return e;
  }
  e.width = ReadInt(t->widthField);
  e.picture = t->picture;
  e.text = TextToMarkupCopy(t->text);
  // The flags are what follows the width's digits.
  std::size_t digits = 0;
  while (digits < t->widthField.size() && (t->widthField[digits] == u' ' || t->widthField[digits] == u'-')) ++digits;
  while (digits < t->widthField.size() && t->widthField[digits] >= u'0' && t->widthField[digits] <= u'9') ++digits;
  for (const std::u16string& word : SplitWords(std::u16string_view(t->widthField).substr(digits))) {
    const std::u16string upper = UCase(word);
    if (upper == u"NEWLINE")
      e.newLine = true;
    else if (upper == u"CLS")
      e.clearScreen = true;
    else if (upper == u"SCROLL")
      e.textScroll = true;
    else if (upper == u"MORE")
      e.more = true;
    else
      e.otherFlags += u'_' + word;
  }
  return e;
}

std::u16string BuildFdtEntryTag(const FdtEntry& e) {
  std::u16string field = DecText(e.width);
  if (e.newLine) field += u"_NEWLINE";
  if (e.clearScreen) field += u"_CLS";
  if (e.textScroll) field += u"_SCROLL";
  if (e.more) field += u"_MORE";
  const std::u16string other = Trim(e.otherFlags);
  if (!other.empty()) field += (other[0] == u'_' ? u"" : u"_") + other;
  return field + u',' + e.picture + u'=' + MarkupToTextCopy(e.text);
}

std::optional<InkExtent> CalcWdthHeight(int pictureWidth, int pictureHeight,
                                        const std::function<bool(int x, int y)>& isInk) {
  std::optional<InkExtent> extent;
  for (int x = pictureWidth - 1; x >= 0 && !extent; --x)
    for (int y = pictureHeight - 1; y >= 0; --y)
      if (isInk(x, y)) {
        extent = InkExtent{x, 0};
        break;
      }
  if (!extent) return std::nullopt;
  for (int y = pictureHeight - 1; y >= 0; --y)
    for (int x = pictureWidth - 1; x >= 0; --x)
      if (isInk(x, y)) {
        extent->height = y;
        return extent;
      }
  return extent;
}

std::u16string JoinFolder(std::u16string_view dir, std::u16string_view name) {
  std::u16string path(dir);
  if (!path.empty() && !path.ends_with(u'/') && !path.ends_with(u'\\')) path += u'/';
  return path + std::u16string(name);
}

std::vector<std::u16string> FdtEditorLines(const FdtEditorSave& s) {
  // A cell above 100 pixels is no game font: the grid was never set.
  auto size = [](std::int32_t v) { return v > 100 ? 16 : v; };
  const std::u16string hex = HexText(static_cast<std::uint32_t>(s.FontTranspColor));
  std::vector<std::u16string> lines = {
      DecText(size(s.cellWidth)) + u',' + DecText(size(s.cellHeight)) + u"=FontWidthFontHeight",
      u"0," + s.FontFileName + u"=FontFileName",
      u"0," + s.FontDirPath + u"=FontDirPath",
      u"0,1=interletterspacing",
      u"&H" + hex + u",&H" + hex + u"=FontTranspColor",
      DecText(s.unknownCharWidth) + u',' + s.FontDirPath + u"unknown.bmp=UnknownMappingChar",
      u"",
  };
  for (const std::u16string& tag : s.tags) {
    auto t = SplitFontMappingTag(tag);
    if (!t) {
      lines.push_back(tag);
      continue;
    }
    t->text = TextToMarkupCopy(t->text);
    lines.push_back(JoinFontMappingTag(*t));
  }
  return lines;
}

std::optional<std::u16string> FdtGlyphFile(std::u16string_view dir, std::u16string_view tag, std::size_t k) {
  const auto t = SplitFontMappingTag(tag);
  if (!t) return std::nullopt;
  if (Trim(t->picture).starts_with(u'#')) return std::u16string();
  if (Trim(t->picture).empty()) return JoinFolder(dir, u"char-" + DecText(static_cast<long long>(k + 1)) + u".bmp");
  return JoinFolder(dir, t->picture);
}

std::u16string FdtEditorFileName(std::u16string_view answer) {
  std::u16string name(answer);
  if (FileNameOf(name).find(u'.') == std::u16string::npos) name += u".fdt";
  return name;
}

std::u16string FolderOf(std::u16string_view fileName, std::u16string_view current) {
  const std::size_t sep = fileName.find_last_of(u"/\\");
  if (sep == std::u16string_view::npos) return JoinFolder(current, u"");
  return std::u16string(fileName.substr(0, sep + 1));
}

}  // namespace vorkat
