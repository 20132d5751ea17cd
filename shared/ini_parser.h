#pragma once
// The line model of a code page 932 settings file. Lines are parsed on their decoded text; each
// line also keeps its original bytes, so that lines nobody edits are written back byte for byte.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ascii_text.h"

namespace sayolt::ini {

enum class LineKind : std::uint8_t { Blank, Comment, Header, Entry };

// Where the parts of one line lie in its decoded text.
struct LineSyntax {
  LineKind kind = LineKind::Blank;
  bool hasValue = false;                       // an entry with "="
  std::uint32_t nameBegin = 0, nameEnd = 0;    // header: the section name; entry: the key
  std::uint32_t valueBegin = 0, valueEnd = 0;  // entry with "=": the value, blanks removed

  std::string_view name(std::string_view text) const { return text.substr(nameBegin, nameEnd - nameBegin); }
  std::string_view value(std::string_view text) const { return text.substr(valueBegin, valueEnd - valueBegin); }
};

// Inline: a settings read parses every line of the file, and the call with its result in memory
// cost more than the parse.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Names compare case-insensitively for the ASCII letters only (asciiLower); other bytes stay as they are.
inline std::string_view trimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The position of the first byte of text from pos on that equals a or b, or text.size(). Eight
// bytes at a time: a call of memchr or a byte loop per line was much of a settings read.
inline size_t findEither(std::string_view text, size_t pos, char a, char b) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    for (; pos + 8 <= text.size(); pos += 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + pos, 8);
      const std::uint64_t xa = word ^ (static_cast<unsigned char>(a) * kOnes);
      const std::uint64_t xb = word ^ (static_cast<unsigned char>(b) * kOnes);
      // The lowest high bit marks the first zero byte of xa or xb; higher ones may be false.
      const std::uint64_t zero = (((xa - kOnes) & ~xa) | ((xb - kOnes) & ~xb)) & (0x80 * kOnes);
      if (zero != 0) return pos + static_cast<size_t>(std::countr_zero(zero) / 8);
    }
  }
  while (pos < text.size() && text[pos] != a && text[pos] != b) ++pos;
  return pos;
}

inline LineSyntax parseLine(std::string_view text) {
  LineSyntax syntax;
  const auto n = static_cast<std::uint32_t>(text.size());
  std::uint32_t i = 0;
  while (i < n && isBlank(text[i])) ++i;
  if (i == n) return syntax;
  if (text[i] == ';') {
    syntax.kind = LineKind::Comment;
    return syntax;
  }
  auto trimmedRange = [&](std::uint32_t begin, std::uint32_t end, std::uint32_t& outBegin, std::uint32_t& outEnd) {
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    outBegin = begin;
    outEnd = end;
  };
  if (text[i] == '[') {
    const size_t close = findEither(text, i + 1, ']', ']');
    // Without "]" the line is no header (an entry, as Wine reads it).
    if (close != n) {
      syntax.kind = LineKind::Header;
      trimmedRange(i + 1, static_cast<std::uint32_t>(close), syntax.nameBegin, syntax.nameEnd);
      return syntax;
    }
  }
  syntax.kind = LineKind::Entry;
  const size_t eq = findEither(text, i, '=', '=');
  if (eq == n) {
    trimmedRange(i, n, syntax.nameBegin, syntax.nameEnd);
    return syntax;
  }
  syntax.hasValue = true;
  trimmedRange(i, static_cast<std::uint32_t>(eq), syntax.nameBegin, syntax.nameEnd);
  trimmedRange(static_cast<std::uint32_t>(eq) + 1, n, syntax.valueBegin, syntax.valueEnd);
  return syntax;
}

// Calls visit(lineText) for each line of text; CR, LF and CRLF all end a line. A final empty line
// (text ending in a line break) is not a line.
template <class Visit>
void forEachLine(std::string_view text, Visit&& visit) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = findEither(text, pos, '\r', '\n');
    visit(text.substr(pos, end - pos));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    pos = end + 1;
  }
}

// Bytes that the decoded text takes in code page 932, as the 254-byte and 1024-byte limits count
// them. Text decoded from the file: ASCII, half-width katakana and U+FFFD (one stray byte) take one.
size_t cp932Width(char32_t ch);
size_t cp932Length(std::string_view utf8);
// The longest prefix of text that takes at most maxBytes, never cutting a character.
std::string_view cp932Prefix(std::string_view utf8, size_t maxBytes);

// The file as lines grouped by section, editable with the effects of the Windows write calls.
// Texts in and out are UTF-8; the edit methods throw IniError and leave the document unchanged
// when a name or value would corrupt the file or has no code page 932 form.
class Document {
 public:
  explicit Document(std::string_view cp932Bytes);

  void set(std::string_view section, std::string_view key, std::string_view value);
  void deleteKey(std::string_view section, std::string_view key);
  void deleteSection(std::string_view section);
  void setSection(std::string_view section, const std::vector<std::string>& entries);

  std::string bytes() const;

 private:
  enum class LineBreak : std::uint8_t { None, CrLf, Lf, Cr };
  struct Line {
    std::string raw;   // code page 932, without the line break
    std::string text;  // UTF-8
    LineBreak lineBreak = LineBreak::CrLf;
    LineSyntax syntax;
  };
  struct Section {
    bool hasHeader = false;  // false only for the lines before the first header
    std::string foldedName;
    std::vector<Line> lines;  // lines[0] is the header
    // Folded key -> index in lines of its first entry; rebuilt after lines move.
    std::unordered_map<std::string, size_t> keyIndex;
    bool indexed = false;
  };

  static Line makeLine(std::string raw, std::string text, LineBreak lineBreak);
  static Line makeEntry(std::string_view key, std::string_view value);
  Section* findSection(std::string_view foldedName);
  const Line* findKey(Section& section, const std::string& foldedKey, size_t* index);
  Section& appendSection(std::string_view name);
  static size_t entriesEnd(const Section& section);
  void endLastLine();

  std::vector<Section> sections_;
};

}  // namespace sayolt::ini
