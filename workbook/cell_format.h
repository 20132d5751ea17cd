#pragma once
// Cell formats (XF records) and fonts: building them, and changing one attribute of an
// existing one while keeping the rest (a user's fill or number format survives a rebuild).
#include <cstdint>
#include <string>
#include <string_view>

namespace sayolt::workbook {

enum class HAlign : std::uint8_t { General = 0, Left = 1, Centre = 2, Right = 3 };
enum class Line : std::uint8_t { None = 0, Thin = 1, Hair = 7 };

struct Borders {
  Line left = Line::None, right = Line::None, top = Line::None, bottom = Line::None;
  bool operator==(const Borders&) const = default;
};

inline constexpr Borders kAllThin{Line::Thin, Line::Thin, Line::Thin, Line::Thin};

// Palette colours (icv): the spreadsheet's colour index n is icv n + 7.
inline constexpr std::uint16_t kIcvRed = 10;
inline constexpr std::uint16_t kIcvLightGreen = 42;
inline constexpr std::uint16_t kIcvLightTurquoise = 41;
inline constexpr std::uint16_t kIcvLightYellow = 43;
inline constexpr std::uint16_t kIcvRose = 45;
inline constexpr std::uint16_t kIcvAutomaticFont = 0x7FFF;

inline constexpr std::uint16_t kFormatTime = 164;     // "h:mm"
inline constexpr std::uint16_t kFormatWeekday = 165;  // date with the Japanese weekday
inline constexpr std::uint16_t kDefaultCellXf = 15;
inline constexpr std::size_t kXfSize = 20;

struct CellXf {
  std::uint16_t font = 0;  // font index, 4 skipped
  std::uint16_t format = 0;
  HAlign align = HAlign::General;
  Borders borders;
  std::uint16_t fill = 0;  // palette colour of a solid fill; 0 = no fill
};

std::string cellXfBody(const CellXf& xf);  // parent: the Normal style
std::string styleXfBody();                 // the Normal style and the 14 outline styles

bool isStyleXf(std::string_view xf);
std::uint16_t xfFont(std::string_view xf);
HAlign xfAlign(std::string_view xf);
Borders xfBorders(std::string_view xf);
void setXfFont(std::string& xf, std::uint16_t font);
void setXfAlign(std::string& xf, HAlign align);
void setXfBorders(std::string& xf, const Borders& borders);

// ＭＳ Ｐゴシック 11 pt, Shift-JIS character set.
std::string defaultFontBody();
std::uint16_t fontColour(std::string_view font);
void setFontColour(std::string& font, std::uint16_t icv);

}  // namespace sayolt::workbook
