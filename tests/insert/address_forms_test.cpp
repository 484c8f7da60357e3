#include <gtest/gtest.h>

#include "app/app.h"
#include "core/numbers.h"
#include "tests/support/scripted_host.h"
#include "insert/address_forms.h"

using namespace vorkat;

TEST(AddressForms, ReadNumberReadsDecimalAndHexLiterals) {
  EXPECT_EQ(ReadNumber(u"&h10"), 16);
  EXPECT_EQ(ReadNumber(u"16"), 16);
  EXPECT_EQ(ReadNumber(u"&H7a1c30"), 0x7A1C30);
  EXPECT_EQ(ReadNumber(u"&h10000"), 65536);
  EXPECT_EQ(ReadNumber(u"abc"), 0);
  EXPECT_EQ(ReadNumber(u""), 0);
  EXPECT_EQ(ReadNumber(u" 1 2\t3\n"), 123);
  EXPECT_EQ(ReadNumber(u"&o17"), 15);
  EXPECT_EQ(ReadNumber(u"-2.5E1x"), -25);
  EXPECT_EQ(ReadNumber(u"1D2"), 100);
  EXPECT_EQ(ReadNumber(u"12abc"), 12);
}

// Short hexadecimal literals are offsets and bounds, so they read unsigned;
// eight digits keep the signed 32-bit reading.
TEST(AddressForms, ShortHexLiteralsReadUnsigned) {
  EXPECT_EQ(ReadNumber(u"&hFFFF"), 65535);
  EXPECT_EQ(ReadNumber(u"&h8000"), 32768);
  EXPECT_EQ(ReadNumber(u"&h7FFF"), 32767);
  EXPECT_EQ(ReadNumber(u"&hFFFFFFFF"), -1);
  EXPECT_EQ(ReadNumber(u"&h80000000"), -2147483648.0);
  EXPECT_EQ(ReadInt(u"&hFFFF"), 65535);
}

TEST(AddressForms, ReadIntRoundsHalvesToEven) {
  EXPECT_EQ(ReadInt(u"2.5"), 2);
  EXPECT_EQ(ReadInt(u"3.5"), 4);
  EXPECT_EQ(ReadInt(u"-2.5"), -2);
  EXPECT_EQ(ReadInt(u"2.51"), 3);
  EXPECT_EQ(ReadInt(u"1e20"), 2147483647);
}

TEST(AddressForms, HexTextToLongReadsAddressTexts) {
  EXPECT_EQ(HexTextToLong(u"  7a1c30 "), 0x7A1C30);
  EXPECT_EQ(HexTextToLong(u"0"), 0);
  EXPECT_EQ(HexTextToLong(u""), -1);
  EXPECT_EQ(HexTextToLong(u"   "), -1);
  EXPECT_EQ(HexTextToLong(u"123456789"), -1);
  EXPECT_EQ(HexTextToLong(u"7FFFFFFF"), 0x7FFFFFFF);
  // A pair reads as far as its hexadecimal digits go: 1G is 1, G1 is 0.
  EXPECT_EQ(HexTextToLong(u"1G"), 1);
  EXPECT_EQ(HexTextToLong(u"G1"), 0);
  EXPECT_EQ(HexTextToLong(u"1G1G"), 0x0101);
}

TEST(AddressForms, HexTextToLongRejectsValuesBeyondSigned32Bits) {
  EXPECT_EQ(HexTextToLong(u"80000000"), -1);
  EXPECT_EQ(HexTextToLong(u"FFFFFFFF"), -1);
  EXPECT_EQ(HexTextToLong(u"8000000"), 0x8000000);
}

TEST(AddressForms, AddressTextRoundTrips) {
  EXPECT_EQ(LongToAddrText(0), u"0");
  EXPECT_EQ(LongToAddrText(0x7A1C30), u"7A1C30");
  for (std::int32_t x : {0, 1, 0xFF, 0x1000, 0x7A1C30, 0xFFFFFF, 0x1000000, 0x7FFFFFFF})
    EXPECT_EQ(HexTextToLong(LongToAddrText(x)), x) << x;
}

TEST(AddressForms, PointerTextsOfOffsets) {
  ScriptedHost host;
  AppState state(host);
  EXPECT_EQ(OffsetToPtrHexUnchecked(0x1C30), u"301C0008");
  EXPECT_EQ(OffsetToPtrHexUnchecked(0), u"00000008");
  EXPECT_EQ(OffsetToPtrHexUnchecked(0x7A1C30), u"301C7A08");
  EXPECT_EQ(OffsetToPtrHexUnchecked(0xFFFFFF), u"FFFFFF08");
  EXPECT_TRUE(host.logLines.empty());
}

// From 16 MiB on a pointer's last byte is 09; both forms read back, and a
// 09 text is a pointer, not a fault.
TEST(AddressForms, PointerTextsAcrossSixteenMiB) {
  ScriptedHost host;
  AppState state(host);
  const std::pair<std::int32_t, std::u16string_view> cases[] = {{0xFFFFFF, u"FFFFFF08"},
                                                                {0x1000000, u"00000009"},
                                                                {0x1FFFFFF, u"FFFFFF09"},
                                                                {0x17A1C30, u"301C7A09"}};
  for (const auto& [offset, text] : cases) {
    EXPECT_EQ(OffsetToPtrHexUnchecked(offset), text);
    EXPECT_EQ(PtrHexToOffset(text), offset);
    std::u16string padded(text);
    const auto bytes = PtrHexToBytes(state, padded);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(PointerTarget((*bytes)[0], (*bytes)[1], (*bytes)[2], (*bytes)[3]), offset);
    EXPECT_EQ(ReadPointerText(text).offset(), offset);
  }
  EXPECT_TRUE(host.logLines.empty());
  EXPECT_EQ(PointerTarget(0x30, 0x1C, 0x7A, 0x0A), -1);
  EXPECT_EQ(OffsetToPtrHexUnchecked(-1), u"FFFFFF08");  // an empty address still points nowhere
}

TEST(AddressForms, PtrHexToOffsetReadsThreePairs) {
  EXPECT_EQ(PtrHexToOffset(u"301C7A08"), 0x7A1C30);
  EXPECT_EQ(PtrHexToOffset(u"301C7A0"), -1);
  EXPECT_EQ(PtrHexToOffset(u"301C7A0A"), 0x7A1C30);
  EXPECT_EQ(PtrHexToOffset(u"301c7a08"), 0x7A1C30);
  EXPECT_EQ(PtrHexToOffset(u""), -1);
}

TEST(AddressForms, PointerFormsAgreeForEveryOffsetInReach) {
  ScriptedHost host;
  AppState state(host);
  for (std::int32_t x = 0; x < kPointerReach; x += 0x10101) {
    std::u16string text = OffsetToPtrHexUnchecked(x);
    auto bytes = PtrHexToBytes(state, text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ((*bytes)[0], x & 0xFF);
    EXPECT_EQ((*bytes)[1], (x >> 8) & 0xFF);
    EXPECT_EQ((*bytes)[2], (x >> 16) & 0xFF);
    EXPECT_EQ((*bytes)[3], x < kUpperPointerHalf ? 0x08 : 0x09);
    EXPECT_EQ(PtrHexToOffset(text), x);
  }
  EXPECT_TRUE(host.logLines.empty());
}

TEST(AddressForms, PtrHexToBytesReportsAndGoesOn) {
  ScriptedHost host;
  AppState state(host);

  std::u16string good = u"301C7A08";
  auto b = PtrHexToBytes(state, good);
  ASSERT_TRUE(b);
  EXPECT_EQ(*b, (std::array<std::uint8_t, 4>{0x30, 0x1C, 0x7A, 0x08}));
  EXPECT_TRUE(host.logLines.empty());

  std::u16string shortText = u"1C7A08";
  b = PtrHexToBytes(state, shortText);
  ASSERT_TRUE(b);
  EXPECT_EQ(shortText, u"001C7A08");
  EXPECT_EQ(*b, (std::array<std::uint8_t, 4>{0x00, 0x1C, 0x7A, 0x08}));
  ASSERT_EQ(host.logLines.size(), 1u);
  EXPECT_EQ(host.logLines[0],
            u"Видимо ошибка преобразования адреса вставки диалога в в строку...то, что передали короче чем хочется "
            u"(hhhhhh08) продолжаю...");

  std::u16string badEnd = u"301C7A0A";
  b = PtrHexToBytes(state, badEnd);
  ASSERT_TRUE(b);
  EXPECT_EQ(*b, (std::array<std::uint8_t, 4>{0x30, 0x1C, 0x7A, 0x0A}));
  ASSERT_EQ(host.logLines.size(), 2u);
  EXPECT_EQ(host.logLines[1],
            u"Видимо ошибка преобразования адреса вставки диалога в в строку...(то, что передали не кончается на "
            u"'08') продолжаю...");

  std::u16string empty;
  EXPECT_FALSE(PtrHexToBytes(state, empty));
  ASSERT_EQ(host.logLines.size(), 3u);
  EXPECT_EQ(host.logLines[2], u"Ошибка преобразования адреса вставки диалога в строку...(передали пустую строку)");

  // Both complaints for a short text that does not end in 08.
  std::u16string shortBad = u"7A0A";
  b = PtrHexToBytes(state, shortBad);
  ASSERT_TRUE(b);
  EXPECT_EQ(shortBad, u"00007A0A");
  EXPECT_EQ(host.logLines.size(), 5u);
}

TEST(AddressForms, OnePointerTextReadingForEveryUse) {
  const PointerText exact = ReadPointerText(u"301C7A08");
  EXPECT_EQ(exact.bytes, (std::array<std::uint8_t, 4>{0x30, 0x1C, 0x7A, 0x08}));
  EXPECT_EQ(exact.offset(), 0x7A1C30);
  EXPECT_TRUE(exact.wellFormed);

  // Short texts read padded; pairs read as far as their digits go, blanks skipped.
  const PointerText loose = ReadPointerText(u"1G 17a08");
  EXPECT_EQ(loose.bytes, (std::array<std::uint8_t, 4>{0x01, 0x01, 0x7A, 0x08}));
  EXPECT_FALSE(loose.wellFormed);
  EXPECT_EQ(ReadPointerText(u"1C7A08").bytes, (std::array<std::uint8_t, 4>{0x00, 0x1C, 0x7A, 0x08}));
  EXPECT_FALSE(ReadPointerText(u"301C7A0").wellFormed);
  EXPECT_FALSE(ReadPointerText(u"301C7A0G").wellFormed);
  EXPECT_EQ(PtrHexToOffset(u"G11C7A08"), 0x7A1C00);
}
