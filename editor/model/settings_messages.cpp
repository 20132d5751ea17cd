#include "editor/model/settings_messages.h"

#include <string_view>

#include "platform/text_codec.h"

namespace sayolt::editor {

namespace {

std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::string quotedText(const std::string& text, const std::string& field) {
  return (field.empty() ? std::string() : field) + "「" + text + "」";
}

}  // namespace

std::string firstCharacterWithoutCodePage932Form(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    const std::string character = text.substr(i, length);
    if (!cp932::fromUtf8(character)) return character;
    i += length;
  }
  return {};
}

std::string settingsErrorMessage(const IniError& error, const std::string& field) {
  const std::string& subject = error.subject();
  switch (error.kind()) {
    case IniError::Kind::Unreadable:
      return "設定ファイル「" + subject +
             "」を読めませんでした。\n"
             "ファイルを読む権限があるか、\n"
             "ほかのプログラムが使っていないかを確かめてください。";
    case IniError::Kind::TooLarge:
      return "設定ファイル「" + subject + "」は大きすぎるため、読めませんでした。\n中身を確かめてください。";
    case IniError::Kind::Unwritable:
      return "設定ファイル「" + subject +
             "」に保存できませんでした。\n"
             "フォルダーとファイルに書き込む権限があるか、\n"
             "ほかのプログラムが使っていないかを確かめてください。";
    case IniError::Kind::NoCodePage932Form: {
      const std::string character = firstCharacterWithoutCodePage932Form(subject);
      if (character.empty()) return quotedText(subject, field) + "に設定ファイルで使えない文字があります。";
      return quotedText(subject, field) + "に設定ファイルで使えない文字「" + character +
             "」があります。\nその文字を別の文字に置き換えてください。";
    }
    case IniError::Kind::CannotStore:
      return quotedText(subject, field) + "は設定ファイルに保存できない形です。\n改行などを取り除いてください。";
    case IniError::Kind::Other:
      break;
  }
  return "設定ファイルを読み書きできませんでした。";
}

}  // namespace sayolt::editor
