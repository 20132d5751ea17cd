#pragma once

namespace sayolt::widgets {

// Qt's own texts (the buttons of message boxes, the file dialog) in Japanese. Loaded once per
// process however often it is called; a missing translation leaves Qt's English.
void installJapaneseQtTranslation();

}  // namespace sayolt::widgets
