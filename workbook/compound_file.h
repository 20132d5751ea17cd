#pragma once
// The compound-file container (OLE2 structured storage, version 3 when written) that holds an
// .xls workbook's "Workbook" stream beside whatever other streams the file carries.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sayolt::workbook {

struct CompoundEntry {
  std::u16string name;
  bool storage = false;
  std::string data;                     // a stream's bytes
  std::vector<CompoundEntry> children;  // a storage's entries
  std::array<std::uint8_t, 16> clsid{};
  std::uint32_t stateBits = 0;
  std::uint64_t created = 0;   // FILETIME, 0 when unknown
  std::uint64_t modified = 0;  // FILETIME, 0 when unknown
};

inline CompoundEntry named(std::u16string name, bool storage) {
  CompoundEntry entry;
  entry.name = std::move(name);
  entry.storage = storage;
  return entry;
}

struct CompoundFile {
  CompoundEntry root = named(u"Root Entry", true);

  // A stream directly under the root; nullptr when there is none.
  CompoundEntry* findStream(std::u16string_view name);
  const CompoundEntry* findStream(std::u16string_view name) const;
};

// Throws WorkbookError when the bytes are not a readable compound file.
CompoundFile readCompoundFile(std::string_view bytes);
// Streams under 4096 bytes go into the mini stream, as readers expect.
std::string writeCompoundFile(const CompoundFile& file);

}  // namespace sayolt::workbook
