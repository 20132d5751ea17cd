// The compound-file container: layout of what we write, reading back ours and others' shapes,
// and refusing damaged bytes.
#include "workbook/compound_file.h"

#include <gtest/gtest.h>

#include "workbook/byte_io.h"
#include "workbook/compound_file_layout.h"
#include "workbook/workbook_error.h"

namespace sayolt::workbook {
namespace {

std::string pattern(std::size_t size, char seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(seed + i * 7);
  return data;
}

CompoundFile oneStream(std::string data) {
  CompoundFile file;
  auto stream = named(u"Workbook", false);
  stream.data = std::move(data);
  file.root.children.push_back(std::move(stream));
  return file;
}

TEST(CompoundFile, LargeStreamLayout_HeaderDataDirectoryFat) {
  const std::string bytes = writeCompoundFile(oneStream(pattern(5000, 1)));
  // Header, 10 data sectors, one directory sector, one FAT sector.
  ASSERT_EQ(bytes.size(), 512u * 13);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  EXPECT_EQ(get16(bytes, 0x1A), 3);            // version 3
  EXPECT_EQ(get16(bytes, 0x1E), 9);            // 512-byte sectors
  EXPECT_EQ(get32(bytes, 0x2C), 1u);           // one FAT sector
  EXPECT_EQ(get32(bytes, 0x30), 10u);          // directory after the data
  EXPECT_EQ(get32(bytes, 0x38), 4096u);        // mini stream cutoff
  EXPECT_EQ(get32(bytes, 0x3C), 0xFFFFFFFEu);  // no mini FAT
  EXPECT_EQ(get32(bytes, 0x4C), 11u);          // the FAT sector
  EXPECT_EQ(get32(bytes, 0x50), 0xFFFFFFFFu);
  const std::string_view fat(bytes.data() + 12 * 512, 512);
  for (std::uint32_t i = 0; i < 9; ++i) EXPECT_EQ(get32(fat, 4 * i), i + 1);
  EXPECT_EQ(get32(fat, 36), 0xFFFFFFFEu);  // end of the stream
  EXPECT_EQ(get32(fat, 40), 0xFFFFFFFEu);  // the one directory sector
  EXPECT_EQ(get32(fat, 44), 0xFFFFFFFDu);  // the FAT itself
  const std::string_view dir(bytes.data() + 11 * 512, 512);
  EXPECT_EQ(get8(dir, 66), 5);  // root entry
  EXPECT_EQ(get32(dir, 76), 1u);
  EXPECT_EQ(get32(dir, 116), 0xFFFFFFFEu);  // no mini stream
  EXPECT_EQ(get16(dir, 128 + 64), 18);      // "Workbook" and its NUL, in bytes
  EXPECT_EQ(get8(dir, 128 + 66), 2);
  EXPECT_EQ(get32(dir, 128 + 116), 0u);
  EXPECT_EQ(get32(dir, 128 + 120), 5000u);
  EXPECT_EQ(get32(dir, 256 + 68), 0xFFFFFFFFu);  // unused entries have no siblings
}

TEST(CompoundFile, SmallStreamGoesToMiniStream) {
  const std::string bytes = writeCompoundFile(oneStream(pattern(100, 3)));
  EXPECT_NE(get32(bytes, 0x3C), 0xFFFFFFFEu);
  EXPECT_EQ(get32(bytes, 0x40), 1u);
  const CompoundFile back = readCompoundFile(bytes);
  ASSERT_NE(back.findStream(u"workbook"), nullptr);  // names compare without case
  EXPECT_EQ(back.findStream(u"Workbook")->data, pattern(100, 3));
}

TEST(CompoundFile, ManyEntriesAndStoragesRoundTrip) {
  CompoundFile file = oneStream(pattern(70000, 5));
  for (int i = 0; i < 12; ++i) {
    auto s = named(u"Stream" + std::u16string(1, static_cast<char16_t>(u'A' + i)), false);
    s.data = pattern(static_cast<std::size_t>(i * 700), static_cast<char>(i));
    file.root.children.push_back(std::move(s));
  }
  auto storage = named(u"_VBA_PROJECT_CUR", true);
  storage.clsid[0] = 0x42;
  auto inner = named(
      u"\x01"
      u"CompObj",
      false);
  inner.data = "inner bytes";
  storage.children.push_back(inner);
  file.root.children.push_back(std::move(storage));

  const CompoundFile back = readCompoundFile(writeCompoundFile(file));
  ASSERT_EQ(back.root.children.size(), file.root.children.size());
  for (const auto& original : file.root.children) {
    const auto found = std::find_if(back.root.children.begin(), back.root.children.end(),
                                    [&](const CompoundEntry& e) { return e.name == original.name; });
    ASSERT_NE(found, back.root.children.end());
    EXPECT_EQ(found->data, original.data);
    EXPECT_EQ(found->storage, original.storage);
    EXPECT_EQ(found->clsid, original.clsid);
    if (original.storage) {
      ASSERT_EQ(found->children.size(), 1u);
      EXPECT_EQ(found->children[0].data, "inner bytes");
    }
  }
}

TEST(CompoundFile, BeyondOneFatSectorAndTheDifat) {
  // 7 MB needs more FAT sectors than the header's 109 slots can name.
  const std::string bytes = writeCompoundFile(oneStream(pattern(7u << 20, 9)));
  EXPECT_GT(get32(bytes, 0x2C), 109u);
  EXPECT_GE(get32(bytes, 0x48), 1u);
  EXPECT_EQ(readCompoundFile(bytes).findStream(u"Workbook")->data, pattern(7u << 20, 9));
}

TEST(CompoundFile, DamagedBytesAreRefused) {
  const std::string good = writeCompoundFile(oneStream(pattern(5000, 1)));
  EXPECT_THROW(readCompoundFile(""), WorkbookError);
  EXPECT_THROW(readCompoundFile("Sayolt 予定表\r\n月曜日,8:00\r\n"), WorkbookError);
  EXPECT_THROW(readCompoundFile(good.substr(0, good.size() / 2)), WorkbookError);
  EXPECT_THROW(readCompoundFile(good.substr(0, 512)), WorkbookError);

  std::string loop = good;  // the stream's chain runs back into itself
  set32(loop, 12 * 512 + 4 * 5, 2);
  EXPECT_THROW(readCompoundFile(loop), WorkbookError);

  std::string cycle = good;  // the directory's tree points back at the root
  set32(cycle, 11 * 512 + 128 + 68, 0);
  EXPECT_THROW(readCompoundFile(cycle), WorkbookError);
}

// A directory entry as the format lays it out.
std::string dirEntry(std::u16string_view name, std::uint8_t type, std::uint32_t child, std::uint32_t start = 0,
                     std::uint32_t size = 0) {
  std::string e;
  for (const char16_t c : name) put16(e, c);
  e.resize(64, '\0');
  put16(e, static_cast<std::uint16_t>((name.size() + 1) * 2));
  put8(e, type);
  put8(e, 1);
  put32(e, 0xFFFFFFFF);
  put32(e, 0xFFFFFFFF);
  put32(e, child);
  e.resize(116, '\0');
  put32(e, start);
  put32(e, size);
  put32(e, 0);
  return e;
}

// A file whose directory (from sector 0) holds the entries, followed by the FAT sectors.
std::string rawFile(const std::vector<std::string>& entries) {
  std::string dir;
  for (const auto& e : entries) dir += e;
  dir.resize((dir.size() + 511) / 512 * 512, '\0');
  const auto dirSectors = static_cast<std::uint32_t>(dir.size() / 512);
  const std::uint32_t fatSectors = (dirSectors + 127 + 1) / 127;
  std::string fat;
  for (std::uint32_t i = 0; i < dirSectors; ++i) put32(fat, i + 1 < dirSectors ? i + 1 : 0xFFFFFFFE);
  for (std::uint32_t i = 0; i < fatSectors; ++i) put32(fat, 0xFFFFFFFD);
  fat.resize(fatSectors * 512u, '\xFF');
  std::string header(reinterpret_cast<const char*>(cfb::kSignature), 8);
  header.append(16, '\0');
  put16(header, 0x3E);
  put16(header, 3);
  put16(header, 0xFFFE);
  put16(header, 9);
  put16(header, 6);
  header.append(10, '\0');
  put32(header, fatSectors);
  put32(header, 0);  // directory
  put32(header, 0);
  put32(header, 4096);
  put32(header, 0xFFFFFFFE);
  put32(header, 0);
  put32(header, 0xFFFFFFFE);
  put32(header, 0);
  for (std::uint32_t i = 0; i < 109; ++i) put32(header, i < fatSectors ? dirSectors + i : 0xFFFFFFFF);
  return header + dir + fat;
}

// Storages nested `depth` deep under the root, each the only child of the one above.
std::string nestedStorages(std::uint32_t depth) {
  std::vector<std::string> entries{dirEntry(u"Root Entry", 5, 1, 0xFFFFFFFE)};
  for (std::uint32_t i = 1; i <= depth; ++i) entries.push_back(dirEntry(u"S", 1, i < depth ? i + 1 : 0xFFFFFFFF));
  return rawFile(entries);
}

TEST(CompoundFile, NestingIsReadWithoutRecursionAndRefusedPastALimit) {
  const CompoundFile shallow = readCompoundFile(nestedStorages(30));
  const CompoundEntry* at = &shallow.root;
  for (int i = 0; i < 30; ++i) {
    ASSERT_EQ(at->children.size(), 1u);
    at = &at->children[0];
    EXPECT_TRUE(at->storage);
  }
  EXPECT_TRUE(at->children.empty());
  EXPECT_EQ(readCompoundFile(writeCompoundFile(shallow)).root.children.size(), 1u);
  // 50,000 levels (a 6.5 MB file) would overflow any stack.
  const std::string deep = nestedStorages(50000);
  EXPECT_GT(deep.size(), 6'000'000u);
  EXPECT_THROW(readCompoundFile(deep), WorkbookError);
}

TEST(CompoundFile, SectorsSharedBetweenStreamsOrBeyondTheFileAreRefused) {
  CompoundFile two = oneStream(pattern(5000, 1));
  auto other = named(u"Other", false);
  other.data = pattern(5000, 2);
  two.root.children.push_back(other);
  const std::string good = writeCompoundFile(two);
  ASSERT_EQ(readCompoundFile(good).root.children.size(), 2u);
  // Entries 1 and 2 sit in the first directory sector after the two streams' 20 sectors.
  const std::size_t dir = 21 * 512;
  ASSERT_EQ(get32(good, dir + 128 + 116) + get32(good, dir + 256 + 116), 10u);
  std::string shared = good;  // both streams claim the same sectors
  set32(shared, dir + 256 + 116, get32(good, dir + 128 + 116));
  EXPECT_THROW(readCompoundFile(shared), WorkbookError);
  std::string tooLong = good;  // a size beyond what the file holds
  set32(tooLong, dir + 128 + 120, 50'000'000);
  EXPECT_THROW(readCompoundFile(tooLong), WorkbookError);
}

}  // namespace
}  // namespace sayolt::workbook
