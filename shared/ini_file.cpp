#include "shared/ini_file.h"

#include <cstdint>
#include <fstream>
#include <system_error>
#include <unordered_map>

#include "platform/file_replace.h"
#include "platform/text_codec.h"
#include "shared/ini_parser.h"

namespace sayolt {

namespace {

constexpr size_t kKeyBufferBytes = 255;       // GetPrivateProfileStringA's buffer, NUL included
constexpr size_t kSectionBufferBytes = 1024;  // GetPrivateProfileSectionA's buffer
// Far beyond any settings file; keeps the 32-bit offsets of the parsed text valid.
constexpr std::streamoff kMaxFileBytes = std::streamoff{64} << 20;

std::string displayName(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

IniError unreadable(const std::filesystem::path& path) {
  return IniError(IniError::Kind::Unreadable, displayName(path), "cannot read " + displayName(path));
}

struct FileContent {
  bool exists = false;
  std::string bytes;
};

FileContent readFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return {};
  if (error || !std::filesystem::is_regular_file(status)) {
    throw unreadable(path);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw unreadable(path);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw unreadable(path);
  if (size > kMaxFileBytes)
    throw IniError(IniError::Kind::TooLarge, displayName(path), "too large for a settings file: " + displayName(path));
  in.seekg(0, std::ios::beg);
  FileContent content{true, std::string(static_cast<size_t>(size), '\0')};
  in.read(content.bytes.data(), size);
  if (in.gcount() != size) throw unreadable(path);
  return content;
}

// A value in quotes has one pair removed, as the key read of Windows does.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

// ---- IniSnapshot ----

struct IniSnapshot::Impl {
  struct Entry {
    std::uint32_t nameBegin, nameEnd, valueBegin, valueEnd;
    bool hasValue;
  };
  struct Section {
    std::vector<Entry> entries;
    std::unordered_map<std::string_view, std::uint32_t> keys;  // folded name -> first entry
  };

  std::string text;    // the decoded file
  std::string folded;  // the same with ASCII letters in lower case; the maps' names point into it
  std::vector<Section> sections;
  std::unordered_map<std::string_view, std::uint32_t> sectionIndex;  // folded name -> first section

  std::string_view textAt(std::uint32_t begin, std::uint32_t end) const {
    return std::string_view(text).substr(begin, end - begin);
  }

  const Section* find(std::string_view section) const {
    const auto found = sectionIndex.find(asciiLower(ini::trimBlanks(section)));
    return found == sectionIndex.end() ? nullptr : &sections[found->second];
  }

  void parse() {
    folded = asciiLower(text);
    constexpr std::uint32_t kNone = UINT32_MAX;
    std::uint32_t current = kNone;  // the section whose entries count, or none
    ini::forEachLine(text, [&](std::string_view line) {
      const auto offset = static_cast<std::uint32_t>(line.data() - text.data());
      const ini::LineSyntax syntax = ini::parseLine(line);
      if (syntax.kind == ini::LineKind::Header) {
        const std::string_view name =
            std::string_view(folded).substr(offset + syntax.nameBegin, syntax.nameEnd - syntax.nameBegin);
        // Only the first section of a name counts; the lines of a later one are never read.
        const auto added = sectionIndex.try_emplace(name, static_cast<std::uint32_t>(sections.size())).second;
        if (added) sections.emplace_back();
        current = added ? static_cast<std::uint32_t>(sections.size() - 1) : kNone;
      } else if (syntax.kind == ini::LineKind::Entry && current != kNone) {
        Section& section = sections[current];
        const Entry entry{offset + syntax.nameBegin, offset + syntax.nameEnd, offset + syntax.valueBegin,
                          offset + syntax.valueEnd, syntax.hasValue};
        section.keys.try_emplace(std::string_view(folded).substr(entry.nameBegin, entry.nameEnd - entry.nameBegin),
                                 static_cast<std::uint32_t>(section.entries.size()));
        section.entries.push_back(entry);
      }
    });
  }
};

IniSnapshot::IniSnapshot() : impl_(std::make_unique<Impl>()) {}
IniSnapshot::~IniSnapshot() = default;
IniSnapshot::IniSnapshot(IniSnapshot&&) noexcept = default;
IniSnapshot& IniSnapshot::operator=(IniSnapshot&&) noexcept = default;

IniSnapshot IniSnapshot::load(const std::filesystem::path& path) { return fromBytes(readFile(path).bytes); }

IniSnapshot IniSnapshot::fromBytes(std::string_view cp932Bytes) {
  IniSnapshot snapshot;
  snapshot.impl_->text = cp932::toUtf8(cp932Bytes);
  snapshot.impl_->parse();
  return snapshot;
}

std::string IniSnapshot::get(std::string_view section, std::string_view key) const {
  if (!impl_) return {};
  const Impl::Section* found = impl_->find(section);
  if (found == nullptr) return {};
  const auto entry = found->keys.find(asciiLower(ini::trimBlanks(key)));
  if (entry == found->keys.end()) return {};
  const Impl::Entry& e = found->entries[entry->second];
  if (!e.hasValue) return {};
  return std::string(ini::cp932Prefix(unquote(impl_->textAt(e.valueBegin, e.valueEnd)), kKeyBufferBytes - 1));
}

std::vector<std::string> IniSnapshot::getWholeSection(std::string_view section) const {
  std::vector<std::string> entries;
  if (!impl_) return entries;
  const Impl::Section* found = impl_->find(section);
  if (found == nullptr) return entries;
  for (const Impl::Entry& e : found->entries) {
    std::string text(impl_->textAt(e.nameBegin, e.nameEnd));
    if (e.hasValue) text.append("=").append(impl_->textAt(e.valueBegin, e.valueEnd));
    entries.push_back(std::move(text));
  }
  return entries;
}

std::vector<std::string> IniSnapshot::getSection(std::string_view section) const {
  std::vector<std::string> entries = getWholeSection(section);
  size_t utf8Size = 1;
  for (const std::string& text : entries) utf8Size += text.size() + 1;
  // Every entry ends in a NUL, and one more ends the list. UTF-8 is never shorter than code page
  // 932, so a list that fits in UTF-8 fits in the buffer.
  if (utf8Size <= kSectionBufferBytes) return entries;
  size_t total = 1;
  for (const std::string& text : entries) total += ini::cp932Length(text) + 1;
  if (total <= kSectionBufferBytes) return entries;
  // Too long: the text is cut so that two NULs end the buffer, the last entry possibly cut short.
  size_t room = kSectionBufferBytes - 2;
  size_t kept = 0;
  for (std::string& text : entries) {
    const size_t width = ini::cp932Length(text);
    if (width + 1 <= room) {
      room -= width + 1;
      ++kept;
      continue;
    }
    text.resize(ini::cp932Prefix(text, room).size());
    if (!text.empty()) ++kept;
    break;
  }
  entries.resize(kept);
  return entries;
}

// ---- IniBatch ----

IniBatch& IniBatch::set(std::string section, std::string key, std::string value) {
  ops_.push_back({Op::Kind::Set, std::move(section), std::move(key), std::move(value), {}});
  return *this;
}

IniBatch& IniBatch::deleteKey(std::string section, std::string key) {
  ops_.push_back({Op::Kind::DeleteKey, std::move(section), std::move(key), {}, {}});
  return *this;
}

IniBatch& IniBatch::deleteSection(std::string section) {
  ops_.push_back({Op::Kind::DeleteSection, std::move(section), {}, {}, {}});
  return *this;
}

IniBatch& IniBatch::setSection(std::string section, std::vector<std::string> entries) {
  ops_.push_back({Op::Kind::SetSection, std::move(section), {}, {}, std::move(entries)});
  return *this;
}

std::string applyToBytes(std::string_view cp932Bytes, const IniBatch& batch) {
  ini::Document document(cp932Bytes);
  for (const IniBatch::Op& op : batch.ops()) {
    switch (op.kind) {
      case IniBatch::Op::Kind::Set:
        document.set(op.section, op.key, op.value);
        break;
      case IniBatch::Op::Kind::DeleteKey:
        document.deleteKey(op.section, op.key);
        break;
      case IniBatch::Op::Kind::DeleteSection:
        document.deleteSection(op.section);
        break;
      case IniBatch::Op::Kind::SetSection:
        document.setSection(op.section, op.entries);
        break;
    }
  }
  return document.bytes();
}

// ---- IniFile ----

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

std::string IniFile::get(std::string_view section, std::string_view key) const { return snapshot().get(section, key); }

std::vector<std::string> IniFile::getSection(std::string_view section) const { return snapshot().getSection(section); }

void IniFile::set(std::string section, std::string key, std::string value) {
  apply(IniBatch().set(std::move(section), std::move(key), std::move(value)));
}

void IniFile::deleteKey(std::string section, std::string key) {
  apply(IniBatch().deleteKey(std::move(section), std::move(key)));
}

void IniFile::deleteSection(std::string section) { apply(IniBatch().deleteSection(std::move(section))); }

void IniFile::setSection(std::string section, std::vector<std::string> entries) {
  apply(IniBatch().setSection(std::move(section), std::move(entries)));
}

void IniFile::apply(const IniBatch& batch) {
  if (batch.empty()) return;
  // Starting from the file as it is now keeps what another writer stored since our last read.
  const FileContent current = readFile(path_);
  const std::string updated = applyToBytes(current.bytes, batch);
  // Also keeps a missing file missing when nothing was added.
  if (updated == current.bytes) return;
  try {
    lastWriteInPlace_ = replaceFileAtomically(path_, updated) == FileReplacement::InPlace;
  } catch (const std::system_error& e) {
    throw IniError(IniError::Kind::Unwritable, displayName(path_), e.what());
  }
}

}  // namespace sayolt
