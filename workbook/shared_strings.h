#pragma once
// The shared string table (SST) and its index (EXTSST).
#include <cstdint>
#include <string>
#include <vector>

#include "workbook/biff_records.h"

namespace sayolt::workbook {

// One string with any rich-text runs and phonetic data it carries, kept as read.
struct SstString {
  std::u16string text;
  std::uint16_t runCount = 0;
  std::string runs;      // 4 bytes per run
  std::string phonetic;  // the extension data as stored
  bool operator==(const SstString&) const = default;
};

// Reads the strings of an SST record and its CONTINUE records.
std::vector<SstString> readSst(const BiffRecord& sst);

// Appends SST (and CONTINUE) and EXTSST records for the strings, in order. sstOffset is the
// stream offset at which the SST record begins; totalReferences counts the string cells.
void appendSst(std::string& out, const std::vector<const SstString*>& strings, std::uint32_t totalReferences,
               std::size_t sstOffset);

}  // namespace sayolt::workbook
