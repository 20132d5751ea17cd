#include "scheduler/ui/fonts.h"

#include <QStringList>

namespace sayolt::ui {

QFont japaneseFixedFont(double pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                    QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(pointSize);
  return font;
}

QFont japaneseWindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
  font.setPointSize(9);
  return font;
}

}  // namespace sayolt::ui
