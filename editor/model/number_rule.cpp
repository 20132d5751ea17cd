#include "editor/model/number_rule.h"

#include "shared/text_rules.h"

namespace sayolt::editor {

namespace {

// The half-width character a full-width one stands for; 0 when it is none of ours.
char halfWidthOf(std::string_view text, std::size_t at) {
  const std::string_view c = text.substr(at, 3);
  if (c.size() < 3) return 0;
  const auto b0 = static_cast<unsigned char>(c[0]);
  const auto b1 = static_cast<unsigned char>(c[1]);
  const auto b2 = static_cast<unsigned char>(c[2]);
  if (b0 == 0xEF && b1 == 0xBC) {
    if (b2 >= 0x90 && b2 <= 0x99) return static_cast<char>('0' + (b2 - 0x90));  // ０..９
    if (b2 == 0x8B) return '+';                                                 // ＋
    if (b2 == 0x8D) return '-';                                                 // －
    if (b2 == 0x8E) return '.';                                                 // ．
  }
  if (c == "\xE2\x88\x92") return '-';  // − (U+2212), which some IMEs give for a minus
  if (c == "\xE3\x80\x80") return ' ';  // ideographic space
  return 0;
}

}  // namespace

std::optional<std::string> normalizeNumberText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const char half = halfWidthOf(text, i)) {
      out.push_back(half);
      i += 3;
    } else {
      out.push_back(text[i]);
      ++i;
    }
  }
  // The shared rule allows blanks only around the number, not inside it.
  if (!isNumeric(out)) return std::nullopt;
  const auto first = out.find_first_not_of(" \t");
  const auto last = out.find_last_not_of(" \t");
  return out.substr(first, last - first + 1);
}

bool isNumberText(std::string_view text) { return normalizeNumberText(text).has_value(); }

std::optional<std::int16_t> numberTextToInt16(std::string_view text) {
  const auto normal = normalizeNumberText(text);
  if (!normal) return std::nullopt;
  return toInt16(*normal);
}

}  // namespace sayolt::editor
