#pragma once
#include <QFont>

namespace sayolt::editor::ui {

// The editor's Japanese UI font: the Windows fonts first, then Noto CJK.
QFont editorFont();

}  // namespace sayolt::editor::ui
