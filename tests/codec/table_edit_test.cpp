#include "codec/table_edit.h"

#include "codec/encoder.h"
#include "tests/codec/codec_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct TableEdit : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
};

TEST_F(TableEdit, EntriesAreAddedChangedAndDeletedWithTheirCount) {
  LoadLines(state, {u"TrTableType=SBCS", u"41=A"});
  ASSERT_TRUE(SetTableEntry(state, u"20", u"<$SPACE>"));
  EXPECT_EQ(state.table.entries[0x20], u" ");
  EXPECT_EQ(state.table.tokenCount, 2);
  EXPECT_EQ(TableListItemText(state.table, 0x20), u"20 =  ");
  ASSERT_TRUE(SetTableEntry(state, u"41", u"a<$VBCRLF>b"));
  EXPECT_EQ(state.table.entries[0x41], u"a\r\nb");
  EXPECT_EQ(state.table.tokenCount, 2) << "changing an entry adds none";

  for (std::u16string_view bad : {u"", u"4G", u"10000", u"-1"}) {
    EXPECT_FALSE(SetTableEntry(state, bad, u"x")) << ToUtf8(bad);
  }
  EXPECT_EQ(state.table.tokenCount, 2);

  DeleteTableEntry(state, 0x20);
  EXPECT_EQ(TableListCodes(state.table), std::vector<std::int32_t>{0x41});
  EXPECT_EQ(state.table.tokenCount, 2) << "a deleted entry keeps its slot in the count";
}

TEST_F(TableEdit, CodesAreListedWithTheWidthOfTheTableType) {
  LoadLines(state, {u"TrTableType=DBCS", u"8140=あ", u"41=A"});
  EXPECT_EQ(TableListItemText(state.table, 0x8140), u"8140 = あ");
  EXPECT_EQ(TableListItemText(state.table, 0x41), u"0041 = A");
  SetTableTypeText(state, u"SBCS");
  EXPECT_EQ(TableListItemText(state.table, 0x41), u"41 = A");
  EXPECT_EQ(TableListItemText(state.table, 0x8140), u"8140 = あ") << "a wider code keeps its own digits";
  EXPECT_EQ(TableListItemCode(u"8140 = a = b"), u"8140");
  SetTableTypeText(state, u"dbcs");
  EXPECT_EQ(state.table.type, u"dbcs") << "stored as typed";
  SetTableComment(state, u"a=b");
  EXPECT_EQ(state.table.comment, u"a<$равно>b");
}

TEST_F(TableEdit, Win1251FillMakesAnEncodableTable) {
  FillTableFromWin1251(state);
  EXPECT_TRUE(state.table.isLoaded);
  EXPECT_EQ(state.table.tokenCount, 224);
  EXPECT_EQ(TableListCodes(state.table).size(), 224u);
  EXPECT_EQ(Encode(state, u"А"), (Bytes{0xC0}));
}

}  // namespace
