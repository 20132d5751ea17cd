#include "platform/text_codec.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "platform/ascii_text.h"

namespace sayolt::cp932 {

namespace {

// glibc's "CP932" is Windows-31J; "SHIFT_JIS" would turn 0x5C into a yen sign and reject ①.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == invalidDescriptor()) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  iconv_t get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  static iconv_t invalidDescriptor() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

// Opening a descriptor costs more than converting a whole settings file, so each thread keeps one.
iconv_t encoder() {
  thread_local Converter converter("CP932", "UTF-8");
  return converter.get();
}

// Decoding goes through a table made from glibc's converter (scripts/cp932-decode-table) rather
// than through iconv, which took a quarter of a whole settings read.
using namespace std::string_view_literals;
#include "platform/linux/cp932_decode_table.inc"

constexpr unsigned char kFirstTrail = 0x40;
constexpr unsigned char kLastTrail = 0xFC;

consteval bool everyRowHoldsEveryTrail() {
  for (const std::u16string_view row : kDoubleByteRows) {
    if (row.size() != kLastTrail - kFirstTrail + 1) return false;
  }
  return true;
}
static_assert(std::size(kDoubleByteRows) == 60 && everyRowHoldsEveryTrail());

// The table row of a lead byte, or -1.
constexpr int leadRow(unsigned char byte) {
  if (byte >= 0x81 && byte <= 0x9F) return byte - 0x81;
  if (byte >= 0xE0 && byte <= 0xFC) return byte - 0xE0 + (0x9F - 0x81 + 1);
  return -1;
}

constexpr char32_t kReplacement = 0xFFFD;

char* putUtf8(char32_t ch, char* dst) {
  if (ch < 0x80) {
    *dst++ = static_cast<char>(ch);
  } else if (ch < 0x800) {
    *dst++ = static_cast<char>(0xC0 | (ch >> 6));
    *dst++ = static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    *dst++ = static_cast<char>(0xE0 | (ch >> 12));
    *dst++ = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    *dst++ = static_cast<char>(0x80 | (ch & 0x3F));
  }
  return dst;
}

}  // namespace

std::string toUtf8(std::string_view cp932Bytes) {
  // ASCII is the same in both, and most lines of a settings file are ASCII only.
  if (isAscii(cp932Bytes)) return std::string(cp932Bytes);

  // One byte becomes at most three (half-width katakana, or U+FFFD for a bad byte).
  std::string out(cp932Bytes.size() * 3, '\0');
  char* dst = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(cp932Bytes.data());
  const auto* const end = p + cp932Bytes.size();
  while (p != end) {
    // ASCII runs are copied eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ull) != 0) break;
      std::memcpy(dst, &word, 8);
      p += 8;
      dst += 8;
    }
    while (p != end && *p < 0x80) *dst++ = static_cast<char>(*p++);
    if (p == end) break;
    const unsigned char byte = *p;
    const int row = leadRow(byte);
    if (row >= 0 && end - p >= 2 && p[1] >= kFirstTrail && p[1] <= kLastTrail) {
      const char16_t ch = kDoubleByteRows[row][p[1] - kFirstTrail];
      if (ch != 0) {
        dst = putUtf8(ch, dst);
        p += 2;
        continue;
      }
    }
    // A byte that starts no valid character stands for itself as U+FFFD; decoding goes on with
    // the next byte, so a line break after a stray lead byte is still a line break.
    dst = putUtf8(byte >= 0xA1 && byte <= 0xDF ? char32_t{0xFF61} + (byte - 0xA1) : kReplacement, dst);
    ++p;
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);

  iconv_t cd = encoder();
  // No character grows: UTF-8 uses at least as many bytes as code page 932 for every character.
  std::string out(utf8.size() + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  // glibc also maps some characters one way (U+00A5 to 0x5C, U+301C to 0x8160); Windows refuses
  // them without best fit, and storing them would change the text, so only round trips count.
  if (toUtf8(out) != utf8) return std::nullopt;
  return out;
}

}  // namespace sayolt::cp932
