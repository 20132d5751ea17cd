#include "shared/ini_parser.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "platform/text_codec.h"
#include "shared/ini_file.h"

namespace sayolt::ini {

namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool hasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A "]" would end the header early, a line break would split it.
void checkSectionName(std::string_view name) {
  if (name.empty()) throw IniError(IniError::Kind::CannotStore, std::string(name), "empty section name");
  if (name.find(']') != std::string_view::npos || hasLineBreakOrNul(name)) {
    throw IniError(IniError::Kind::CannotStore, std::string(name), "section name cannot be stored: " + quoted(name));
  }
}

// A "=" would move the split, a leading ";" or "[" would turn the line into a comment or header.
void checkKeyName(std::string_view key) {
  if (key.empty()) throw IniError(IniError::Kind::CannotStore, std::string(key), "empty key name");
  if (key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[' || hasLineBreakOrNul(key)) {
    throw IniError(IniError::Kind::CannotStore, std::string(key), "key name cannot be stored: " + quoted(key));
  }
}

void checkValue(std::string_view value) {
  if (hasLineBreakOrNul(value))
    throw IniError(IniError::Kind::CannotStore, std::string(value),
                   "value cannot be stored on one line: " + quoted(value));
}

std::string encode(std::string_view utf8) {
  std::optional<std::string> bytes = cp932::fromUtf8(utf8);
  if (!bytes)
    throw IniError(IniError::Kind::NoCodePage932Form, std::string(utf8),
                   "text has no code page 932 form: " + quoted(utf8));
  return std::move(*bytes);
}

struct RawLine {
  std::string_view text;
  char breakChar;  // '\0' none, 'c' CRLF, '\n', '\r'
};

std::vector<RawLine> splitLines(std::string_view text) {
  std::vector<RawLine> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.push_back({text.substr(pos), '\0'});
      break;
    }
    char kind = text[end];
    size_t next = end + 1;
    if (kind == '\r' && next < text.size() && text[next] == '\n') {
      kind = 'c';
      ++next;
    }
    lines.push_back({text.substr(pos, end - pos), kind});
    pos = next;
  }
  return lines;
}

// The name of an entry line in the line's own bytes. "=" and blanks are never part of a
// double-byte character, so the bytes split where the decoded text does.
std::string_view rawEntryName(std::string_view raw) {
  size_t begin = 0;
  while (begin < raw.size() && isBlank(raw[begin])) ++begin;
  size_t end = raw.find('=', begin);
  if (end == std::string_view::npos) end = raw.size();
  while (end > begin && isBlank(raw[end - 1])) --end;
  return raw.substr(begin, end - begin);
}

}  // namespace

size_t cp932Width(char32_t ch) {
  if (ch < 0x80 || ch == 0xFFFD || (ch >= 0xFF61 && ch <= 0xFF9F)) return 1;
  return 2;
}

namespace {

// Calls visit(width, length) for each UTF-8 character until visit returns false; returns the bytes
// of utf8 that were accepted.
template <class Visit>
size_t forEachChar(std::string_view utf8, Visit&& visit) {
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    size_t length = 1;
    char32_t ch = lead;
    if (lead >= 0xF0) {
      length = 4;
      ch = lead & 0x07;
    } else if (lead >= 0xE0) {
      length = 3;
      ch = lead & 0x0F;
    } else if (lead >= 0xC0) {
      length = 2;
      ch = lead & 0x1F;
    }
    if (pos + length > utf8.size()) length = utf8.size() - pos;
    for (size_t k = 1; k < length; ++k) ch = (ch << 6) | (static_cast<unsigned char>(utf8[pos + k]) & 0x3F);
    if (!visit(cp932Width(ch))) break;
    pos += length;
  }
  return pos;
}

}  // namespace

size_t cp932Length(std::string_view utf8) {
  size_t width = 0;
  forEachChar(utf8, [&](size_t w) {
    width += w;
    return true;
  });
  return width;
}

std::string_view cp932Prefix(std::string_view utf8, size_t maxBytes) {
  // No character takes more bytes in code page 932 than in UTF-8.
  if (utf8.size() <= maxBytes) return utf8;
  size_t width = 0;
  const size_t accepted = forEachChar(utf8, [&](size_t w) {
    width += w;
    return width <= maxBytes;
  });
  return utf8.substr(0, accepted);
}

// ---- Document ----

Document::Line Document::makeLine(std::string raw, std::string text, LineBreak lineBreak) {
  Line line;
  line.raw = std::move(raw);
  line.text = std::move(text);
  line.lineBreak = lineBreak;
  line.syntax = parseLine(line.text);
  return line;
}

Document::Line Document::makeEntry(std::string_view key, std::string_view value) {
  std::string raw = encode(key) + "=" + encode(value);
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  return makeLine(std::move(raw), std::move(text), LineBreak::CrLf);
}

Document::Document(std::string_view cp932Bytes) {
  const std::string text = cp932::toUtf8(cp932Bytes);
  const std::vector<RawLine> rawLines = splitLines(cp932Bytes);
  const std::vector<RawLine> textLines = splitLines(text);
  // Decoding keeps every CR and LF and makes none, so the two splits pair up line for line.
  const bool paired = rawLines.size() == textLines.size();

  sections_.emplace_back();
  for (size_t i = 0; i < rawLines.size(); ++i) {
    const RawLine& raw = rawLines[i];
    LineBreak lineBreak = raw.breakChar == 'c'    ? LineBreak::CrLf
                          : raw.breakChar == '\n' ? LineBreak::Lf
                          : raw.breakChar == '\r' ? LineBreak::Cr
                                                  : LineBreak::None;
    std::string lineText = paired ? std::string(textLines[i].text) : cp932::toUtf8(raw.text);
    Line line = makeLine(std::string(raw.text), std::move(lineText), lineBreak);
    if (line.syntax.kind == LineKind::Header) {
      Section& section = sections_.emplace_back();
      section.hasHeader = true;
      section.foldedName = asciiLower(line.syntax.name(line.text));
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

std::string Document::bytes() const {
  size_t size = 0;
  for (const Section& section : sections_) {
    for (const Line& line : section.lines) size += line.raw.size() + 2;
  }
  std::string out;
  out.reserve(size);
  for (const Section& section : sections_) {
    for (const Line& line : section.lines) {
      out += line.raw;
      switch (line.lineBreak) {
        case LineBreak::CrLf:
          out += "\r\n";
          break;
        case LineBreak::Lf:
          out += '\n';
          break;
        case LineBreak::Cr:
          out += '\r';
          break;
        case LineBreak::None:
          break;
      }
    }
  }
  return out;
}

Document::Section* Document::findSection(std::string_view foldedName) {
  for (Section& section : sections_) {
    if (section.hasHeader && section.foldedName == foldedName) return &section;
  }
  return nullptr;
}

const Document::Line* Document::findKey(Section& section, const std::string& foldedKey, size_t* index) {
  if (!section.indexed) {
    section.keyIndex.clear();
    for (size_t i = 1; i < section.lines.size(); ++i) {
      const Line& line = section.lines[i];
      if (line.syntax.kind == LineKind::Entry) {
        section.keyIndex.try_emplace(asciiLower(line.syntax.name(line.text)), i);
      }
    }
    section.indexed = true;
  }
  const auto found = section.keyIndex.find(foldedKey);
  if (found == section.keyIndex.end()) return nullptr;
  *index = found->second;
  return &section.lines[found->second];
}

size_t Document::entriesEnd(const Section& section) {
  size_t end = section.lines.size();
  while (end > 1 && section.lines[end - 1].syntax.kind != LineKind::Entry) --end;
  return end;
}

// The file's last line gets a line break before anything is added after it.
void Document::endLastLine() {
  for (auto section = sections_.rbegin(); section != sections_.rend(); ++section) {
    if (section->lines.empty()) continue;
    Line& last = section->lines.back();
    if (last.lineBreak == LineBreak::None) last.lineBreak = LineBreak::CrLf;
    return;
  }
}

Document::Section& Document::appendSection(std::string_view name) {
  // Appended rather than added up: GCC 12 at -O3 takes "[" + name for an overlapping copy.
  std::string text = "[";
  text.append(name).append("]");
  // Encoded before anything changes, so a refusal leaves the document as it was.
  std::string raw = encode(text);
  endLastLine();
  Section& section = sections_.emplace_back();
  section.hasHeader = true;
  section.foldedName = asciiLower(name);
  section.lines.push_back(makeLine(std::move(raw), std::move(text), LineBreak::CrLf));
  section.indexed = false;
  return section;
}

void Document::set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view name = trimBlanks(section);
  const std::string_view keyName = trimBlanks(key);
  checkSectionName(name);
  checkKeyName(keyName);
  checkValue(value);
  Line entry = makeEntry(keyName, value);
  const std::string foldedKey = asciiLower(keyName);

  Section* target = findSection(asciiLower(name));
  if (target == nullptr) {
    appendSection(name).lines.push_back(std::move(entry));
    return;
  }
  size_t index = 0;
  if (const Line* existing = findKey(*target, foldedKey, &index)) {
    if (existing->syntax.hasValue && existing->syntax.value(existing->text) == value) return;
    // Rewritten in place with the key as the file spells it.
    const std::string_view valueBytes = std::string_view(entry.raw).substr(entry.raw.find('=') + 1);
    std::string raw = std::string(rawEntryName(existing->raw)) + "=" + std::string(valueBytes);
    std::string text = std::string(existing->syntax.name(existing->text)) + "=" + std::string(value);
    target->lines[index] = makeLine(std::move(raw), std::move(text), existing->lineBreak);
    return;
  }
  // After the section's last entry; blank and comment lines after it stay below the new key.
  const size_t at = entriesEnd(*target);
  if (target->lines[at - 1].lineBreak == LineBreak::None) target->lines[at - 1].lineBreak = LineBreak::CrLf;
  target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  // Only blank and comment lines moved, so the index of every entry still holds.
  if (target->indexed) target->keyIndex.try_emplace(foldedKey, at);
}

void Document::deleteKey(std::string_view section, std::string_view key) {
  const std::string_view name = trimBlanks(section);
  const std::string_view keyName = trimBlanks(key);
  encode(name);
  encode(keyName);
  Section* target = findSection(asciiLower(name));
  if (target == nullptr) return;
  size_t index = 0;
  if (findKey(*target, asciiLower(keyName), &index) == nullptr) return;
  target->lines.erase(target->lines.begin() + static_cast<std::ptrdiff_t>(index));
  target->indexed = false;
}

void Document::deleteSection(std::string_view section) {
  const std::string_view name = trimBlanks(section);
  encode(name);
  Section* target = findSection(asciiLower(name));
  if (target == nullptr) return;
  sections_.erase(sections_.begin() + (target - sections_.data()));
}

void Document::setSection(std::string_view section, const std::vector<std::string>& entries) {
  const std::string_view name = trimBlanks(section);
  checkSectionName(name);
  std::vector<Line> lines;
  lines.reserve(entries.size());
  for (const std::string& entry : entries) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos) continue;
    const std::string_view keyName = trimBlanks(std::string_view(entry).substr(0, eq));
    const std::string_view value = std::string_view(entry).substr(eq + 1);
    checkKeyName(keyName);
    checkValue(value);
    lines.push_back(makeEntry(keyName, value));
  }

  Section* target = findSection(asciiLower(name));
  if (target == nullptr) {
    Section& added = appendSection(name);
    std::move(lines.begin(), lines.end(), std::back_inserter(added.lines));
    return;
  }
  // The entries and whatever lies between them are replaced; blank and comment lines after the
  // last entry (usually about the next section) stay.
  const size_t end = entriesEnd(*target);
  target->lines.erase(target->lines.begin() + 1, target->lines.begin() + static_cast<std::ptrdiff_t>(end));
  if (!lines.empty() && target->lines[0].lineBreak == LineBreak::None) {
    target->lines[0].lineBreak = LineBreak::CrLf;
  }
  target->lines.insert(target->lines.begin() + 1, std::make_move_iterator(lines.begin()),
                       std::make_move_iterator(lines.end()));
  target->indexed = false;
}

}  // namespace sayolt::ini
