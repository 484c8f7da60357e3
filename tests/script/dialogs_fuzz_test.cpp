// Random bytes and random delimiter settings through the dialogs-file reader:
// it must finish, keep its slots consistent and never read out of bounds.
#include <gtest/gtest.h>

#include <random>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "script/dialogs_file.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;

namespace {

// Few distinct characters, so delimiters and separators occur often.
constexpr char16_t kAlphabet[] = {u'\r', u'\n', u',', u'\u00A7', u'\u00B6', u'a', u'|', u' ', u'\u65E5'};

std::u16string RandomText(std::mt19937& rng, std::size_t maxLength) {
  std::u16string s(rng() % (maxLength + 1), u' ');
  for (auto& c : s) c = kAlphabet[rng() % std::size(kAlphabet)];
  return s;
}

std::u16string RandomFormat(std::mt19937& rng) {
  static const std::u16string_view names[] = {u"dlgID",         u"ExtractedFromAddr",
                                              u"PtrsAddrZones", u"dlgComments",
                                              u"dlgText",       u"Bogus",
                                              u" NewDlgAddr ",  u""};
  std::u16string f;
  for (unsigned n = rng() % 6; n > 0; --n) {
    if (!f.empty()) f += u",";
    f += names[rng() % std::size(names)];
  }
  return f;
}

void RandomSettings(std::mt19937& rng, Settings& s) {
  s.DialogDelimiterStr = RandomText(rng, 4);
  s.DialogAttrSeparator = RandomText(rng, 2);
  s.DialogAttrDelimStr = RandomText(rng, 4);
  s.TrDialogFileFormat = RandomFormat(rng);
}

void ExpectConsistent(const DialogSet& set) {
  EXPECT_GE(set.lastIndex, -1);
  EXPECT_LT(set.lastIndex, static_cast<std::int32_t>(set.records.size()));
}

TEST(DialogsFuzz, RandomTextAndSettingsNeverBreakTheReader) {
  std::mt19937 rng(20240611);
  ScriptedHost host;
  AppState state(host);
  for (int round = 0; round < 3000; ++round) {
    RandomSettings(rng, state.ctx.settings);
    std::u16string text = RandomText(rng, 200);
    auto pieces = SplitDialogPieces(text, state.ctx.settings.DialogDelimiterStr);
    DialogSet set = ParseDialogPieces(state, pieces);
    ExpectConsistent(set);
    EXPECT_LE(set.records.size(), text.size() + 1);

    // Whatever was read can be written and read again with the same settings.
    set.isLoaded = true;
    std::u16string again = DialogsFileText(set, state.ctx.settings);
    ExpectConsistent(ParseDialogPieces(state, SplitDialogPieces(again, state.ctx.settings.DialogDelimiterStr)));
    host.logLines.clear();
    state.ctx.log = LogWindow{};
  }
}

TEST(DialogsFuzz, RandomBytesLoadAndAppendFromFiles) {
  std::mt19937 rng(77);
  vorkat::testing::TempDir dir;
  ScriptedHost host;
  AppState state(host);
  for (int round = 0; round < 200; ++round) {
    RandomSettings(rng, state.ctx.settings);
    Bytes bytes(rng() % 400);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    if (round % 3 == 0 && bytes.size() >= 2) bytes[0] = 0xFF, bytes[1] = 0xFE;
    dir.Write("f.txt", bytes);
    state.dialogs.fileName = dir.File("f.txt");
    const std::vector<DialogRecord> before = state.dialogs.records;
    const bool wasLoaded = state.dialogs.isLoaded;
    if (round % 2)
      AppendDialogs(state, true);
    else
      LoadDialogs(state, true);
    ExpectConsistent(state.dialogs);
    // A file without a dialog is refused and changes nothing.
    if (state.ctx.log.text.find(u"не найдено ни одного диалога") != std::u16string::npos) {
      EXPECT_EQ(state.dialogs.records, before);
      EXPECT_EQ(state.dialogs.isLoaded, wasLoaded);
    } else {
      EXPECT_TRUE(state.dialogs.isLoaded);
    }
    EXPECT_FALSE(state.ctx.progress.visible);
    SaveDialogs(state, true);
    EXPECT_TRUE(dir.Exists("f.txt"));
    state.ctx.log = LogWindow{};
    host.logLines.clear();
  }
}

}  // namespace
