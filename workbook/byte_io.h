#pragma once
// Little-endian reads and writes over byte strings, and UTF-8 <-> UTF-16 for the file's texts.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "workbook/workbook_error.h"

namespace sayolt::workbook {

inline void put8(std::string& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }
inline void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}
inline void put32(std::string& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}
inline void put64(std::string& out, std::uint64_t v) {
  put32(out, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
  put32(out, static_cast<std::uint32_t>(v >> 32));
}
inline void putDouble(std::string& out, double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  put64(out, bits);
}

// Reads throw WorkbookError past the end, so a short record never reads beyond its bytes.
inline std::uint8_t get8(std::string_view in, std::size_t at) {
  if (at >= in.size()) throw WorkbookError(kDamaged);
  return static_cast<std::uint8_t>(in[at]);
}
inline std::uint16_t get16(std::string_view in, std::size_t at) {
  return static_cast<std::uint16_t>(get8(in, at) | (get8(in, at + 1) << 8));
}
inline std::uint32_t get32(std::string_view in, std::size_t at) {
  return get16(in, at) | (static_cast<std::uint32_t>(get16(in, at + 2)) << 16);
}
inline std::uint64_t get64(std::string_view in, std::size_t at) {
  return get32(in, at) | (static_cast<std::uint64_t>(get32(in, at + 4)) << 32);
}
inline double getDouble(std::string_view in, std::size_t at) {
  const std::uint64_t bits = get64(in, at);
  double v = 0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

inline void set16(std::string& out, std::size_t at, std::uint16_t v) {
  if (at + 2 > out.size()) throw WorkbookError(kDamaged);
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}
inline void set32(std::string& out, std::size_t at, std::uint32_t v) {
  set16(out, at, static_cast<std::uint16_t>(v & 0xFFFF));
  set16(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// Invalid UTF-8 sequences become U+FFFD; names and labels come from settings texts.
std::u16string utf16FromUtf8(std::string_view text);
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace sayolt::workbook
