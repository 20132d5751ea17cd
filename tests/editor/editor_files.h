#pragma once
// Settings files for the editor's page tests, written and read as UTF-8 text and stored in code
// page 932, so that a test can state the exact file it expects.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text_codec.h"
#include "tests/support/test_files.h"

namespace sayolt::test {

inline void writeIniText(const std::filesystem::path& path, std::string_view utf8) {
  const auto bytes = cp932::fromUtf8(utf8);
  if (!bytes) throw std::invalid_argument("no code page 932 form");
  writeBytes(path, *bytes);
}

inline std::string readIniText(const std::filesystem::path& path) { return cp932::toUtf8(readBytes(path)); }

// Sets the file's time far back, so that any later write shows in its modification time.
inline std::filesystem::file_time_type ageFile(const std::filesystem::path& path) {
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(path, old);
  return std::filesystem::last_write_time(path);
}

inline std::chrono::year_month_day ymd(int y, unsigned m, unsigned d) {
  return std::chrono::year{y} / std::chrono::month{m} / std::chrono::day{d};
}

}  // namespace sayolt::test
