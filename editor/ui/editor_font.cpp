#include "editor/ui/editor_font.h"

#include "widgets/fonts.h"

namespace sayolt::editor::ui {

QFont editorFont() { return widgets::windowFont(); }

}  // namespace sayolt::editor::ui
