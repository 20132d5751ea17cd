// Which texts the editor counts as a number.
#include "editor/model/number_rule.h"

#include <gtest/gtest.h>

namespace sayolt::editor {
namespace {

TEST(NumberRule, AcceptsWhatAJapaneseUserTypes) {
  for (const char* text :
       {"30", "+5", "-5", "1.5", ".5", "5.", " 7 ", "３０", "＋５", "－５", "１．５", "　３０　", "−3", "3０"})
    EXPECT_TRUE(isNumberText(text)) << text;
  EXPECT_EQ(normalizeNumberText("　３０　"), "30");
  EXPECT_EQ(normalizeNumberText("−3"), "-3");
}

TEST(NumberRule, RefusesWhatIsNoPlainDecimal) {
  for (const char* text : {"", " ", "　", "+", "-", ".", "1 2", "３ ０", "1e3", "0x10", "1,000", "１，０００", "¥5",
                           "5秒", "五", "--5", "+-5"})
    EXPECT_FALSE(isNumberText(text)) << text;
}

TEST(NumberRule, SixteenBitsRoundedHalvesToEven) {
  EXPECT_EQ(numberTextToInt16("２．５"), 2);
  EXPECT_EQ(numberTextToInt16("3.5"), 4);
  EXPECT_EQ(numberTextToInt16("-0.5"), 0);
  EXPECT_EQ(numberTextToInt16("32767"), 32767);
  EXPECT_EQ(numberTextToInt16("-32768"), -32768);
  EXPECT_FALSE(numberTextToInt16("32768").has_value());
  EXPECT_FALSE(numberTextToInt16("32767.5").has_value());
  EXPECT_FALSE(numberTextToInt16("abc").has_value());
}

}  // namespace
}  // namespace sayolt::editor
