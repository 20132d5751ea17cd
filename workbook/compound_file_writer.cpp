#include <algorithm>
#include <cstring>

#include "workbook/byte_io.h"
#include "workbook/compound_file.h"
#include "workbook/compound_file_layout.h"

namespace sayolt::workbook {

using namespace cfb;

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kIdsPerSector = kSectorSize / 4;
constexpr std::uint32_t kHeaderDifatSlots = 109;

struct FlatEntry {
  explicit FlatEntry(const CompoundEntry* e) : entry(e) {}
  const CompoundEntry* entry;
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  std::uint8_t colour = 1;  // black
  std::uint32_t start = kEndOfChain;
  std::uint64_t size = 0;
};

std::uint32_t sectorsFor(std::size_t bytes) {
  return static_cast<std::uint32_t>((bytes + kSectorSize - 1) / kSectorSize);
}

class Writer {
 public:
  explicit Writer(const CompoundFile& file) {
    flat_.push_back(FlatEntry{&file.root});
    addChildren(0);
  }

  std::string bytes() {
    placeStreams();
    const std::uint32_t dirSectors = sectorsFor(flat_.size() * kDirEntrySize);
    const std::uint32_t miniFatSectors = sectorsFor(miniFat_.size() * 4);
    const std::uint32_t miniFatStart = next_;
    next_ += miniFatSectors;
    const std::uint32_t dirStart = next_;
    next_ += dirSectors;
    // The FAT must also describe its own sectors and those of the DIFAT.
    std::uint32_t fatSectors = 1, difatSectors = 0;
    while (true) {
      difatSectors = fatSectors > kHeaderDifatSlots
                         ? (fatSectors - kHeaderDifatSlots + kIdsPerSector - 2) / (kIdsPerSector - 1)
                         : 0;
      if (fatSectors * kIdsPerSector >= next_ + fatSectors + difatSectors) break;
      ++fatSectors;
    }
    const std::uint32_t fatStart = next_;
    const std::uint32_t difatStart = fatStart + fatSectors;
    const std::uint32_t total = difatStart + difatSectors;

    fat_.resize(static_cast<std::size_t>(fatSectors) * kIdsPerSector, kFreeSector);
    for (const auto& [start, count] : chains_) link(start, count);
    link(miniFatStart, miniFatSectors);
    link(dirStart, dirSectors);
    for (std::uint32_t i = 0; i < fatSectors; ++i) fat_[fatStart + i] = kFatSector;
    for (std::uint32_t i = 0; i < difatSectors; ++i) fat_[difatStart + i] = kDifatSector;

    std::string out;
    out.reserve((static_cast<std::size_t>(total) + 1) * kSectorSize);
    writeHeader(out, fatSectors, dirStart, miniFatSectors ? miniFatStart : kEndOfChain, miniFatSectors,
                difatSectors ? difatStart : kEndOfChain, difatSectors, fatStart);
    for (const std::string* data : bigStreams_) pad(out.append(*data));
    pad(out.append(miniStream_));
    for (const std::uint32_t id : miniFat_) put32(out, id);
    padWith(out, kFreeSector);
    for (std::size_t i = 0; i < flat_.size(); ++i) writeEntry(out, flat_[i], i == 0);
    padEntries(out);
    for (const std::uint32_t id : fat_) put32(out, id);
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
      for (std::uint32_t i = 0; i < kIdsPerSector - 1; ++i) {
        const std::uint32_t slot = kHeaderDifatSlots + d * (kIdsPerSector - 1) + i;
        put32(out, slot < fatSectors ? fatStart + slot : kFreeSector);
      }
      put32(out, d + 1 < difatSectors ? difatStart + d + 1 : kEndOfChain);
    }
    return out;
  }

 private:
  // Children get consecutive ids in name order and hang from a balanced tree; nodes on the
  // deepest level of an incomplete tree are red, which keeps the red-black rules.
  void addChildren(std::size_t parent) {
    const CompoundEntry& storage = *flat_[parent].entry;
    if (storage.children.empty()) return;
    std::vector<const CompoundEntry*> sorted;
    for (const auto& child : storage.children) sorted.push_back(&child);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return compareEntryNames(a->name, b->name) < 0; });
    const auto first = static_cast<std::uint32_t>(flat_.size());
    for (const auto* child : sorted) flat_.push_back(FlatEntry{child});
    std::vector<int> depth(sorted.size(), 0);
    int deepest = 0;
    flat_[parent].child = balance(first, 0, static_cast<std::uint32_t>(sorted.size()), 0, depth, deepest);
    if (deepest > 0)
      for (std::size_t i = 0; i < sorted.size(); ++i)
        if (depth[i] == deepest) flat_[first + i].colour = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i)
      if (sorted[i]->storage) addChildren(first + i);
  }

  std::uint32_t balance(std::uint32_t first, std::uint32_t from, std::uint32_t to, int level, std::vector<int>& depth,
                        int& deepest) {
    if (from >= to) return kNoStream;
    const std::uint32_t mid = from + (to - from) / 2;
    depth[mid] = level;
    deepest = std::max(deepest, level);
    flat_[first + mid].left = balance(first, from, mid, level + 1, depth, deepest);
    flat_[first + mid].right = balance(first, mid + 1, to, level + 1, depth, deepest);
    return first + mid;
  }

  void placeStreams() {
    for (FlatEntry& e : flat_) {
      if (e.entry->storage) continue;
      const std::string& data = e.entry->data;
      e.size = data.size();
      if (data.empty()) continue;
      if (data.size() >= kMiniStreamCutoff) {
        e.start = next_;
        chains_.push_back({next_, sectorsFor(data.size())});
        next_ += sectorsFor(data.size());
        bigStreams_.push_back(&data);
      } else {
        const auto first = static_cast<std::uint32_t>(miniFat_.size());
        const auto count = static_cast<std::uint32_t>((data.size() + kMiniSectorSize - 1) / kMiniSectorSize);
        for (std::uint32_t i = 0; i < count; ++i) miniFat_.push_back(i + 1 < count ? first + i + 1 : kEndOfChain);
        e.start = first;
        miniStream_.append(data);
        miniStream_.resize(miniFat_.size() * kMiniSectorSize, '\0');
      }
    }
    if (!miniStream_.empty()) {
      flat_[0].start = next_;
      flat_[0].size = miniStream_.size();
      chains_.push_back({next_, sectorsFor(miniStream_.size())});
      next_ += sectorsFor(miniStream_.size());
    }
  }

  void link(std::uint32_t start, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) fat_[start + i] = i + 1 < count ? start + i + 1 : kEndOfChain;
  }

  static void pad(std::string& out) { out.resize((out.size() + kSectorSize - 1) / kSectorSize * kSectorSize, '\0'); }
  static void padWith(std::string& out, std::uint32_t id) {
    while (out.size() % kSectorSize != 0) put32(out, id);
  }
  static void padEntries(std::string& out) {
    while (out.size() % kSectorSize != 0) {
      const std::size_t at = out.size();
      out.resize(at + kDirEntrySize, '\0');
      set32(out, at + 68, kNoStream);
      set32(out, at + 72, kNoStream);
      set32(out, at + 76, kNoStream);
    }
  }

  void writeHeader(std::string& out, std::uint32_t fatSectors, std::uint32_t dirStart, std::uint32_t miniFatStart,
                   std::uint32_t miniFatSectors, std::uint32_t difatStart, std::uint32_t difatSectors,
                   std::uint32_t fatStart) const {
    out.append(reinterpret_cast<const char*>(kSignature), 8);
    out.append(16, '\0');
    put16(out, 0x003E);
    put16(out, 3);
    put16(out, 0xFFFE);
    put16(out, 9);
    put16(out, 6);
    out.append(6, '\0');
    put32(out, 0);  // directory sectors: always 0 in version 3
    put32(out, fatSectors);
    put32(out, dirStart);
    put32(out, 0);
    put32(out, kMiniStreamCutoff);
    put32(out, miniFatStart);
    put32(out, miniFatSectors);
    put32(out, difatStart);
    put32(out, difatSectors);
    for (std::uint32_t i = 0; i < kHeaderDifatSlots; ++i) put32(out, i < fatSectors ? fatStart + i : kFreeSector);
  }

  static void writeEntry(std::string& out, const FlatEntry& e, bool isRoot) {
    const CompoundEntry& entry = *e.entry;
    if (entry.name.empty() || entry.name.size() > 31) throw WorkbookError("ファイル内の名前が長すぎます");
    const std::size_t at = out.size();
    for (const char16_t c : entry.name) put16(out, c);
    out.resize(at + 64, '\0');
    put16(out, static_cast<std::uint16_t>((entry.name.size() + 1) * 2));
    put8(out, isRoot ? kTypeRoot : entry.storage ? kTypeStorage : kTypeStream);
    put8(out, isRoot ? 1 : e.colour);
    put32(out, e.left);
    put32(out, e.right);
    put32(out, e.child);
    out.append(reinterpret_cast<const char*>(entry.clsid.data()), 16);
    put32(out, entry.stateBits);
    put64(out, entry.created);
    put64(out, entry.modified);
    // A storage other than the root has no data; the root's data is the mini stream.
    const bool hasData = isRoot || !entry.storage;
    put32(out, hasData ? e.start : 0);
    put64(out, hasData ? e.size : 0);
  }

  std::vector<FlatEntry> flat_;
  std::uint32_t next_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> chains_;
  std::vector<const std::string*> bigStreams_;
  std::string miniStream_;
  std::vector<std::uint32_t> miniFat_;
  std::vector<std::uint32_t> fat_;
};

}  // namespace

std::string writeCompoundFile(const CompoundFile& file) { return Writer(file).bytes(); }

}  // namespace sayolt::workbook
