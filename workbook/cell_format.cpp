#include "workbook/cell_format.h"

#include "workbook/biff_records.h"
#include "workbook/byte_io.h"

namespace sayolt::workbook {

namespace {

constexpr std::uint8_t kUsedFont = 0x08;
constexpr std::uint8_t kUsedAlign = 0x10;
constexpr std::uint8_t kUsedBorder = 0x20;
constexpr std::uint32_t kAutoLineColour = 0x40;

std::uint8_t lineBits(Line line) { return static_cast<std::uint8_t>(line); }
std::uint32_t lineColour(Line line) { return line == Line::None ? 0 : kAutoLineColour; }

void markUsed(std::string& xf, std::uint8_t flag) {
  if (!isStyleXf(xf)) xf[9] = static_cast<char>(static_cast<std::uint8_t>(xf[9]) | flag);
}

}  // namespace

std::string cellXfBody(const CellXf& wanted) {
  std::string xf;
  put16(xf, wanted.font);
  put16(xf, wanted.format);
  put16(xf, 0x0001);                                                                    // locked; parent style XF 0
  put8(xf, static_cast<std::uint8_t>(static_cast<std::uint8_t>(wanted.align) | 0x20));  // bottom aligned
  put8(xf, 0);
  put8(xf, 0);
  put8(xf, 0xFC);  // every attribute its own
  put32(xf, 0);
  put32(xf, 0);
  put16(xf, 0x20C0);  // no fill: automatic colours
  setXfBorders(xf, wanted.borders);
  if (wanted.fill != 0) {
    set32(xf, 14, get32(xf, 14) | (1u << 26));  // solid pattern
    set16(xf, 18, static_cast<std::uint16_t>((0x41 << 7) | wanted.fill));
  }
  return xf;
}

std::string styleXfBody() {
  std::string xf;
  put16(xf, 0);
  put16(xf, 0);
  put16(xf, 0xFFF5);  // locked, style, no parent
  put8(xf, 0x20);
  put8(xf, 0);
  put8(xf, 0);
  put8(xf, 0);
  put32(xf, 0);
  put32(xf, 0);
  put16(xf, 0x20C0);
  return xf;
}

bool isStyleXf(std::string_view xf) { return (get16(xf, 4) & 0x0004) != 0; }
std::uint16_t xfFont(std::string_view xf) { return get16(xf, 0); }
HAlign xfAlign(std::string_view xf) { return static_cast<HAlign>(get8(xf, 6) & 0x07); }

Borders xfBorders(std::string_view xf) {
  const std::uint32_t lines = get32(xf, 10);
  return {static_cast<Line>(lines & 0xF), static_cast<Line>((lines >> 4) & 0xF), static_cast<Line>((lines >> 8) & 0xF),
          static_cast<Line>((lines >> 12) & 0xF)};
}

void setXfFont(std::string& xf, std::uint16_t font) {
  set16(xf, 0, font);
  markUsed(xf, kUsedFont);
}

void setXfAlign(std::string& xf, HAlign align) {
  xf[6] = static_cast<char>((static_cast<std::uint8_t>(xf[6]) & ~0x07) | static_cast<std::uint8_t>(align));
  markUsed(xf, kUsedAlign);
}

void setXfBorders(std::string& xf, const Borders& b) {
  // Diagonal lines keep their bits.
  std::uint32_t lines = get32(xf, 10) & 0xC0000000u;
  lines |= lineBits(b.left) | (lineBits(b.right) << 4) | (lineBits(b.top) << 8) | (lineBits(b.bottom) << 12);
  lines |= (lineColour(b.left) << 16) | (lineColour(b.right) << 23);
  set32(xf, 10, lines);
  std::uint32_t more = get32(xf, 14) & ~0x3FFFu;
  more |= lineColour(b.top) | (lineColour(b.bottom) << 7);
  set32(xf, 14, more);
  markUsed(xf, kUsedBorder);
}

std::string defaultFontBody() {
  std::string f;
  put16(f, 220);  // 11 pt in twips
  put16(f, 0);
  put16(f, kIcvAutomaticFont);
  put16(f, 400);  // normal weight
  put16(f, 0);    // no escapement
  put8(f, 0);     // no underline
  put8(f, 3);     // modern family
  put8(f, 128);   // Shift-JIS
  put8(f, 0);
  f += shortUnicodeString(u"ＭＳ Ｐゴシック");
  return f;
}

std::uint16_t fontColour(std::string_view font) { return get16(font, 4); }
void setFontColour(std::string& font, std::uint16_t icv) { set16(font, 4, icv); }

}  // namespace sayolt::workbook
