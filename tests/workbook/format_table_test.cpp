// Formats derived from the workbook's own: one attribute changed, the rest kept, nothing added
// twice.
#include "workbook/format_table.h"

#include <gtest/gtest.h>

#include "workbook/byte_io.h"
#include "workbook/workbook_layout.h"

namespace sayolt::workbook {
namespace {

std::vector<const BiffRecord*> globalsOf(const WorkbookStream& wb, std::uint16_t id) {
  std::vector<const BiffRecord*> out;
  for (const auto& r : wb.globals)
    if (r.id == id) out.push_back(&r);
  return out;
}

TEST(FormatTable, NewFontWhileTheRecordsMove_KeepsTheBaseFormat) {
  WorkbookStream wb = emptyScheduleWorkbook();
  // No room left: the new font's record moves every other one.
  wb.globals.shrink_to_fit();
  FormatTable formats(wb);
  const std::uint16_t red = formats.derive(kDefaultCellXf + 5, {std::nullopt, kIcvRed, HAlign::Right});
  const auto xfs = globalsOf(wb, rec::kXf);
  const auto fonts = globalsOf(wb, rec::kFont);
  ASSERT_LT(red, xfs.size());
  const std::string& xf = xfs[red]->body;
  EXPECT_EQ(get16(xf, 2), kFormatTime);  // the base's number format stays
  EXPECT_EQ(xfAlign(xf), HAlign::Right);
  ASSERT_EQ(xfFont(xf), 5);  // the fifth record: index 4 does not exist
  EXPECT_EQ(fontColour(fonts.at(4)->body), kIcvRed);

  // The same change again adds nothing; no change gives the base itself.
  EXPECT_EQ(formats.derive(kDefaultCellXf + 5, {std::nullopt, kIcvRed, HAlign::Right}), red);
  EXPECT_EQ(formats.derive(kDefaultCellXf, {}), kDefaultCellXf);
  EXPECT_EQ(globalsOf(wb, rec::kFont).size(), 5u);
  EXPECT_EQ(globalsOf(wb, rec::kXf).size(), xfs.size());
}

}  // namespace
}  // namespace sayolt::workbook
