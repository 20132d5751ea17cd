#include "shared/ini_file.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <system_error>

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
    bool first = false;  // the first entry of its name in its section, the one reads return
  };
  struct Section {
    std::uint32_t nameBegin, nameEnd;
    std::uint32_t firstEntry, endEntry;  // its entries are contiguous in `entries`
  };

  std::string text;  // the decoded file; every name and value is a range of it
  std::vector<Section> sections;
  std::vector<Entry> entries;
  // Open addressing over names compared with ASCII case folded: slot value - 1 indexes sections
  // (sectionSlots) or entries (keySlots), 0 is empty. A key's hash mixes in its section.
  std::vector<std::uint32_t> sectionSlots;
  std::vector<std::uint32_t> keySlots;
  std::vector<std::uint32_t> entrySection;  // entry -> section
  mutable std::atomic<std::uint32_t> lastSection{UINT32_MAX};
  mutable std::atomic<std::uint32_t> lastEntry{UINT32_MAX};

  std::string_view textAt(std::uint32_t begin, std::uint32_t end) const {
    return std::string_view(text).substr(begin, end - begin);
  }

  static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

  // Folds the high bits, which the multiplications fill, into the low bits that pick a slot.
  static std::uint64_t mix(std::uint64_t h) {
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 31);
  }

  // Eight bytes at a time: A..Z become a..z, every other byte (UTF-8 included) stays.
  static std::uint64_t foldedWord(std::uint64_t x) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t low7 = x & (0x7F * kOnes);
    const std::uint64_t fromA = low7 + (0x80 - 'A') * kOnes;      // high bit: byte >= 'A'
    const std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kOnes;  // high bit: byte > 'Z'
    const std::uint64_t upper = (fromA ^ pastZ) & ~x & (0x80 * kOnes);
    return x | (upper >> 2);
  }

  static std::uint64_t foldedHash(std::string_view name) {
    std::uint64_t h = name.size() * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
      std::uint64_t word;
      std::memcpy(&word, name.data() + i, 8);
      h = (h ^ foldedWord(word)) * 0xFF51AFD7ED558CCDull;
      h ^= h >> 32;
    }
    if (i < name.size()) h = (h ^ foldedWord(lastBytes(name, i))) * 0xFF51AFD7ED558CCDull;
    return mix(h);
  }

  // The bytes of name from i on (fewer than eight), in fixed-size reads: a copy of a variable
  // length stalls the read of the word after it. Bytes may repeat; the length is hashed too.
  static std::uint64_t lastBytes(std::string_view name, size_t i) {
    const char* p = name.data();
    const size_t n = name.size();
    if (n >= 8) return load<std::uint64_t>(p + n - 8);
    if (n - i >= 4) return load<std::uint32_t>(p + i) | std::uint64_t{load<std::uint32_t>(p + n - 4)} << 32;
    const auto byte = [&](size_t k) { return std::uint64_t{static_cast<unsigned char>(p[k])}; };
    return byte(i) | byte(i + (n - i) / 2) << 8 | byte(n - 1) << 16;
  }

  template <class Word>
  static Word load(const char* p) {
    Word word;
    std::memcpy(&word, p, sizeof word);
    return word;
  }

  static bool foldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i] && lower(a[i]) != lower(b[i])) return false;
    }
    return true;
  }

  static std::uint64_t keyHash(std::uint32_t section, std::uint64_t nameHash) {
    return mix(nameHash ^ (section * 0x9E3779B97F4A7C15ull));
  }

  static std::vector<std::uint32_t> emptySlots(size_t items) {
    size_t capacity = 16;
    while (capacity < items * 2) capacity *= 2;
    return std::vector<std::uint32_t>(capacity, 0);
  }

  // The index of the section of that name, or UINT32_MAX.
  std::uint32_t findSection(std::string_view name, std::uint64_t hash) const {
    if (sectionSlots.empty()) return UINT32_MAX;
    const size_t mask = sectionSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = sectionSlots[i];
      if (slot == 0) return UINT32_MAX;
      const Section& found = sections[slot - 1];
      if (foldedEqual(textAt(found.nameBegin, found.nameEnd), name)) return slot - 1;
    }
  }

  // A load reads a section's keys mostly in the order the file holds them, so the entry after the
  // last one found (or the section's first) is tried before the hash.
  const Entry* findKey(const Section& section, std::string_view name) const {
    const std::uint32_t next = lastEntry.load(std::memory_order_relaxed) + 1;
    const std::uint32_t guess = next >= section.firstEntry && next < section.endEntry ? next : section.firstEntry;
    if (guess < section.endEntry) {
      const Entry& e = entries[guess];
      if (e.first && foldedEqual(textAt(e.nameBegin, e.nameEnd), name)) {
        lastEntry.store(guess, std::memory_order_relaxed);
        return &e;
      }
    }
    const Entry* found = findKey(static_cast<std::uint32_t>(&section - sections.data()), name, foldedHash(name));
    if (found != nullptr)
      lastEntry.store(static_cast<std::uint32_t>(found - entries.data()), std::memory_order_relaxed);
    return found;
  }

  const Entry* findKey(std::uint32_t section, std::string_view name, std::uint64_t nameHash) const {
    if (keySlots.empty()) return nullptr;
    const size_t mask = keySlots.size() - 1;
    for (size_t i = keyHash(section, nameHash) & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = keySlots[i];
      if (slot == 0) return nullptr;
      const Entry& e = entries[slot - 1];
      if (entrySection[slot - 1] == section && foldedEqual(textAt(e.nameBegin, e.nameEnd), name)) return &e;
    }
  }

  const Section* find(std::string_view section) const {
    const std::string_view name = ini::trimBlanks(section);
    // A load reads section after section, key by key: the last section found is likely asked again.
    const std::uint32_t last = lastSection.load(std::memory_order_relaxed);
    if (last < sections.size() && foldedEqual(textAt(sections[last].nameBegin, sections[last].nameEnd), name))
      return &sections[last];
    const std::uint32_t index = findSection(name, foldedHash(name));
    if (index == UINT32_MAX) return nullptr;
    lastSection.store(index, std::memory_order_relaxed);
    return &sections[index];
  }

  void parse() {
    constexpr std::uint32_t kNone = UINT32_MAX;
    std::uint32_t current = kNone;  // the section whose entries count, or none
    std::vector<std::uint64_t> sectionHashes;
    std::vector<std::uint64_t> keyHashes;
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    entries.reserve(lines);
    entrySection.reserve(lines);
    keyHashes.reserve(lines);
    auto placeSection = [&](std::uint32_t index) {
      const size_t mask = sectionSlots.size() - 1;
      size_t i = sectionHashes[index] & mask;
      while (sectionSlots[i] != 0) i = (i + 1) & mask;
      sectionSlots[i] = index + 1;
    };
    ini::forEachLine(text, [&](std::string_view line) {
      const auto offset = static_cast<std::uint32_t>(line.data() - text.data());
      const ini::LineSyntax syntax = ini::parseLine(line);
      if (syntax.kind == ini::LineKind::Header) {
        const std::string_view name = line.substr(syntax.nameBegin, syntax.nameEnd - syntax.nameBegin);
        const std::uint64_t hash = foldedHash(name);
        // Only the first section of a name counts; the lines of a later one are never read.
        if (findSection(name, hash) != kNone) {
          current = kNone;
          return;
        }
        current = static_cast<std::uint32_t>(sections.size());
        const auto count = static_cast<std::uint32_t>(entries.size());
        sections.push_back({offset + syntax.nameBegin, offset + syntax.nameEnd, count, count});
        sectionHashes.push_back(hash);
        if (sectionSlots.size() < sections.size() * 2) {
          sectionSlots = emptySlots(sections.size());
          for (std::uint32_t n = 0; n < sections.size(); ++n) placeSection(n);
        } else {
          placeSection(current);
        }
      } else if (syntax.kind == ini::LineKind::Entry && current != kNone) {
        entries.push_back({offset + syntax.nameBegin, offset + syntax.nameEnd, offset + syntax.valueBegin,
                           offset + syntax.valueEnd, syntax.hasValue});
        entrySection.push_back(current);
        keyHashes.push_back(foldedHash(line.substr(syntax.nameBegin, syntax.nameEnd - syntax.nameBegin)));
        sections[current].endEntry = static_cast<std::uint32_t>(entries.size());
      }
    });
    keySlots = emptySlots(entries.size());
    const size_t mask = keySlots.size() - 1;
    for (std::uint32_t n = 0; n < entries.size(); ++n) {
      const std::string_view name = textAt(entries[n].nameBegin, entries[n].nameEnd);
      auto sameKey = [&](std::uint32_t other) {
        return entrySection[other] == entrySection[n] && keyHashes[other] == keyHashes[n] &&
               foldedEqual(textAt(entries[other].nameBegin, entries[other].nameEnd), name);
      };
      size_t i = keyHash(entrySection[n], keyHashes[n]) & mask;
      while (keySlots[i] != 0 && !sameKey(keySlots[i] - 1)) i = (i + 1) & mask;
      // Only the first entry of a key counts.
      if (keySlots[i] != 0) continue;
      keySlots[i] = n + 1;
      entries[n].first = true;
    }
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
  const Impl::Entry* entry = impl_->findKey(*found, ini::trimBlanks(key));
  if (entry == nullptr || !entry->hasValue) return {};
  const Impl::Entry& e = *entry;
  return std::string(ini::cp932Prefix(unquote(impl_->textAt(e.valueBegin, e.valueEnd)), kKeyBufferBytes - 1));
}

std::vector<std::string> IniSnapshot::getWholeSection(std::string_view section) const {
  std::vector<std::string> entries;
  if (!impl_) return entries;
  const Impl::Section* found = impl_->find(section);
  if (found == nullptr) return entries;
  for (std::uint32_t n = found->firstEntry; n < found->endEntry; ++n) {
    const Impl::Entry& e = impl_->entries[n];
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
  update([&](const IniSnapshot&) { return std::optional<IniBatch>(batch); });
}

bool IniFile::update(const std::function<std::optional<IniBatch>(const IniSnapshot&)>& change) {
  // Starting from the file as it is now keeps what another writer stored since our last read.
  const FileContent current = readFile(path_);
  const std::optional<IniBatch> batch = change(IniSnapshot::fromBytes(current.bytes));
  if (!batch) return false;
  const std::string updated = applyToBytes(current.bytes, *batch);
  // Also keeps a missing file missing when nothing was added.
  if (updated == current.bytes) return true;
  try {
    lastWriteInPlace_ = replaceFileAtomically(path_, updated) == FileReplacement::InPlace;
  } catch (const std::system_error& e) {
    throw IniError(IniError::Kind::Unwritable, displayName(path_), e.what());
  }
  return true;
}

}  // namespace sayolt
