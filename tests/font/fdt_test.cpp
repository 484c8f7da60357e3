#include "font/fdt.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

FdtLoadReport Parse(FontDescriptionTable& fdt, std::vector<std::u16string> lines) {
  fdt.lines = std::move(lines);
  return ReparseFontDescription(fdt);
}

std::vector<std::u16string> Texts(const std::vector<LogLine>& log) {
  std::vector<std::u16string> t;
  for (const LogLine& l : log) t.push_back(l.text);
  return t;
}

}  // namespace

TEST(FdtParse, KeysStandOnTheRightAndEachLogsItsValue) {
  FontDescriptionTable fdt;
  const FdtLoadReport r =
      Parse(fdt,
            {u"16,8=FontWidthFontHeight", u"0,D:\\font\\sheet.bmp=FontFileName", u"0, D:\\font =fontdirpath",
             u"&HFFFFFF,&HFFFFFF=FontTranspColor", u"0,12=FontClipRows", u"3,D:\\font\\unknown.bmp=UnknownMappingChar",
             u"0,2=interletterspacing", u"8,16=VivorurePrnXPrnY", u"a comment", u"6,char-41.bmp=A", u"5,#33=!"});
  EXPECT_EQ(fdt.fontWidth, 16);
  EXPECT_EQ(fdt.fontHeight, 8);
  EXPECT_EQ(fdt.FontDirPath, u"D:\\font\\");
  EXPECT_EQ(fdt.FontTranspColor, 0xFFFFFF);
  EXPECT_EQ(fdt.unknownCharWidth, 3);
  EXPECT_EQ(fdt.UnknownMappingChar, u"D:\\font\\unknown.bmp");
  EXPECT_EQ(r.preview.VivorurePrnXPrnY, u"8,16");
  EXPECT_EQ(r.preview.interletterspacing, u"2");
  EXPECT_FALSE(r.preview.LastBGFileName.has_value());
  const std::vector<std::u16string> expected = {
      u"высота шрифта= 8",
      u"ширина шрифта= 16",
      u"файл со шрифтом(картинкой)=D:\\font\\sheet.bmp",
      u"Путь к картинкам с изображениями букв=D:\\font\\",
      u"Прозрачный цвет в картинках шрифта=FFFFFF",
      u"Число строк в файле с картинкой шрифта= 12",
      u"Картинка для неизвестных символов=D:\\font\\unknown.bmp",
      u"Расстояние между 'буквами' (в точках)= 2",
      u"X и Y для печати по умолчанию=8,16",
      u"Комментарий: a comment",
      u"Загружено описание для  2 символов.",
  };
  EXPECT_EQ(Texts(r.log), expected);
  ASSERT_EQ(fdt.lastMappingIndex, 1);
  EXPECT_EQ(fdt.mappings[1], (FdtMapping{u"!", u"#33", 5, u""}));
  EXPECT_EQ(fdt.mappings.size(), fdt.lines.size());

  Settings settings;
  settings.LastBGFileName = u"kept.bmp";
  r.preview.ApplyTo(settings);
  EXPECT_EQ(settings.VivorurePrnXPrnY, u"8,16");
  EXPECT_EQ(settings.LastBGFileName, u"kept.bmp");
}

TEST(FdtParse, WidthFieldGivesWidthAndFlags) {
  FontDescriptionTable fdt;
  Parse(fdt, {u"10,a.bmp=a", u"100,b.bmp=b", u"08,c.bmp=c", u"0_newline,d.bmp=<$0A>", u"8,e.bmp==", u"4,f.bmp=<$SPACE>",
              u"2,g.bmp=x=y "});
  const std::vector<FdtMapping>& m = fdt.mappings;
  EXPECT_EQ(m[0], (FdtMapping{u"a", u"a.bmp", 10, u""}));
  EXPECT_EQ(m[1], (FdtMapping{u"b", u"b.bmp", 100, u""}));
  EXPECT_EQ(m[2], (FdtMapping{u"c", u"c.bmp", 8, u"0"}));  // silent control record
  EXPECT_EQ(m[3], (FdtMapping{u"<$0A>", u"d.bmp", 0, u"_NEWLINE"}));
  EXPECT_EQ(m[4].text, u"=");
  EXPECT_EQ(m[5].text, u" ");
  EXPECT_EQ(m[6].text, u"x=y ");          // split at the first "=", not trimmed
  EXPECT_EQ(fdt.lines[5], u"4,f.bmp= ");  // the converted line replaces the stored one
}

TEST(FdtParse, OneMappingIsNotLoadedAndTwoAre) {
  FontDescriptionTable fdt;
  FdtLoadReport r = Parse(fdt, {u"8,16=FontWidthFontHeight", u"6,a.bmp=A"});
  EXPECT_FALSE(fdt.isLoaded);
  EXPECT_EQ(r.log.size(), 2u);  // the size lines only
  r = Parse(fdt, {u"6,a.bmp=A", u"6,b.bmp=B"});
  EXPECT_TRUE(fdt.isLoaded);
  EXPECT_EQ(r.log.back().text, u"Загружено описание для  2 символов.");
  EXPECT_EQ(fdt.fontWidth, 8);  // settings keep their values when the new FDT lacks the line
}

TEST(FdtParse, MissingCommaIsReportedAndTheLineSkipped) {
  FontDescriptionTable fdt;
  fdt.fontWidth = 7;
  const FdtLoadReport r = Parse(fdt, {u"16=FontWidthFontHeight", u"u.bmp=UnknownMappingChar", u"6,a.bmp=A",
                                      u"6,b.bmp=B", u"no comma=unknown key"});
  EXPECT_EQ(fdt.fontWidth, 7);
  EXPECT_TRUE(fdt.UnknownMappingChar.empty());
  EXPECT_TRUE(fdt.isLoaded);
  ASSERT_EQ(r.log.size(), 3u);
  EXPECT_EQ(r.log[0], (LogLine{u"В строке описания шрифта нет запятой, строка пропущена: 16=FontWidthFontHeight",
                               kColourDarkRed}));
  EXPECT_EQ(r.log[1].colour, kColourDarkRed);
}

TEST(FdtParse, IndexFindsTheFirstRecordOfATextAndCountsTrailingLineBreaks) {
  FontDescriptionTable fdt;
  Parse(fdt, {u"1,a.bmp=A", u"2,b.bmp=A", u"0_NEWLINE,n.bmp=<$VBCRLF><$VBCRLF>", u"x"});
  EXPECT_EQ(fdt.FindMapping(u"A"), 0);
  EXPECT_EQ(fdt.FindMapping(u"\r\n\r\n"), 2);
  EXPECT_EQ(fdt.FindMapping(u""), -1);
  EXPECT_EQ(fdt.maxTrailingLineBreaks, 2);
}

TEST(FdtFile, ReadsBothEncodingsAndReparsesWithoutReading) {
  TempDir dir;
  const std::u16string text = u"6,а.bmp=а\r\n6,б.bmp=б";
  dir.WriteText("u.fdt", text, true);
  dir.WriteText("a.fdt", text, false);
  for (const char* name : {"u.fdt", "a.fdt"}) {
    FontDescriptionTable fdt;
    const FdtLoadReport r = LoadFontDescriptionFile(fdt, dir.File(name));
    EXPECT_EQ(r.log.front().text, u"Загружаем font description из файла " + dir.File(name));
    EXPECT_EQ(fdt.mappings[1].text, u"б") << name;
  }

  FontDescriptionTable fdt;
  fdt.lines = {u"6,x.bmp=x", u"6,y.bmp=y"};
  bool asked = false;
  LoadFontDescription(fdt, dir.File("u.fdt"), [&] {
    asked = true;
    return std::u16string();
  });
  EXPECT_FALSE(asked);
  EXPECT_EQ(fdt.fileName, dir.File("u.fdt"));
  EXPECT_EQ(fdt.mappings[0].text, u"x");  // the lines in memory, not the file
}

TEST(FdtFile, UnreadableFileLeavesTheTableAsItWas) {
  TempDir dir;
  FontDescriptionTable fdt;
  Parse(fdt, {u"6,x.bmp=x", u"6,y.bmp=y"});
  fdt.fileName = u"old.fdt";
  const FdtLoadReport r = LoadFontDescription(fdt, u"", [&] { return dir.File("missing.fdt"); });
  EXPECT_FALSE(r.read);
  ASSERT_EQ(r.log.size(), 1u);
  EXPECT_EQ(r.log[0].colour, kColourBrightRed);
  EXPECT_EQ(fdt.fileName, u"old.fdt");
  EXPECT_TRUE(fdt.isLoaded);
  EXPECT_EQ(fdt.mappings[1].text, u"y");
  EXPECT_TRUE(LoadFontDescription(fdt, u"", [] { return std::u16string(); }).cancelled);
}

TEST(FdtFile, SavedLinesReadBackTheSame) {
  TempDir dir;
  FontDescriptionTable fdt;
  Parse(fdt, {u"8,16=FontWidthFontHeight", u"0_NEWLINE,n.bmp=<$VBCRLF>", u"4,s.bmp=<$SPACE>", u"6,a.bmp=я"});
  for (bool unicode : {true, false}) {
    const LogLine saved = SaveFontDescription(fdt, dir.File("out.fdt"), unicode);
    EXPECT_EQ(saved.text, u"Сохранили Font Description Table в файле " + dir.File("out.fdt"));
    FontDescriptionTable back;
    LoadFontDescriptionFile(back, dir.File("out.fdt"));
    EXPECT_EQ(back.lines, fdt.lines);
    EXPECT_EQ(back.mappings, fdt.mappings);
  }
  EXPECT_EQ(dir.ReadText("out.fdt"),
            u"8,16=FontWidthFontHeight\r\n0_NEWLINE,n.bmp=<$VBCRLF>\r\n4,s.bmp= \r\n6,a.bmp=я");
}
