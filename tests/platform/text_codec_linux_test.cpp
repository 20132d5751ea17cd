// The code page 932 decoder's table against glibc's own converter, which it stands in for: every
// byte pair, pairs inside ASCII runs of every length around the eight-byte copy, and random bytes.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace sayolt {
namespace {

// Byte by byte through iconv, a bad byte becoming one U+FFFD.
std::string iconvToUtf8(std::string_view bytes) {
  static const iconv_t cd = iconv_open("UTF-8", "CP932");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    EXPECT_TRUE(errno == EILSEQ || errno == EINVAL) << errno;
    const std::string_view replacement = "\xEF\xBF\xBD";
    dst = std::copy(replacement.begin(), replacement.end(), dst);
    outLeft -= replacement.size();
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - outLeft);
  return out;
}

std::string hex(std::string_view bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    out += "0123456789ABCDEF"[c >> 4];
    out += "0123456789ABCDEF"[c & 15];
  }
  return out;
}

TEST(Cp932Decode, EveryByteAndBytePair_AsIconv) {
  int differences = 0;
  for (int first = 0; first < 256; ++first) {
    const std::string one{static_cast<char>(first)};
    if (cp932::toUtf8(one) != iconvToUtf8(one)) ++differences;
    for (int second = 0; second < 256 && differences < 10; ++second) {
      const std::string two{static_cast<char>(first), static_cast<char>(second)};
      // Also behind a non-ASCII byte and before one, where no eight-byte ASCII copy applies.
      for (const std::string& bytes : {two, "x" + two + "\xB1" + two}) {
        const std::string decoded = cp932::toUtf8(bytes);
        const std::string expected = iconvToUtf8(bytes);
        EXPECT_EQ(decoded, expected) << hex(bytes);
        if (decoded != expected) ++differences;
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(Cp932Decode, DoubleByteCharacterAfterAsciiRunOfEveryLength_AsIconv) {
  // 表 and ソ end in "\", ア in "A"; 0x95 at the end has no trail byte.
  for (const std::string_view tail : {"\x95\x5C", "\x83\x5C=\x83\x41", "\x95", "\x81\r\n", "\x81\x39", "\xFD"}) {
    for (size_t run = 0; run <= 24; ++run) {
      std::string bytes(run, 'k');
      for (size_t i = 0; i < run; i += 3) bytes[i] = static_cast<char>('0' + i % 10);
      bytes += tail;
      bytes += std::string(run % 9, 'v');
      EXPECT_EQ(cp932::toUtf8(bytes), iconvToUtf8(bytes)) << hex(bytes);
    }
  }
  EXPECT_EQ(cp932::toUtf8("01234567\x95\x5C"), "01234567表");
  EXPECT_EQ(cp932::toUtf8("0123456\x95"), "0123456\xEF\xBF\xBD");
  EXPECT_EQ(cp932::toUtf8("k=\x81\x39"),
            "k=\xEF\xBF\xBD"
            "9");
}

TEST(Cp932Decode, RandomBytesWeightedToLeadAndTrailBytes_AsIconv) {
  std::mt19937 random(932);
  // Lead bytes, trail bytes that are syntax or ASCII letters, half-width katakana, bytes that
  // decode to nothing, and line breaks.
  const std::string_view alphabet =
      "\x81\x82\x83\x87\x88\x95\x9F\xE0\xEA\xED\xEF\xF0\xFA\xFC\xFD\xFE\xFF\x80\xA0\xA1\xB1\xDF"
      "\x40\x5B\x5C\x5D\x7E\x7F\xA4\xFB=;[]\\ \t\r\nkAz09";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    const std::string decoded = cp932::toUtf8(bytes);
    const std::string expected = iconvToUtf8(bytes);
    ASSERT_EQ(decoded, expected) << hex(bytes);
  }
}

}  // namespace
}  // namespace sayolt
