// BIFF8 records byte for byte, and the shared string table with its CONTINUE records.
#include "workbook/biff_records.h"

#include <gtest/gtest.h>

#include "workbook/byte_io.h"
#include "workbook/cell_format.h"
#include "workbook/shared_strings.h"

namespace sayolt::workbook {
namespace {

std::string hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string record(std::uint16_t id, std::string_view body) {
  std::string out;
  appendRecord(out, id, body);
  return out;
}

TEST(BiffRecords, SmallRecordsByteForByte) {
  EXPECT_EQ(hex(record(rec::kNumber, numberBody(3, 0, 20, 8.5 / 24))),
            "03 02 0e 00 03 00 00 00 14 00 ab aa aa aa aa aa d6 3f");
  EXPECT_EQ(hex(record(rec::kLabelSst, labelSstBody(1, 2, 17, 4))), "fd 00 0a 00 01 00 02 00 11 00 04 00 00 00");
  EXPECT_EQ(hex(record(rec::kMulBlank, mulBlankBody(2, 0, {20, 21, 20}))),
            "be 00 0c 00 02 00 00 00 14 00 15 00 14 00 02 00");
  EXPECT_EQ(hex(record(rec::kBoundSheet, boundSheetBody(u"予定表"))),
            "85 00 0e 00 00 00 00 00 00 00 03 01 88 4e 9a 5b 68 88");
  std::string format;
  put16(format, kFormatTime);
  format += unicodeString(u"h:mm");
  EXPECT_EQ(hex(record(0x041E, format)), "1e 04 09 00 a4 00 04 00 00 68 3a 6d 6d");
}

TEST(BiffRecords, EmptySheetSubstreamByteForByte) {
  std::string sheet;
  appendRecord(sheet, rec::kBof, bofBody(kBofWorksheet));
  appendRecord(sheet, rec::kDimensions, dimensionsBody(0, 0, 0, 0));
  appendRecord(sheet, rec::kWindow2, window2Body(false));
  appendRecord(sheet, rec::kEof, "");
  EXPECT_EQ(hex(sheet),
            "09 08 10 00 00 06 10 00 bb 0d cd 07 00 00 00 00 06 00 00 00 "
            "00 02 0e 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
            "3e 02 12 00 b6 00 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00 "
            "0a 00 00 00");
  const auto back = readSubstream(sheet, 0);
  ASSERT_EQ(back.size(), 4u);
  EXPECT_EQ(back[2].id, rec::kWindow2);
}

TEST(BiffRecords, CellFormatsByteForByte) {
  EXPECT_EQ(hex(cellXfBody({0, 0, HAlign::Centre, kAllThin, kIcvLightGreen})),
            "00 00 00 00 01 00 22 00 00 fc 11 11 40 20 40 20 00 04 aa 20");
  std::string time = cellXfBody({0, kFormatTime, HAlign::Right, {}, 0});
  setXfBorders(time, {Line::Thin, Line::Hair, Line::Thin, Line::Hair});
  EXPECT_EQ(hex(time), "00 00 a4 00 01 00 23 00 00 fc 71 71 40 20 40 20 00 00 c0 20");
  EXPECT_EQ(hex(styleXfBody()), "00 00 00 00 f5 ff 20 00 00 00 00 00 00 00 00 00 00 00 c0 20");
  std::string cleared = time;
  setXfBorders(cleared, {});
  EXPECT_EQ(xfBorders(cleared), Borders{});
  EXPECT_EQ(get32(cleared, 10), 0u);  // no line, no line colour
}

TEST(BiffRecords, OneJapaneseStringTable) {
  SstString s;
  s.text = u"起動";
  std::string out;
  appendSst(out, {&s}, 3, 100);
  EXPECT_EQ(hex(out),
            "fc 00 0f 00 03 00 00 00 01 00 00 00 02 00 01 77 8d d5 52 "
            "ff 00 0a 00 08 00 70 00 00 00 0c 00 00 00");
  BiffRecord sst{rec::kSst, out.substr(4, 15)};
  EXPECT_EQ(readSst(sst), std::vector<SstString>{s});
}

TEST(BiffRecords, LongStringsContinueWithAFlagsByte) {
  std::vector<SstString> strings(3);
  for (std::size_t i = 0; i < strings.size(); ++i)
    for (int k = 0; k < 4209; ++k) strings[i].text.push_back(static_cast<char16_t>(u'あ' + (k + i) % 80));
  strings[1].text += u"end";
  SstString latin;
  latin.text = std::u16string(9000, u'x');
  strings.push_back(latin);
  std::vector<const SstString*> pointers;
  for (const auto& s : strings) pointers.push_back(&s);
  std::string out;
  appendSst(out, pointers, 4, 0);

  const auto records =
      readSubstream(std::string(record(rec::kBof, bofBody(kBofGlobals))) + out + record(rec::kEof, ""), 0);
  ASSERT_EQ(records[1].id, rec::kSst);
  EXPECT_GE(records[1].body.size(), kMaxRecordBody - 1);  // full, but for a byte a UTF-16 character cannot use
  ASSERT_GE(records[1].continues.size(), 3u);
  for (const auto& c : records[1].continues) {
    EXPECT_LE(c.size(), kMaxRecordBody);
  }
  // Wide characters run on: the first CONTINUE starts with the UTF-16 flag.
  EXPECT_EQ(records[1].continues[0][0], '\x01');
  EXPECT_EQ(readSst(records[1]), strings);
  EXPECT_EQ(records[2].id, rec::kExtSst);
}

TEST(BiffRecords, IndexPointsAtEachBucketsFirstString) {
  std::vector<SstString> strings(40);
  for (std::size_t i = 0; i < strings.size(); ++i)
    strings[i].text = std::u16string(500, static_cast<char16_t>(u'ア' + i));
  std::vector<const SstString*> pointers;
  for (const auto& s : strings) pointers.push_back(&s);
  std::string out(1000, '\0');
  appendRecord(out, rec::kBof, bofBody(kBofGlobals));
  appendSst(out, pointers, 40, out.size());
  appendRecord(out, rec::kEof, "");
  const auto records = readSubstream(out, 1000);
  ASSERT_EQ(records.size(), 4u);
  const BiffRecord& ext = records[2];
  ASSERT_EQ(ext.id, rec::kExtSst);
  ASSERT_EQ(get16(ext.body, 0), 8);
  for (std::size_t bucket = 0; bucket < 5; ++bucket) {
    const std::uint32_t at = get32(ext.body, 2 + 8 * bucket);
    const std::uint16_t count = get16(out, at);
    EXPECT_EQ(count, 500) << bucket;
    EXPECT_EQ(get8(out, at + 2), 1);
    EXPECT_EQ(get16(out, at + 3), u'ア' + 8 * bucket);
  }
}

}  // namespace
}  // namespace sayolt::workbook
