// The settings engine's code page 932 conversion through MultiByteToWideChar and
// WideCharToMultiByte: every character of the code page, the bytes that are syntax elsewhere, and
// the texts that have no form in it.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_codec.h"

namespace sayolt {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool isLead(int byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

TEST(Win32Codepage932, EveryDoubleByteCharacterComesBackAsTheSameText) {
  int characters = 0, otherCode = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = cp932::toUtf8(bytes);
      if (text.find(kReplacement) != std::string::npos) continue;  // an unassigned code
      ++characters;
      const auto back = cp932::fromUtf8(text);
      ASSERT_TRUE(back.has_value()) << std::hex << lead << trail;
      // NEC-selected IBM extensions share characters with the IBM rows, which Windows prefers when
      // encoding; the text is the same either way.
      if (*back != bytes) ++otherCode;
      EXPECT_EQ(cp932::toUtf8(*back), text) << std::hex << lead << trail;
    }
  }
  EXPECT_GT(characters, 7000);
  EXPECT_GT(otherCode, 0);
  EXPECT_LT(otherCode, 500);
}

TEST(Win32Codepage932, TrailBytesThatAreSyntaxStayInsideTheirCharacter) {
  EXPECT_EQ(cp932::toUtf8("\x95\x5C"), "表");
  EXPECT_EQ(cp932::toUtf8("\x81\x5B"), "ー");
  EXPECT_EQ(cp932::toUtf8("\x81\x5D"), "‐");
  EXPECT_EQ(cp932::toUtf8("\x83\x41"), "ア");
  EXPECT_EQ(cp932::toUtf8("C:\\Tools\\x.exe"), "C:\\Tools\\x.exe");  // 0x5C is the backslash
  EXPECT_EQ(cp932::fromUtf8("表示ソース"), "\x95\x5C\x8E\xA6\x83\x5C\x81\x5B\x83\x58");
}

TEST(Win32Codepage932, ExtensionsAndHalfWidthKatakanaRoundTripToTheirBytes) {
  EXPECT_EQ(cp932::fromUtf8("①"), "\x87\x40");
  EXPECT_EQ(cp932::fromUtf8("㈱"), "\x87\x8A");
  EXPECT_EQ(cp932::fromUtf8("～"), "\x81\x60");  // U+FF5E, not the wave dash
  EXPECT_EQ(cp932::fromUtf8("ｱｲｳ"), "\xB1\xB2\xB3");
  EXPECT_EQ(cp932::toUtf8("\x87\x40\x87\x8A\x81\x60\xB1"), "①㈱～ｱ");
  EXPECT_EQ(cp932::fromUtf8("纊"), "\xFA\x5C");  // the IBM row, as Windows encodes it
  EXPECT_EQ(cp932::toUtf8("\xED\x40"), "纊");    // the NEC-selected row reads as the same
}

TEST(Win32Codepage932, TextWithoutAFormIsRefusedRatherThanBestFitted) {
  EXPECT_EQ(cp932::fromUtf8("¥"), std::nullopt);   // would read back as a backslash
  EXPECT_EQ(cp932::fromUtf8("〜"), std::nullopt);  // U+301C, would read back as U+FF5E
  EXPECT_EQ(cp932::fromUtf8("é"), std::nullopt);
  EXPECT_EQ(cp932::fromUtf8("€"), std::nullopt);
  EXPECT_EQ(cp932::fromUtf8("😀"), std::nullopt);
  EXPECT_EQ(cp932::fromUtf8("\xFF\xFE"), std::nullopt);  // not UTF-8 at all
}

TEST(Win32Codepage932, BadBytesBecomeOneReplacementEachAndLineBreaksSurvive) {
  EXPECT_EQ(cp932::toUtf8("\x81\r\nk=v"), std::string(kReplacement) + "\r\nk=v");
  EXPECT_EQ(cp932::toUtf8("a\xFD"
                          "b"),
            "a" + std::string(kReplacement) + "b");
  EXPECT_EQ(cp932::toUtf8("\x95"), std::string(kReplacement));  // a lead byte at the very end
  // Windows' own table gives 0x80 a character of its own, which therefore round-trips.
  EXPECT_EQ(cp932::toUtf8("\x80"), "\xC2\x80");
  EXPECT_EQ(cp932::fromUtf8("\xC2\x80"), "\x80");
}

}  // namespace
}  // namespace sayolt
