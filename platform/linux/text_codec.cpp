#include "platform/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

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
iconv_t decoder() {
  thread_local Converter converter("UTF-8", "CP932");
  return converter.get();
}

iconv_t encoder() {
  thread_local Converter converter("CP932", "UTF-8");
  return converter.get();
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

std::string toUtf8(std::string_view cp932Bytes) {
  // ASCII is the same in both, and most lines of a settings file are ASCII only.
  if (isAscii(cp932Bytes)) return std::string(cp932Bytes);

  iconv_t cd = decoder();
  // One byte becomes at most three (half-width katakana, or U+FFFD for a bad byte).
  std::string out(cp932Bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(cp932Bytes.data());
  size_t inLeft = cp932Bytes.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) {
      throw std::runtime_error("code page 932 conversion failed");
    }
    // A byte that starts no valid character stands for itself as U+FFFD; decoding goes on with
    // the next byte, so a line break after a stray lead byte is still a line break.
    dst = std::copy(kReplacement.begin(), kReplacement.end(), dst);
    outLeft -= kReplacement.size();
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - outLeft);
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
