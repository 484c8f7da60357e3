#include "core/settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/context.h"

namespace vorkat {

namespace {
constexpr std::u16string_view kVbCrLf = u"<$VBCRLF>";
constexpr std::u16string_view kSpace = u"<$SPACE>";
}  // namespace

std::u16string TextToMarkupCopy(std::u16string_view text) {
  return ReplaceAll(ReplaceAll(text, kCrLf, kVbCrLf), u" ", kSpace);
}

std::u16string MarkupToTextCopy(std::u16string_view text) {
  return ReplaceAll(ReplaceAll(text, kVbCrLf, kCrLf), kSpace, u" ");
}


std::u16string GetIniValue(std::u16string_view text, std::u16string_view key) {
  if (text.empty()) return {};
  std::size_t k = text.find(key);
  if (k == std::u16string_view::npos) return {};
  std::size_t start = k + key.size();
  std::size_t end = text.find(u" '", start);
  if (end == std::u16string_view::npos) end = text.find(u' ', start);
  if (end == std::u16string_view::npos) end = text.find(kCrLf, start);
  if (end == std::u16string_view::npos) return {};
  return std::u16string(text.substr(start, end - start));
}

namespace {

std::u16string YesNoFlag(std::u16string_view value, bool defaultYes) {
  std::u16string v = UCase(value);
  if (defaultYes) return v == u"NO" ? u"NO" : u"YES";
  return v == u"YES" ? u"YES" : u"NO";
}

std::u16string Delimiter(std::u16string_view value, std::u16string_view defaultMarkup) {
  std::u16string v = value.empty() ? std::u16string(defaultMarkup) : UCase(value);
  return MarkupToTextCopy(v);
}

}  // namespace

void LoadSettings(Context& ctx) {
  Settings& s = ctx.settings;
  IoError err;
  Bytes buffer;
  // An absent file gives the defaults; the exit writes it (and its folder).
  if (FileExists(s.iniPath)) {
    if (auto bytes = ReadFileBytes(s.iniPath, &err))
      buffer = std::move(*bytes);
    else
      AppendLog(ctx, IoErrorText(u"Не удалось прочитать файл настроек ", s.iniPath, err), kColourDarkRed);
  }
  if (buffer.size() <= 1) buffer.assign(5, 0);

  s.iniWasUnicode = buffer[0] == 0xFF && buffer[1] == 0xFE;
  const std::u16string text = s.iniWasUnicode ? DecodeTextFile(buffer) : FromCp1251(buffer.data(), buffer.size());
  ApplySettingsText(s, text);
  // A format the program cannot read would be replaced by GBA at the exit without a word.
  const std::u16string format = GetIniValue(text, u"PointerFormat=");
  if (!Trim(format).empty() && !ParsePointerFormat(format))
    AppendLog(ctx,
              u"Формат указателей '" + format + u"' в файле настроек " + s.iniPath +
                  u" не распознан (бывают GBA, GB16, GB24, GB24R и OFFSET,ширина,база[,BE]), взят " +
                  PointerFormatName(s.PtrFormat),
              kColourBrightRed);
}

void ApplySettingsText(Settings& s, std::u16string_view text) {
  auto get = [&](std::u16string_view key) { return GetIniValue(text, key); };

  s.InputRomFileName = MarkupToTextCopy(get(u"InputRomFileName="));
  s.TableFileName = MarkupToTextCopy(get(u"TableFileName="));
  s.HelpFileName = MarkupToTextCopy(get(u"HelpFileName="));
  s.LastBGFileName = MarkupToTextCopy(get(u"LastBGFileName="));

  std::u16string n = get(u"NumberOfTextChars=");
  std::int64_t chars = n.empty() ? 2 : std::int64_t{RoundHalfEven(ReadNumber(n) - 1)} + 1;
  s.NumberOfTextChars = static_cast<std::int32_t>(std::clamp<std::int64_t>(chars, 2, INT32_MAX));

  s.ExtendedLogs = YesNoFlag(get(u"ExtendedLogs="), true);
  s.WriteTextInUnicode = YesNoFlag(get(u"WriteTextInUnicode="), false);
  s.CorrectDlgTwoCaps = YesNoFlag(get(u"CorrectDlgTwoCaps="), false);
  s.CorrectDlgNumStart = YesNoFlag(get(u"CorrectDlgNumStart="), false);

  s.DialogDelimiterStr = Delimiter(get(u"DialogDelimiterStr="), u"<$VBCRLF>\u00A7<$VBCRLF>");
  s.DialogAttrSeparator = Delimiter(get(u"DialogAttrSeparator="), u",");
  s.DialogAttrDelimStr = Delimiter(get(u"DialogAttrDelimStr="), u"<$VBCRLF>\u00B6<$VBCRLF>");

  s.TrDialogFileFormat = get(u"TrDialogFileFormat=");
  if (s.TrDialogFileFormat.empty() || s.TrDialogFileFormat.find(u"dlgComments,dlgText") == std::u16string::npos)
    s.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);

  s.StartExtrFromAddr = ReadInt(get(u"StartExtrFromAddr="));
  s.EndExtrFromAddr = ReadInt(get(u"EndExtrFromAddr="));
  s.VivorurePrnXPrnY = get(u"VivorurePrnXPrnY=");
  s.interletterspacing = get(u"interletterspacing=");
  s.PtrFormat = ParsePointerFormat(get(u"PointerFormat=")).value_or(PointerFormat::GBA);
}

std::u16string SettingsFileText(const Settings& s) {
  std::u16string out;
  auto line = [&](std::u16string_view l) {
    out.append(l);
    out.append(kCrLf);
  };
  line(u"Это файл параметров для программы Vorkat v.2.x");
  line(u"в случае ручного исправления значений в данном файле");
  line(u"не забудьте, что после символа 'равно' НЕ ДОЛЖНО быть пробелов");
  line(u"само значение параметра НЕ должно содержать пробелов");
  line(u"признаком окончания значения параметра является пробел+апостров");
  line(u"или пробел или конец строки.");
  line(u"");
  line(u"этот файл автоматически перезаписывается/создается при закрытии программы");
  line(u"если, что не так, просто удалите этот INI файл.");
  line(u"");
  auto key = [&](std::u16string_view k, std::u16string_view v, std::u16string_view comment) {
    out.append(k);
    out.append(v);
    out.append(comment);
    out.append(kCrLf);
  };
  key(u"InputRomFileName=", TextToMarkupCopy(s.InputRomFileName), u" 'имя и путь к входному рому");
  key(u"TableFileName=", TextToMarkupCopy(s.TableFileName), u" 'имя и путь к таблице перекодировки (.TBL)");
  key(u"HelpFileName=", TextToMarkupCopy(s.HelpFileName), u" 'имя и путь к файлу справки");
  key(u"NumberOfTextChars=", DecText(s.NumberOfTextChars),
      u" 'число 'печатных' символов подряд при сканировании ROM'a считать текстом");
  key(u"ExtendedLogs=", s.ExtendedLogs == u"YES" ? u"YES" : u"NO", u" 'показывать расширенную информацию в окне логов");
  key(u"WriteTextInUnicode=", s.WriteTextInUnicode == u"YES" ? u"YES" : u"NO",
      u" 'вынимаемый текст писать в Unicode ?");
  key(u"DialogDelimiterStr=", TextToMarkupCopy(s.DialogDelimiterStr),
      u" 'строка символов для разделения диалогов в вынутом тексте");
  key(u"DialogAttrSeparator=", TextToMarkupCopy(s.DialogAttrSeparator),
      u" 'строка символов - разделитель атрибутов диалога МЕЖДУ СОБОЙ");
  key(u"DialogAttrDelimStr=", TextToMarkupCopy(s.DialogAttrDelimStr),
      u" 'строка символов - разделитель атрибутов диалога от текста диалога");
  key(u"CorrectDlgTwoCaps=", s.CorrectDlgTwoCaps == u"YES" ? u"YES" : u"NO",
      u" 'сдвигать ли начало диалога вправо если в начале диалога ДВЕ заглавные (АНГЛ.)");
  key(u"CorrectDlgNumStart=", s.CorrectDlgNumStart == u"YES" ? u"YES" : u"NO",
      u" 'сдвигать ли начало диалога вправо если в начале диалога ЦИФРА");
  key(u"TrDialogFileFormat=", s.TrDialogFileFormat,
      u" 'список названий атрибутов диалога!!! порядок ВАЖЕН, последние 2 обязательны");
  key(u"StartExtrFromAddr=", DecText(s.StartExtrFromAddr),
      u" 'адрес начала откуда мы в прошлый раз начинали вынимать текст");
  key(u"EndExtrFromAddr=", DecText(s.EndExtrFromAddr), u" 'адрес докуда мы в прошлый раз вынимали текст");
  key(u"VivorurePrnXPrnY=", Trim(s.VivorurePrnXPrnY), u" 'откуда печатать текст в Vivorure'e");
  key(u"interletterspacing=", Trim(s.interletterspacing), u" 'расстояние между символами (в пикселах) для Vivorure'а");
  key(u"LastBGFileName=", Trim(TextToMarkupCopy(s.LastBGFileName)),
      u" 'имя последней использованной фоновой картинки в Vivorure'e");
  key(u"PointerFormat=", PointerFormatName(s.PtrFormat),
      u" 'формат указателей: GBA, GB16, GB24, GB24R или OFFSET,ширина,база[,BE]");
  return out;
}

bool SaveSettings(Context& ctx) {
  const Settings& s = ctx.settings;
  // A file read as UTF-16 is written back as UTF-16, so file names that
  // Windows-1251 lacks survive the run.
  Bytes data = EncodeTextFile(SettingsFileText(s), s.iniWasUnicode);
  // A file that already holds these bytes is left alone: rewriting it would
  // only wait for the disk (the write is synced), on every exit.
  if (ReadFileBytes(s.iniPath, nullptr, data.size()) == data) return true;
  IoError err;
  // The first exit makes the user's settings folder (~/.config/vorkat).
  std::error_code ignored;
  const std::filesystem::path folder = ToPath(s.iniPath).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  if (WriteFileAtomic(s.iniPath, data, Backup::None, &err, ctx.writeFaults)) return true;
  std::u16string msg = IoErrorText(u"Не удалось сохранить настройки в файл ", s.iniPath, err);
  if (ctx.batchDepth > 0) {
    // Nobody is there to read a message box: the run ends in an error.
    AppendLog(ctx, msg, kColourBrightRed);
    return false;
  }
  std::fprintf(stderr, "%s\n", ToUtf8(msg).c_str());
  MsgBox(ctx, msg, MsgButtons::Ok, MsgIcon::Error);
  return false;
}

}  // namespace vorkat
