#include <gtest/gtest.h>

#include "core/numbers.h"
#include "core/text.h"

using namespace vorkat;

TEST(Text, Cp1251RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::u16string text = FromCp1251(all);
  EXPECT_EQ(text[0xC0], u'А');
  EXPECT_EQ(text[0xFF], u'я');
  EXPECT_EQ(text[0xA8], u'Ё');
  EXPECT_EQ(text[0xB9], u'№');
  EXPECT_EQ(ToCp1251(text), all);
}

TEST(Text, Cp1251CountsCharactersItLacks) {
  std::size_t replaced = 0;
  EXPECT_EQ(ToCp1251(u"aあb€", &replaced), std::string("a?b\x88"));
  EXPECT_EQ(replaced, 1u);
}

TEST(Text, Utf8RoundTripIncludingSurrogates) {
  std::u16string s = u"Привет あ 𝄞";
  EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
}

TEST(Text, SplitCrLfKeepsLoneLf) {
  auto lines = SplitCrLf(u"a\r\nb\nc\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], u"b\nc");
  EXPECT_EQ(lines[2], u"");
  EXPECT_TRUE(HasBareLfOnly(u"a\nb"));
  EXPECT_FALSE(HasBareLfOnly(u"a\r\nb\nc"));
}

TEST(Text, DecodeTextFileChoosesEncodingByMark) {
  const std::uint8_t utf16[] = {0xFF, 0xFE, 0x41, 0x00, 0x3F, 0x04};
  EXPECT_EQ(DecodeTextFile(utf16, sizeof utf16), u"Aп");
  const std::uint8_t ansi[] = {0xEF, 0x41};
  EXPECT_EQ(DecodeTextFile(ansi, sizeof ansi), u"пA");
  EXPECT_EQ(EncodeTextFile(u"Aп", true), Bytes(utf16, utf16 + 6));
}

TEST(Text, NumbersInMessagesHaveOneLeadingBlank) {
  EXPECT_EQ(NumText(95), u" 95");
  EXPECT_EQ(NumText(0), u" 0");
  EXPECT_EQ(NumText(-3), u"-3");
  EXPECT_EQ(HexText(0x7A1C30), u"7A1C30");
  EXPECT_EQ(HexText(0xA, 4), u"000A");
}

TEST(Text, CaseMappingCoversCyrillic) {
  EXPECT_EQ(UCase(u"абв ё abc"), u"АБВ Ё ABC");
  EXPECT_EQ(FindNoCase(u"xxTrTableType=", u"TRTABLETYPE"), 2u);
}

// The literal forms are covered with the address forms; here the corners of the decimal form.
TEST(ReadNumber, ExponentWithoutDigitsIsNotPartOfTheNumber) {
  EXPECT_EQ(ReadNumber(u"5e"), 5);
  EXPECT_EQ(ReadNumber(u"5e+"), 5);
  EXPECT_EQ(ReadNumber(u".5"), 0.5);
  EXPECT_EQ(ReadNumber(u"-"), 0);
}

TEST(ReadNumber, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(1e12), 2147483647);
  EXPECT_EQ(ReadInt(u"0.5"), 0);
  EXPECT_EQ(ReadInt(u"1.5"), 2);
}

// A typed "0x4000" once read as 0 and sent the dialogs over the ROM header.
TEST(ParseTypedInt, ReadsWhatPeopleTypeAndRefusesTheRest) {
  for (std::u16string_view same : {u"16384", u"&h4000", u"&H4000", u" 2.5 ", u"-7", u"1e3", u"&hFFFF", u"&h80000000"})
    EXPECT_EQ(ParseTypedInt(same), ReadInt(same)) << std::string(same.begin(), same.end());
  EXPECT_EQ(ParseTypedInt(u"0x4000"), 0x4000);
  EXPECT_EQ(ParseTypedInt(u"\t0X4000 "), 0x4000);
  EXPECT_EQ(ParseTypedInt(u"0x80000000"), ReadInt(u"&h80000000"));
  for (std::u16string_view bad : {u"", u"  ", u"0x", u"&h", u"$4000", u"4000h", u"12abc", u"0x40zz", u"1 000", u"&o17",
                                  u"0x123456789", u"1e400", u"99999999999", u"e5", u"."})
    EXPECT_EQ(ParseTypedInt(bad), std::nullopt) << std::string(bad.begin(), bad.end());
  const std::u16string refusal = NotANumberText(u"Команда FREESPACESTARTADDR", u"$4000");
  EXPECT_NE(refusal.find(u"FREESPACESTARTADDR"), std::u16string::npos);
  EXPECT_NE(refusal.find(u"$4000"), std::u16string::npos);
}
