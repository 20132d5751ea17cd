// The compound-file container: layout of what we write, reading back ours and others' shapes,
// and refusing damaged bytes.
#include "workbook/compound_file.h"

#include <gtest/gtest.h>

#include "workbook/byte_io.h"
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

}  // namespace
}  // namespace sayolt::workbook
