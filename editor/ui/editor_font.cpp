#include "editor/ui/editor_font.h"

#include <QStringList>

namespace sayolt::editor::ui {

QFont editorFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Meiryo UI"), QStringLiteral("Yu Gothic UI"),
                    QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")});
  font.setPointSize(9);
  return font;
}

}  // namespace sayolt::editor::ui
