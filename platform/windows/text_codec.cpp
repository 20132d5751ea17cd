#include "platform/text_codec.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/ascii_text.h"

namespace sayolt::cp932 {

namespace {

constexpr UINT kCodePage = 932;

// nullopt when the bytes hold a sequence that is not valid in the code page.
std::optional<std::wstring> toWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return wide;
}

std::string wideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

// Character by character, so that each bad byte becomes U+FFFD on its own and decoding goes on
// with the next byte (a line break after a stray lead byte is still a line break).
std::wstring toWideReplacing(std::string_view bytes) {
  std::wstring wide;
  wide.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t length = 1;
    if (IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(bytes[i])) && i + 1 < bytes.size()) length = 2;
    wchar_t ch[2];
    const int n =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data() + i, static_cast<int>(length), ch, 2);
    if (n > 0) {
      wide.append(ch, static_cast<size_t>(n));
      i += length;
    } else {
      wide.push_back(L'\xFFFD');
      ++i;
    }
  }
  return wide;
}

}  // namespace

std::string toUtf8(std::string_view cp932Bytes) {
  if (isAscii(cp932Bytes)) return std::string(cp932Bytes);
  if (auto wide = toWide(kCodePage, cp932Bytes)) return wideToUtf8(*wide);
  return wideToUtf8(toWideReplacing(cp932Bytes));
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  const auto wide = toWide(CP_UTF8, utf8);
  if (!wide) return std::nullopt;
  const int size = static_cast<int>(wide->size());
  BOOL usedDefault = FALSE;
  const int length =
      WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide->data(), size, out.data(), length, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  // Storing a character that reads back as another would change the text.
  if (toUtf8(out) != utf8) return std::nullopt;
  return out;
}

}  // namespace sayolt::cp932
