#pragma once
// File names arrive and leave as UTF-8 (arguments, settings values, output). A path built from a
// plain std::string goes through the ANSI code page on Windows and loses every character outside
// it, so every conversion goes through here.
#include <filesystem>
#include <string>
#include <string_view>

namespace sayolt {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace sayolt
