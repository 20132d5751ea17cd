#pragma once
// ASCII-only text rules. The settings file's names, file endings and the OS's own files fold and
// trim ASCII alone; bytes of Japanese text in UTF-8 pass through untouched.
#include <string>
#include <string_view>

namespace sayolt {

inline std::string asciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

inline bool isAscii(std::string_view text) {
  for (const unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

// The text without the given characters at either end.
inline std::string_view trimAscii(std::string_view text, std::string_view blanks = " \t\r\n") {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace sayolt
