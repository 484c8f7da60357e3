// The commands that script the rest of a translation's road: comparison and
// patch, extraction, pointer search and the table tools.
#include <gtest/gtest.h>

#include "batch/batch.h"
#include "app/app.h"
#include "tests/support/batch_fixture.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct BatchCommandsTest : vorkat::testing::BatchFixture {
  void Run(std::u16string_view script) { ASSERT_TRUE(BatchFixture::Run(script).read); }
  bool LoggedPart(std::u16string_view part) const {
    for (const auto& l : host.logLines)
      if (l.find(part) != std::u16string::npos) return true;
    return false;
  }

  // A ROM with two texts behind two GBA pointers, and its table.
  void MakeGame() {
    Bytes rom(0x100, 0x00);
    const Bytes pointers = {0x40, 0x00, 0x00, 0x08, 0x50, 0x00, 0x00, 0x08};
    std::copy(pointers.begin(), pointers.end(), rom.begin() + 0x10);
    const Bytes first = {'A', 'B', 'C', ' ', 'A', 'B', 0xFF};
    const Bytes second = {'C', 'A', 'B', 0xFF};
    std::copy(first.begin(), first.end(), rom.begin() + 0x40);
    std::copy(second.begin(), second.end(), rom.begin() + 0x50);
    dir.Write("game.gba", rom);
    dir.WriteText("game.tbl", u"TrTableType=SBCS\r\n/FF\r\n41=A\r\n42=B\r\n43=C\r\n20=<$SPACE>\r\nFF=<$END>\r\n");
  }
  std::u16string LoadGame() { return u"LOADROM=" + F("game.gba") + u"\r\nLOADTABLE=" + F("game.tbl") + u"\r\n"; }
};

TEST_F(BatchCommandsTest, CompareSaveAndApplyAPatch) {
  Bytes original(0x2000);
  for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 7);
  Bytes working = original;
  working[0x100] ^= 1;
  working[0x103] ^= 1;
  working[0x1FFF] ^= 1;
  dir.Write("orig.gba", original);
  dir.Write("work.gba", working);
  dir.Write("copy.gba", original);
  Run(u"LOADROM=" + F("work.gba") + u"\r\nLOADORIGINALROM=" + F("orig.gba") +
      u"\r\nECOMODE=1\r\nOPTIMIZECHANGESBLOCKS=0\r\nCOMPAREROMS\r\nSAVEIPS=" + F("fix") + u"\r\n" + u"LOADROM=" +
      F("copy.gba") + u"\r\nLOADIPS=" + F("fix.ips") + u"\r\nAPPLYIPSTOROM\r\nSAVEROM=" + F("copy.gba"));
  EXPECT_TRUE(state.patchOptions.EcoMode);
  EXPECT_FALSE(state.patchOptions.OptimizeChangesBlocks);
  EXPECT_TRUE(LoggedPart(u"Прочитали оригинальный ROM файл:" + F("orig.gba")));
  EXPECT_TRUE(LoggedPart(u"отличительных блоков насчитано 3"));
  EXPECT_TRUE(LoggedPart(u"Записали IPS в файл " + F("fix.ips")));
  EXPECT_TRUE(LoggedPart(u"Применили IPS к ROM."));
  EXPECT_EQ(dir.Read("copy.gba"), working);
  EXPECT_EQ(dir.Read("copy.gba.bak"), original);
  EXPECT_TRUE(host.prompts.empty());

  Run(u"OPTIMIZECHANGESBLOCKS=1\r\nECOMODE=0\r\nLOADORIGINALROM=" + F("orig.gba") + u"\r\nLOADROM=" + F("work.gba") +
      u"\r\nCOMPAREROMS");
  EXPECT_TRUE(LoggedPart(u"отличительных блоков насчитано 2"));
}

TEST_F(BatchCommandsTest, OriginalRomChecksAsTheMenuDoes) {
  dir.Write("a.gba", Bytes(100, 1));
  dir.Write("b.gba", Bytes(99, 1));
  // Either refusal also stops the script.
  Run(u"LOADORIGINALROM=" + F("a.gba"));
  EXPECT_EQ(host.logLines.end()[-2], u"сначала загрузите исправленный rom");
  EXPECT_FALSE(state.originalRom.isLoaded);

  Run(u"LOADROM=" + F("a.gba") + u"\r\nLOADORIGINALROM=" + F("b.gba"));
  EXPECT_EQ(host.logLines.end()[-2],
            u"Размеры файлов не совпадают, просили ведь ОРИГИНАЛ того-же самого ROM'a, извините");
  EXPECT_FALSE(state.originalRom.isLoaded);
}

TEST_F(BatchCommandsTest, ALoadThatFailsStopsTheScriptAtItsLine) {
  MakeGame();
  dir.Write("other.gba", Bytes(0x100, 0x00));
  std::filesystem::create_directory(dir.path() / "folder.tbl");
  for (const std::u16string& load :
       {u"LOADTABLE=" + F("missing.tbl"), u"LOADTABLE=" + F("folder.tbl"), u"LOADROM=" + F("missing.gba"),
        u"LOADDIALOGS=" + F("missing.txt"), u"LOADORIGINALROM=" + F("missing.gba"), u"LOADIPS=" + F("missing.ips"),
        u"LOADIPS=" + F("game.tbl")}) {
    host.LogCleared();
    Run(LoadGame() + load + u"\r\nLOADROM=" + F("other.gba") + u"\r\nDOLOG=after");
    EXPECT_TRUE(host.prompts.empty()) << ToUtf8(load) << ": a script never asks";
    EXPECT_FALSE(LoggedPart(u"after")) << ToUtf8(load);
    EXPECT_EQ(state.rom.fileName, F("game.gba")) << ToUtf8(load) << ": the later lines did not run";
    EXPECT_EQ(host.logLines.back(), u"Пакетное задание остановлено на строке 3: " + load);
    EXPECT_EQ(host.logColours.back(), kColourBrightRed);
  }
}

TEST_F(BatchCommandsTest, ScanExtractWritesTheTextsOfTheRange) {
  MakeGame();
  Run(LoadGame() + u"SCANEXTRACT=&h20,0," + F("scan.txt"));
  const std::u16string out = dir.ReadText("scan.txt");
  EXPECT_NE(out.find(u"ABC AB"), std::u16string::npos);
  EXPECT_NE(out.find(u"CAB"), std::u16string::npos);
  EXPECT_TRUE(LoggedPart(u"сохранили вынутый текст в файл:" + F("scan.txt")));
}

TEST_F(BatchCommandsTest, DumpByAddressList) {
  MakeGame();
  dir.WriteText("list.txt", u"&h50\r\n64\r\n");
  Run(LoadGame() + u"DUMPBYADDRESSLIST=" + F("list.txt") + u"," + F("blocks.txt") + u",3");
  const std::u16string out = dir.ReadText("blocks.txt");
  const auto cab = out.find(u"CAB");
  const auto abc = out.find(u"ABC");
  ASSERT_NE(cab, std::u16string::npos);
  ASSERT_NE(abc, std::u16string::npos);
  EXPECT_LT(cab, abc) << "blocks in list order";
  EXPECT_EQ(out.find(u"ABC "), std::u16string::npos) << "three bytes each";
}

TEST_F(BatchCommandsTest, TableTools) {
  MakeGame();
  dir.WriteText("template.txt", u"АБВ");
  Run(LoadGame() + u"SAVETABLE=" + F("saved.tbl") + u"\r\nCHECKTABLE\r\nGENERATETABLE=" + F("template.txt") + u"," +
      F("made.tbl") + u",&h80");
  EXPECT_NE(dir.ReadText("saved.tbl").find(u"41=A\r\n"), std::u16string::npos);
  EXPECT_TRUE(LoggedPart(u"Сохранили таблицу в файле " + F("saved.tbl")));
  EXPECT_TRUE(LoggedPart(u"Начинаю проверку таблицы на обратимость"));
  EXPECT_NE(dir.ReadText("made.tbl").find(u"80=А\r\n81=Б\r\n82=В"), std::u16string::npos);
  EXPECT_TRUE(host.prompts.empty());
}

}  // namespace

TEST_F(BatchCommandsTest, OffsetTableAndInPlaceCommandsStopOnWhatTheyCannotUse) {
  MakeGame();
  Run(LoadGame() + u"POINTERFORMAT=offset,2,&h40\r\nPOINTERTABLE=&h10,2,4," + F("table.txt") +
      u"\r\nINPLACE=1\r\nPADBYTE=ff");
  EXPECT_TRUE(state.ctx.settings.PtrFormat == PointerFormat::Offset(2, 0x40, false));
  EXPECT_TRUE(state.insertOptions.InPlace);
  EXPECT_EQ(state.insertOptions.PadByte, 0xFF);
  // 40 00 at 10 leads to 0x80; 50 00 at 14 to 0x90: both inside the ROM.
  EXPECT_NE(dir.ReadText("table.txt").find(u"Всего найдено поинтеров  2"), std::u16string::npos);
  for (const std::u16string& line : {std::u16string(u"POINTERFORMAT=OFFSET,5,0"), std::u16string(u"PADBYTE=1G"),
                                     u"POINTERTABLE=&h10,2,1," + F("t.txt")}) {
    host.LogCleared();
    Run(LoadGame() + line + u"\r\nDOLOG=after");
    EXPECT_FALSE(LoggedPart(u"after")) << ToUtf8(line);
    EXPECT_EQ(host.logLines.back(), u"Пакетное задание остановлено на строке 3: " + line);
  }
}

TEST_F(BatchCommandsTest, AFlagTypedAsAWordIsReadAsOffAndSaidSo) {
  MakeGame();
  Run(LoadGame() + u"INPLACE=yes\r\nECOMODE=1\r\nDOLOG=after");
  EXPECT_FALSE(state.insertOptions.InPlace);
  EXPECT_TRUE(state.patchOptions.EcoMode);
  EXPECT_TRUE(LoggedPart(u"Команда INPLACE: \"yes\" не число (1 включает, 0 выключает), флаг выключен"));
  EXPECT_FALSE(LoggedPart(u"Команда ECOMODE"));
  EXPECT_TRUE(LoggedPart(u"after"));
}
