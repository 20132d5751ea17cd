// The editor's Japanese sentences for settings file errors.
#include "editor/model/settings_messages.h"

#include <gtest/gtest.h>

namespace sayolt::editor {
namespace {

using Kind = IniError::Kind;

bool hasAsciiLetters(const std::string& text) {
  for (unsigned char c : text)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return false;
}

TEST(SettingsMessages, FirstCharacterWithoutCodePage932Form) {
  EXPECT_EQ(firstCharacterWithoutCodePage932Form("한글メモ"), "한");
  EXPECT_EQ(firstCharacterWithoutCodePage932Form("メモ😀あ"), "😀");
  EXPECT_EQ(firstCharacterWithoutCodePage932Form("①メモ ﾃｽﾄ C:\\x"), "");
  EXPECT_EQ(firstCharacterWithoutCodePage932Form(""), "");
  EXPECT_EQ(firstCharacterWithoutCodePage932Form("a\xE3\x81"), "\xE3\x81");  // a cut sequence
}

TEST(SettingsMessages, EveryKindIsJapaneseAndNamesWhatItIsAbout) {
  const std::string file = "/home/u/Sayolt設定.ini";
  struct Case {
    IniError error;
    std::string field;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {IniError(Kind::NoCodePage932Form, "한글メモ", "text has no code page 932 form"), "プログラム名 3",
       "プログラム名 "
       "3「한글メモ」に設定ファイルで使えない文字「한」があります。\nその文字を別の文字に置き換えてください。"},
      {IniError(Kind::NoCodePage932Form, "한", "x"), "",
       "「한」に設定ファイルで使えない文字「한」があります。\n"
       "その文字を別の文字に置き換えてください。"},
      {IniError(Kind::CannotStore, "a\nb", "value cannot be stored"), "パス 1",
       "パス 1「a\nb」は設定ファイルに保存できない形です。\n改行などを取り除いてください。"},
  };
  for (const Case& c : cases) EXPECT_EQ(settingsErrorMessage(c.error, c.field), c.expected);

  for (Kind kind : {Kind::Unreadable, Kind::TooLarge, Kind::Unwritable}) {
    const std::string message = settingsErrorMessage(IniError(kind, file, "cannot read " + file));
    EXPECT_NE(message.find("設定ファイル「" + file + "」"), std::string::npos) << message;
    EXPECT_FALSE(hasAsciiLetters(message.substr(message.find("」")))) << message;
  }
  EXPECT_FALSE(hasAsciiLetters(settingsErrorMessage(IniError("some English"))));
}

}  // namespace
}  // namespace sayolt::editor
