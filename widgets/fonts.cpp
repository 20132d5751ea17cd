#include "widgets/fonts.h"

#include <QStringList>
#include <cmath>

namespace sayolt::widgets {

int pixelsForPoints(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

QFont windowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Meiryo UI"), QStringLiteral("Yu Gothic UI"),
                    QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                    QStringLiteral("sans-serif")});
  font.setPixelSize(pixelsForPoints(9));
  return font;
}

QFont fixedFont(double points) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                    QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(pixelsForPoints(points));
  return font;
}

}  // namespace sayolt::widgets
