#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace sayolt::cp932 {

// Code page 932 (Windows-31J) <-> UTF-8, as the Windows ANSI functions convert on Japanese systems.
// Bytes that do not decode become U+FFFD.
std::string toUtf8(std::string_view cp932Bytes);
// nullopt when some character has no code in code page 932.
std::optional<std::string> fromUtf8(std::string_view utf8);

}  // namespace sayolt::cp932
