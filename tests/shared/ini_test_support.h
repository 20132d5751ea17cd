#pragma once
// Code page 932 byte constants for the settings file tests.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "tests/support/test_files.h"

namespace sayolt::test {

// Code page 932 bytes of the names the tests use, one constant per word so that a hex escape
// never runs into the text after it.
inline constexpr std::string_view kHyou = "\x95\x5C";             // 表 (trail byte is "\")
inline constexpr std::string_view kChouon = "\x81\x5B";           // ー (trail byte is "[")
inline constexpr std::string_view kHyphen = "\x81\x5D";           // ‐ (trail byte is "]")
inline constexpr std::string_view kSo = "\x83\x5C";               // ソ
inline constexpr std::string_view kCircled1 = "\x87\x40";         // ①
inline constexpr std::string_view kKabu = "\x87\x8A";             // ㈱
inline constexpr std::string_view kWave = "\x81\x60";             // ～ U+FF5E
inline constexpr std::string_view kA = "\x82\xA0";                // あ
inline constexpr std::string_view kHalfA = "\xB1";                // ｱ
inline constexpr std::string_view kHoliday = "\x8F\x6A\x93\xFA";  // 祝日
inline constexpr std::string_view kRegistered1 =
    "\x93\x6F\x98\x5E\x93\xFA"
    "1";                                                                                           // 登録日1
inline constexpr std::string_view kStartEnd = "\x8B\x4E\x93\xAE\x8F\x49\x97\xB9\x8E\x9E\x8D\x8F";  // 起動終了時刻
inline constexpr std::string_view kFullA = "\x82\x60";                                             // Ａ
inline constexpr std::string_view kFullLowerA = "\x82\x81";                                        // ａ

inline std::string cat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out += part;
  return out;
}

}  // namespace sayolt::test
