#pragma once
// The question asked when a page with unsaved edits is closed by its frame.

namespace sayolt::editor {

// はい ends the editor without writing; いいえ stays on the page.
inline constexpr const char* kUnsavedQuestion = "この画面の変更は保存されていません。\n保存せずに終了しますか？";

}  // namespace sayolt::editor
