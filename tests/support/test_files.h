#pragma once
// What every test folder needs: a temporary folder of its own, whole-file bytes, and local
// moments written as text.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/time_types.h"
#include "shared/temp_folder.h"

namespace sayolt::test {

using TempFolder = sayolt::TempFolder;

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A moment on the local clock from "yyyy-mm-dd hh:mm:ss". 2027-01-04 is a Monday.
inline LocalTime localAt(const char* text) {
  const auto t = parseLocalDateTime(text);
  if (!t) throw std::invalid_argument(std::string("bad test moment ") + text);
  return *t;
}

}  // namespace sayolt::test
