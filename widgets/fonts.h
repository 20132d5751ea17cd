#pragma once
#include <QFont>

namespace sayolt::widgets {

// Text is sized in pixels of the 100% scale, as the geometry is (twips / 15): a size in points
// becomes points * 96 / 72 pixels, so that no screen's DPI setting lets text outgrow its control.
int pixelsForPoints(double points);

// The Japanese UI font of every window, 9 points: the Windows fonts where installed, then Noto CJK.
QFont windowFont();

// A fixed-pitch Japanese font ("ＭＳ ゴシック" where installed) in which a full-width character is
// two spaces wide, so that columns made of spaces line up.
QFont fixedFont(double points);

}  // namespace sayolt::widgets
