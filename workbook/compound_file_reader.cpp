#include <algorithm>
#include <cstring>

#include "workbook/byte_io.h"
#include "workbook/compound_file.h"
#include "workbook/compound_file_layout.h"

namespace sayolt::workbook {

using namespace cfb;

namespace {

[[noreturn]] void damaged() { throw WorkbookError(kDamaged); }

// Real files nest a few levels (a macro project, an embedded object); the writer and the
// entries' own destruction recurse over the levels, so deeper nesting is refused.
constexpr std::size_t kMaxStorageDepth = 32;

struct DirEntry {
  std::u16string name;
  std::uint8_t type = 0;
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  std::array<std::uint8_t, 16> clsid{};
  std::uint32_t stateBits = 0;
  std::uint64_t created = 0, modified = 0;
  std::uint32_t start = kEndOfChain;
  std::uint64_t size = 0;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {
    if (bytes.size() < 512 || std::memcmp(bytes.data(), kSignature, 8) != 0) damaged();
    if (get16(bytes, 0x1C) != 0xFFFE) damaged();
    const std::uint16_t shift = get16(bytes, 0x1E);
    if (shift != 9 && shift != 12) damaged();
    if (get16(bytes, 0x20) != 6) damaged();
    sectorSize_ = 1u << shift;
    version_ = get16(bytes, 0x1A);
    cutoff_ = get32(bytes, 0x38);
    if (bytes.size() < 2 * std::size_t{sectorSize_}) damaged();
    sectorCount_ = bytes.size() / sectorSize_ - 1;
    readFat();
    used_.assign(fat_.size(), false);
    const std::uint32_t miniFatStart = get32(bytes, 0x3C);
    if (miniFatStart != kEndOfChain && get32(bytes, 0x40) != 0) miniFat_ = toIds(readChain(miniFatStart));
    readDirectory(get32(bytes, 0x30));
  }

  CompoundFile file() {
    CompoundFile result;
    const DirEntry& root = entries_.at(0);
    if (root.type != kTypeRoot) damaged();
    if (root.size > 0) miniStream_ = readChain(root.start, root.size);
    miniUsed_.assign(miniFat_.size(), false);
    copyAttributes(root, result.root);
    visited_.assign(entries_.size(), false);
    visited_[0] = true;
    // Storages are filled one after another from a list, never by recursion: the nesting comes
    // from the file.
    struct Pending {
      std::uint32_t top;
      CompoundEntry* storage;
      std::size_t depth;
    };
    std::vector<Pending> storages{{root.child, &result.root, 0}};
    while (!storages.empty()) {
      const Pending next = storages.back();
      storages.pop_back();
      const std::vector<std::uint32_t> inner = fillStorage(next.top, *next.storage);
      if (inner.empty()) continue;
      if (next.depth + 1 > kMaxStorageDepth) damaged();
      // The storage's list of entries is complete, so pointers into it stay valid.
      std::size_t at = 0;
      for (CompoundEntry& child : next.storage->children)
        if (child.storage) storages.push_back({inner[at++], &child, next.depth + 1});
    }
    return result;
  }

 private:
  std::string_view sector(std::uint32_t id) const {
    if (id >= sectorCount_) damaged();
    return bytes_.substr((static_cast<std::size_t>(id) + 1) * sectorSize_, sectorSize_);
  }

  static std::vector<std::uint32_t> toIds(std::string_view data) {
    std::vector<std::uint32_t> ids(data.size() / 4);
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = get32(data, i * 4);
    return ids;
  }

  void readFat() {
    const std::uint32_t fatCount = get32(bytes_, 0x2C);
    if (fatCount > sectorCount_) damaged();
    std::vector<std::uint32_t> fatSectors;
    for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
      fatSectors.push_back(get32(bytes_, 0x4C + 4 * i));
    std::uint32_t difat = get32(bytes_, 0x44);
    const std::uint32_t perDifat = sectorSize_ / 4 - 1;
    std::size_t guard = 0;
    while (fatSectors.size() < fatCount) {
      if (difat >= sectorCount_ || ++guard > sectorCount_) damaged();
      const std::string_view s = sector(difat);
      for (std::uint32_t i = 0; i < perDifat && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(get32(s, 4 * i));
      difat = get32(s, 4 * perDifat);
    }
    fat_.reserve(static_cast<std::size_t>(fatCount) * (sectorSize_ / 4));
    for (const std::uint32_t id : fatSectors) {
      const auto ids = toIds(sector(id));
      fat_.insert(fat_.end(), ids.begin(), ids.end());
    }
  }

  // The sectors of a chain, joined; with a size, cut to it (and it must be there). A sector
  // belongs to one chain only, so loops and shared sectors end the read and no file yields
  // more data than it holds.
  std::string readChain(std::uint32_t start, std::uint64_t size = UINT64_MAX) {
    std::string data;
    std::uint32_t id = start;
    while (id != kEndOfChain && data.size() < size) {
      if (id >= fat_.size() || used_[id]) damaged();
      used_[id] = true;
      data.append(sector(id));
      id = fat_[id];
    }
    if (size != UINT64_MAX) {
      if (data.size() < size) damaged();
      data.resize(static_cast<std::size_t>(size));
    }
    return data;
  }

  std::string readMiniChain(std::uint32_t start, std::uint64_t size) {
    std::string data;
    std::uint32_t id = start;
    while (data.size() < size) {
      if (id >= miniFat_.size() || miniUsed_[id]) damaged();
      miniUsed_[id] = true;
      const std::size_t at = static_cast<std::size_t>(id) * kMiniSectorSize;
      if (at + kMiniSectorSize > miniStream_.size()) damaged();
      data.append(miniStream_, at, kMiniSectorSize);
      id = miniFat_[id];
    }
    data.resize(static_cast<std::size_t>(size));
    return data;
  }

  void readDirectory(std::uint32_t start) {
    const std::string data = readChain(start);
    for (std::size_t at = 0; at + kDirEntrySize <= data.size(); at += kDirEntrySize) {
      const std::string_view raw(data.data() + at, kDirEntrySize);
      DirEntry e;
      const std::uint16_t nameBytes = get16(raw, 64);
      e.type = get8(raw, 66);
      if (e.type != 0) {
        if (nameBytes < 4 || nameBytes > 64 || nameBytes % 2 != 0) damaged();
        for (std::size_t i = 0; i + 1 < nameBytes / 2u; ++i) e.name.push_back(static_cast<char16_t>(get16(raw, 2 * i)));
      }
      e.left = get32(raw, 68);
      e.right = get32(raw, 72);
      e.child = get32(raw, 76);
      for (std::size_t i = 0; i < 16; ++i) e.clsid[i] = get8(raw, 80 + i);
      e.stateBits = get32(raw, 96);
      e.created = get64(raw, 100);
      e.modified = get64(raw, 108);
      e.start = get32(raw, 116);
      // Version 3 files may hold garbage in the high half of the size.
      e.size = version_ == 3 ? get32(raw, 120) : get64(raw, 120);
      entries_.push_back(std::move(e));
    }
    if (entries_.empty()) damaged();
  }

  static void copyAttributes(const DirEntry& from, CompoundEntry& to) {
    to.name = from.name;
    to.clsid = from.clsid;
    to.stateBits = from.stateBits;
    to.created = from.created;
    to.modified = from.modified;
  }

  // Walks the sibling tree under a storage; every entry may be met once only. Returns the
  // child trees of the storages found, in the order of storage.children.
  std::vector<std::uint32_t> fillStorage(std::uint32_t top, CompoundEntry& storage) {
    std::vector<std::uint32_t> inner;
    std::vector<std::uint32_t> pending;
    if (top != kNoStream) pending.push_back(top);
    while (!pending.empty()) {
      const std::uint32_t id = pending.back();
      pending.pop_back();
      if (id >= entries_.size() || visited_[id]) damaged();
      visited_[id] = true;
      const DirEntry& e = entries_[id];
      if (e.left != kNoStream) pending.push_back(e.left);
      if (e.right != kNoStream) pending.push_back(e.right);
      if (e.type != kTypeStorage && e.type != kTypeStream) continue;
      CompoundEntry child;
      copyAttributes(e, child);
      if (e.type == kTypeStorage) {
        child.storage = true;
        inner.push_back(e.child);
      } else if (e.size > 0) {
        child.data = e.size < cutoff_ ? readMiniChain(e.start, e.size) : readChain(e.start, e.size);
      }
      storage.children.push_back(std::move(child));
    }
    return inner;
  }

  std::string_view bytes_;
  std::uint32_t sectorSize_ = 512;
  std::uint16_t version_ = 3;
  std::uint32_t cutoff_ = kMiniStreamCutoff;
  std::size_t sectorCount_ = 0;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::string miniStream_;
  std::vector<DirEntry> entries_;
  std::vector<bool> visited_;
  std::vector<bool> used_;  // sectors already read as part of a chain
  std::vector<bool> miniUsed_;
};

}  // namespace

CompoundFile readCompoundFile(std::string_view bytes) { return Reader(bytes).file(); }

CompoundEntry* CompoundFile::findStream(std::u16string_view name) {
  for (auto& child : root.children)
    if (!child.storage && compareEntryNames(child.name, name) == 0) return &child;
  return nullptr;
}

const CompoundEntry* CompoundFile::findStream(std::u16string_view name) const {
  return const_cast<CompoundFile*>(this)->findStream(name);
}

}  // namespace sayolt::workbook
