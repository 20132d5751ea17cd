#pragma once
// Window geometry is given in twips: 15 twips are one pixel at 100% scale; Qt scales for high DPI.
#include <QRect>

namespace sayolt::widgets {

constexpr int twips(int value) { return value / 15; }
inline QRect twipsRect(int left, int top, int width, int height) {
  return {twips(left), twips(top), twips(width), twips(height)};
}
// What a window's caption and borders take of its outer height.
constexpr int kFrameTwips = 405;

}  // namespace sayolt::widgets
