#pragma once
// Which texts the editor counts as a number; one rule for every numeric field.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sayolt::editor {

// A decimal number as a Japanese user types it: digits with an optional sign and decimal part,
// in half-width or full-width characters (an IME in full-width mode gives "３０"), with blanks
// (also the ideographic space) around it. Not accepted: exponents, hexadecimal, thousands
// separators, a sign alone.
bool isNumberText(std::string_view text);
// The text in half-width characters without the blanks; nullopt when it is not a number.
std::optional<std::string> normalizeNumberText(std::string_view text);
// Rounded to the nearest whole number, halves to the even one; nullopt when not a number or
// outside -32768..32767.
std::optional<std::int16_t> numberTextToInt16(std::string_view text);

}  // namespace sayolt::editor
