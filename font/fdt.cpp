#include "font/fdt.h"

#include "core/numbers.h"
#include "core/settings.h"
#include "core/text.h"

namespace vorkat {

namespace {

enum class FdtKey {
  FontWidthFontHeight,
  FontDirPath,
  FontFileName,
  FontClipRows,
  FontClipCols,
  FontTranspColor,
  UnknownMappingChar,
  VivorurePrnXPrnY,
  interletterspacing,
  LastBGFileName,
  None,
};

struct KeyName {
  std::u16string_view name;
  FdtKey key;
};

constexpr KeyName kKeys[] = {
    {u"FontWidthFontHeight", FdtKey::FontWidthFontHeight},
    {u"FontDirPath", FdtKey::FontDirPath},
    {u"FontFileName", FdtKey::FontFileName},
    {u"FontClipRows", FdtKey::FontClipRows},
    {u"FontClipCols", FdtKey::FontClipCols},
    {u"FontTranspColor", FdtKey::FontTranspColor},
    {u"UnknownMappingChar", FdtKey::UnknownMappingChar},
    {u"VivorurePrnXPrnY", FdtKey::VivorurePrnXPrnY},
    {u"interletterspacing", FdtKey::interletterspacing},
    {u"LastBGFileName", FdtKey::LastBGFileName},
};

FdtKey KeyOf(std::u16string_view key) {
  const std::u16string trimmed = Trim(key);
  for (const KeyName& k : kKeys)
    if (EqualsNoCase(trimmed, k.name)) return k.key;
  return FdtKey::None;
}

std::int32_t TrailingLineBreaks(std::u16string_view text) {
  std::int32_t n = 0;
  while (text.ends_with(kCrLf)) {
    text.remove_suffix(2);
    ++n;
  }
  return n;
}

class Parser {
 public:
  Parser(FontDescriptionTable& fdt, FdtLoadReport& report) : fdt_(fdt), report_(report) {}

  void Line(std::u16string& line) {
    line = MarkupToTextCopy(line);
    if (line.size() <= 1) return;
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) {
      Log(u"Комментарий: " + line);
      return;
    }
    // The key stands on the right: "8,16=FontWidthFontHeight".
    const std::u16string_view value = std::u16string_view(line).substr(0, eq);
    const std::u16string_view key = std::u16string_view(line).substr(eq + 1);
    const std::size_t comma = value.find(u',');
    const bool hasComma = comma != std::u16string_view::npos;
    const std::u16string_view beforeComma = hasComma ? value.substr(0, comma) : value;
    const std::u16string_view afterComma = hasComma ? value.substr(comma + 1) : value;

    switch (KeyOf(key)) {
      case FdtKey::FontWidthFontHeight:
        if (!hasComma) return MissingComma(line);
        fdt_.fontWidth = ReadInt(beforeComma);
        fdt_.fontHeight = ReadInt(afterComma);
        Log(u"высота шрифта=" + NumText(fdt_.fontHeight));
        Log(u"ширина шрифта=" + NumText(fdt_.fontWidth));
        return;
      case FdtKey::FontDirPath:
        fdt_.FontDirPath = Trim(afterComma);
        // A folder written with "/" already ends in a separator on this system.
        if (!fdt_.FontDirPath.ends_with(u"\\") && !fdt_.FontDirPath.ends_with(u"/")) fdt_.FontDirPath += u'\\';
        Log(u"Путь к картинкам с изображениями букв=" + fdt_.FontDirPath);
        return;
      case FdtKey::FontFileName:
        fdt_.FontFileName = Trim(afterComma);
        Log(u"файл со шрифтом(картинкой)=" + fdt_.FontFileName);
        return;
      case FdtKey::FontClipRows:
        fdt_.FontClipRows = ReadInt(afterComma);
        Log(u"Число строк в файле с картинкой шрифта=" + NumText(fdt_.FontClipRows));
        return;
      case FdtKey::FontClipCols:
        fdt_.FontClipCols = ReadInt(afterComma);
        Log(u"Число колонок в файле с картинкой шрифта=" + NumText(fdt_.FontClipCols));
        return;
      case FdtKey::FontTranspColor:
        fdt_.FontTranspColor = ReadInt(afterComma);
        Log(u"Прозрачный цвет в картинках шрифта=" + HexText(static_cast<std::uint32_t>(fdt_.FontTranspColor)));
        return;
      case FdtKey::UnknownMappingChar:
        if (!hasComma) return MissingComma(line);
        fdt_.UnknownMappingChar = std::u16string(afterComma);
        fdt_.unknownCharWidth = ReadInt(beforeComma);
        Log(u"Картинка для неизвестных символов=" + fdt_.UnknownMappingChar);
        return;
      case FdtKey::VivorurePrnXPrnY:
        report_.preview.VivorurePrnXPrnY = std::u16string(value);
        Log(u"X и Y для печати по умолчанию=" + std::u16string(value));
        return;
      case FdtKey::interletterspacing: {
        const std::int32_t spacing = ReadInt(afterComma);
        report_.preview.interletterspacing = DecText(spacing);
        Log(u"Расстояние между 'буквами' (в точках)=" + NumText(spacing));
        return;
      }
      case FdtKey::LastBGFileName:
        report_.preview.LastBGFileName = Trim(afterComma);
        Log(u"Фоновая картинка=" + *report_.preview.LastBGFileName);
        return;
      case FdtKey::None:
        if (hasComma) Mapping(beforeComma, afterComma, key);
        return;
    }
  }

 private:
  void Mapping(std::u16string_view widthField, std::u16string_view picture, std::u16string_view text) {
    const std::int32_t k = ++fdt_.lastMappingIndex;
    FdtMapping& m = fdt_.mappings[static_cast<std::size_t>(k)];
    m.text = std::u16string(text);
    m.picture = std::u16string(picture);
    m.width = ReadInt(widthField);
    // "0_NEWLINE" loses its "0" and keeps "_NEWLINE"; "08" keeps "0", which
    // makes a silent control record.
    m.flags = UCase(ReplaceAll(widthField, DecText(m.width), u""));
    fdt_.isLoaded = true;
    // The first record with a text wins.
    if (m.text.size() == 1) {
      std::int32_t& slot = fdt_.singleCharIndex[m.text[0]];
      if (slot < 0) slot = k;
    } else {
      fdt_.index.try_emplace(m.text, k);
    }
    fdt_.maxTrailingLineBreaks = std::max(fdt_.maxTrailingLineBreaks, TrailingLineBreaks(m.text));
  }

  void MissingComma(const std::u16string& line) {
    Log(u"В строке описания шрифта нет запятой, строка пропущена: " + line, kColourDarkRed);
  }

  void Log(std::u16string text, std::uint32_t colour = kColourDefault) {
    report_.log.push_back({std::move(text), colour});
  }

  FontDescriptionTable& fdt_;
  FdtLoadReport& report_;
};

}  // namespace

void FdtPreviewValues::ApplyTo(Settings& settings) const {
  if (VivorurePrnXPrnY) settings.VivorurePrnXPrnY = *VivorurePrnXPrnY;
  if (interletterspacing) settings.interletterspacing = *interletterspacing;
  if (LastBGFileName) settings.LastBGFileName = *LastBGFileName;
}

FdtLoadReport ReparseFontDescription(FontDescriptionTable& fdt) {
  FdtLoadReport report;
  fdt.lastMappingIndex = -1;
  fdt.isLoaded = false;
  fdt.mappings.assign(fdt.lines.size(), FdtMapping{});
  fdt.index.clear();
  fdt.singleCharIndex.assign(0x10000, -1);
  fdt.maxTrailingLineBreaks = 0;
  Parser parser(fdt, report);
  for (std::u16string& line : fdt.lines) parser.Line(line);

  const std::int32_t count = fdt.lastMappingIndex + 1;
  if (count < 2)
    fdt.isLoaded = false;
  else
    report.log.push_back({u"Загружено описание для " + NumText(count) + u" символов."});
  return report;
}

namespace {

// Parses a candidate table and takes it only when it describes at least two
// characters; a refused one changes nothing, preview values included.
FdtLoadReport ParseAndTake(FontDescriptionTable& fdt, FontDescriptionTable candidate) {
  FdtLoadReport report = ReparseFontDescription(candidate);
  if (candidate.isLoaded) {
    fdt = std::move(candidate);
    return report;
  }
  report.refused = true;
  report.preview = {};
  report.log.push_back({u"Описание шрифта из файла " + candidate.fileName + u" не загружено: в нём описано" +
                            NumText(candidate.lastMappingIndex + 1) + u" символов, а нужно хотя бы 2" +
                            (fdt.isLoaded ? u"; загруженное описание осталось прежним" : u""),
                        kColourBrightRed});
  return report;
}

}  // namespace

FdtLoadReport LoadFontDescriptionFile(FontDescriptionTable& fdt, std::u16string_view fileName) {
  IoError error;
  std::optional<Bytes> bytes = ReadFileBytes(fileName, &error);
  if (!bytes) {
    FdtLoadReport report;
    report.read = false;
    report.log.push_back(
        {IoErrorText(u"Не удалось прочитать файл описания шрифта ", fileName, error), kColourBrightRed});
    return report;
  }
  FontDescriptionTable candidate;
  candidate.fileName = std::u16string(fileName);
  candidate.lines = SplitCrLf(DecodeTextFile(*bytes));
  bytes.reset();
  FdtLoadReport report = ParseAndTake(fdt, std::move(candidate));
  report.log.insert(report.log.begin(), {u"Загружаем font description из файла " + std::u16string(fileName)});
  return report;
}

FdtLoadReport LoadFontDescription(FontDescriptionTable& fdt, std::u16string_view fileName,
                                  const std::function<std::u16string()>& askFileName) {
  if (!fileName.empty() && FileExists(fileName)) {
    FontDescriptionTable candidate = fdt;
    candidate.fileName = std::u16string(fileName);
    return ParseAndTake(fdt, std::move(candidate));
  }
  const std::u16string chosen = askFileName ? askFileName() : std::u16string();
  if (chosen.empty()) {
    FdtLoadReport report;
    report.cancelled = true;
    return report;
  }
  return LoadFontDescriptionFile(fdt, chosen);
}

std::u16string FontDescriptionFileText(const FontDescriptionTable& fdt) {
  std::u16string text;
  for (std::size_t i = 0; i < fdt.lines.size(); ++i) {
    if (i > 0) text += kCrLf;
    text += ReplaceAll(fdt.lines[i], kCrLf, u"<$VBCRLF>");
  }
  return text;
}

LogLine SaveFontDescription(const FontDescriptionTable& fdt, std::u16string_view fileName, bool unicode,
                            const WriteFaults& faults) {
  const Bytes bytes = EncodeTextFile(FontDescriptionFileText(fdt), unicode);
  IoError error;
  if (!WriteFileAtomic(fileName, bytes, Backup::RotateBak, &error, faults))
    return {IoErrorText(u"Не удалось сохранить Font Description Table в файле ", fileName, error), kColourBrightRed};
  return {u"Сохранили Font Description Table в файле " + std::u16string(fileName)};
}

}  // namespace vorkat
