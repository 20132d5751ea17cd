#include "editor/ui/editor_font.h"

#include <QStringList>

namespace sayolt::editor::ui {

QFont editorFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Meiryo UI"), QStringLiteral("Yu Gothic UI"),
                    QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")});
  // 9 points at 100%: the geometry is in pixels of that scale, so the text must be too.
  font.setPixelSize(12);
  return font;
}

}  // namespace sayolt::editor::ui
