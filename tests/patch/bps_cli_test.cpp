// A 32 MiB game translated through vorkat-cli into free space above 16 MiB,
// published as a BPS patch, and the patch applied to the untouched ROM.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "app/app.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"
#include "tests/support/cli_run.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::CliRun;
using vorkat::testing::RunCli;
using vorkat::testing::TempDir;

namespace {

constexpr std::size_t kRomSize = 0x2000000;
constexpr std::size_t kPointerTable = 0x200;
constexpr std::size_t kTexts = 0x1000;
constexpr std::size_t kFree = 0x1800000;
constexpr int kCount = 6;

std::string Old(int k) { return "Old line " + std::to_string(k); }
std::string New(int k) { return "A new and much longer line number " + std::to_string(k); }

// The game: a pointer table in the lower half leading to texts ended by FF,
// and free space of FF bytes from 24 MiB to the end.
Bytes MakeGame() {
  Bytes rom(kRomSize, 0x00);
  std::fill(rom.begin() + kFree, rom.end(), 0xFF);
  std::size_t at = kTexts;
  for (int k = 0; k < kCount; ++k) {
    const std::size_t slot = kPointerTable + static_cast<std::size_t>(k) * 4;
    rom[slot] = static_cast<std::uint8_t>(at), rom[slot + 1] = static_cast<std::uint8_t>(at >> 8);
    rom[slot + 2] = static_cast<std::uint8_t>(at >> 16), rom[slot + 3] = 0x08;
    for (char c : Old(k)) rom[at++] = static_cast<std::uint8_t>(c);
    rom[at++] = 0xFF;
  }
  return rom;
}

void WriteDialogs(const TempDir& dir) {
  ScriptedHost host;
  AppState state(host);
  std::size_t at = kTexts;
  for (int k = 0; k < kCount; ++k) {
    DialogRecord r;
    r.dlgID = FromUtf8(std::to_string(k + 1));
    r.ExtractedFromAddr = HexText(at);
    r.dlgText = FromUtf8(New(k)) + u"<$END>";
    state.dialogs.records.push_back(r);
    at += Old(k).size() + 1;
  }
  state.dialogs.lastIndex = kCount - 1;
  state.dialogs.isLoaded = true;
  ASSERT_EQ(SaveDialogsAs(state, dir.File("dialogs.txt")), SaveOutcome::Saved);
}

}  // namespace

TEST(BpsEndToEnd, TranslateAbove16MiBThenPatchTheOriginal) {
  TempDir dir;
  const Bytes game = MakeGame();
  dir.Write("game.gba", game);
  dir.Write("demo.tbl", ReadFileBytes(FromPath(std::filesystem::path(VORKAT_EXAMPLES_DIR) / "demo" / "demo.tbl"))
                            .value_or(Bytes{}));
  WriteDialogs(dir);
  dir.WriteText("translate.txt",
                u"LOADROM=game.gba\r\nLOADTABLE=demo.tbl\r\nLOADDIALOGS=dialogs.txt\r\n"
                u"FREESPACESTARTADDR=&h1800000\r\nFREESPACEENDADDR=&h2000000\r\nADDRESSALIGNBY=4\r\nCHECKBYMOD4=1\r\n"
                u"CALCNEWPOINTERS\r\nRETURNDIALGS2ROM\r\nSAVEROM=translated.gba\r\n"
                u"LOADORIGINALROM=game.gba\r\nSAVEBPS=translation\r\nCOMPAREROMS\r\nSAVEIPS=translation.ips\r\n");
  const CliRun translate = RunCli(dir.path(), "translate.txt");
  EXPECT_NE(translate.out.find("translation.bps"), std::string::npos) << translate.out;
  EXPECT_NE(translate.out.find("SAVEBPS"), std::string::npos) << "the IPS refusal names the way out";
  EXPECT_FALSE(dir.Exists("translation.ips"));

  const Bytes translated = dir.Read("translated.gba");
  ASSERT_EQ(translated.size(), kRomSize);
  for (int k = 0; k < kCount; ++k) {
    const std::size_t slot = kPointerTable + static_cast<std::size_t>(k) * 4;
    ASSERT_EQ(translated[slot + 3], 0x09) << k;
    const std::size_t target = translated[slot] | translated[slot + 1] << 8 | translated[slot + 2] << 16 | 0x1000000;
    EXPECT_GE(target, kFree);
    EXPECT_EQ(target % 4, 0u);
    const std::string text = New(k);
    EXPECT_TRUE(std::equal(text.begin(), text.end(), translated.begin() + static_cast<std::ptrdiff_t>(target))) << k;
    EXPECT_EQ(translated[target + text.size()], 0xFF);
  }

  dir.WriteText("apply.txt",
                u"LOADROM=game.gba\r\nLOADBPS=translation.bps\r\nAPPLYBPSTOROM\r\nSAVEROM=patched.gba\r\n");
  const CliRun apply = RunCli(dir.path(), "apply.txt");
  EXPECT_EQ(apply.status, 0) << apply.out;
  EXPECT_TRUE(dir.Read("patched.gba") == translated) << "the patch gives the translated ROM byte for byte";

  // A patch file that is not there stops the script at its line.
  dir.WriteText("missing.txt", u"LOADBPS=absent.bps\r\nDOLOG=after\r\n");
  const CliRun missing = RunCli(dir.path(), "missing.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("absent.bps"), std::string::npos);
  EXPECT_EQ(missing.out.find("after"), std::string::npos);
}
