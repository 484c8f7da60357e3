#include "app/recent_files.h"

#include <gtest/gtest.h>

#include "app/state.h"
#include "codec/table_edit.h"
#include "codec/table_loader.h"
#include "core/rom.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

TEST(RecentFiles, NewestFirstOnceEachAndAtMostTheKeptNumber) {
  RecentFiles recent;
  for (int i = 0; i < 8; ++i) NoteRecentFile(recent, RecentKind::Rom, u"r" + DecText(i));
  EXPECT_FALSE(NoteRecentFile(recent, RecentKind::Rom, u"r7"));
  EXPECT_TRUE(NoteRecentFile(recent, RecentKind::Rom, u"r4"));
  EXPECT_EQ(recent.rom, (std::vector<std::u16string>{u"r4", u"r7", u"r6", u"r5", u"r3", u"r2"}));
  EXPECT_TRUE(recent.table.empty());
}

TEST(RecentFiles, OpeningOneAsksAboutEditsAndAGoneFileIsDropped) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  RecentFiles recent;
  dir.Write("g.gba", Bytes(16, 0));
  dir.WriteText("a.tbl", u"41=A");
  dir.WriteText("b.tbl", u"42=B");

  OpenRecentFile(state, recent, RecentKind::Rom, dir.File("g.gba"));
  EXPECT_TRUE(state.rom.isLoaded);
  // The prompts start where the last file of their kind was chosen, else at
  // the loaded file of that kind, else (to save) a name after the game, else in the ROM's folder.
  EXPECT_EQ(PromptStart(recent, state, std::u16string(kRomFilters), true), dir.File("g.gba"));
  EXPECT_EQ(PromptStart(recent, state, u"IPS (*.ips)|*.ips\r\nAll Files|*.*", true), dir.File("g.ips"));
  EXPECT_EQ(PromptStart(recent, state, u"IPS (*.ips)|*.ips", false), FromPath(dir.path()));
  EXPECT_EQ(PromptStart(recent, state, u"Any|*.*", true), FromPath(dir.path()));
  recent.lastChosen[std::u16string(kRomFilters)] = u"/roms/x.gba";
  EXPECT_EQ(PromptStart(recent, state, std::u16string(kRomFilters), false), u"/roms/x.gba");

  OpenRecentFile(state, recent, RecentKind::Table, dir.File("a.tbl"));
  SetTableEntry(state, u"43", u"C");
  host.answers = {MsgAnswer::Cancel};
  OpenRecentFile(state, recent, RecentKind::Table, dir.File("b.tbl"));
  EXPECT_EQ(state.table.entries[0x43], u"C") << "Cancel keeps the edited table";
  EXPECT_EQ(recent.table, std::vector<std::u16string>{dir.File("a.tbl")});
  EXPECT_EQ(recent.rom, std::vector<std::u16string>{dir.File("g.gba")});

  recent.dialogs = {dir.File("gone.txt")};
  OpenRecentFile(state, recent, RecentKind::Dialogs, dir.File("gone.txt"));
  EXPECT_TRUE(recent.dialogs.empty());
  EXPECT_NE(state.ctx.log.text.find(u"не найден"), std::u16string::npos);
}
