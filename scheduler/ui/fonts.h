#pragma once
#include <QFont>

namespace sayolt::ui {

// The fixed-pitch Japanese font of the schedule list: "ＭＳ ゴシック" where installed, otherwise a
// monospace CJK font in which a full-width character is two spaces wide, so columns line up.
QFont japaneseFixedFont(double pointSize);

// The font of the scheduler's windows: the Windows UI font where installed, otherwise Noto Sans CJK.
QFont japaneseWindowFont();

}  // namespace sayolt::ui
