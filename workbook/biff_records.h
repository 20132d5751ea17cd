#pragma once
// BIFF8 record framing and the records this writer makes. A record longer than 8224 bytes is
// carried on in CONTINUE records.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sayolt::workbook {

namespace rec {
inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kFilePass = 0x002F;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kDate1904 = 0x0022;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kExtSst = 0x00FF;
inline constexpr std::uint16_t kIndex = 0x020B;
inline constexpr std::uint16_t kColInfo = 0x007D;
inline constexpr std::uint16_t kDefColWidth = 0x0055;
inline constexpr std::uint16_t kWsBool = 0x0081;
inline constexpr std::uint16_t kSetup = 0x00A1;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kDbCell = 0x00D7;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kLabel = 0x0204;
inline constexpr std::uint16_t kRString = 0x00D6;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kFormula = 0x0006;
inline constexpr std::uint16_t kString = 0x0207;
inline constexpr std::uint16_t kShrFmla = 0x04BC;
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kTable = 0x0236;
inline constexpr std::uint16_t kWindow2 = 0x023E;
inline constexpr std::uint16_t kSelection = 0x001D;
inline constexpr std::uint16_t kPane = 0x0041;
inline constexpr std::uint16_t kScl = 0x00A0;
inline constexpr std::uint16_t kPlv = 0x088B;
inline constexpr std::uint16_t kMergedCells = 0x00E5;
}  // namespace rec

inline constexpr std::size_t kMaxRecordBody = 8224;

// One logical record: its body and the bodies of the CONTINUE records that follow it.
struct BiffRecord {
  BiffRecord() = default;
  BiffRecord(std::uint16_t id_, std::string body_, std::vector<std::string> continues_ = {}, bool nested_ = false)
      : id(id_), body(std::move(body_)), continues(std::move(continues_)), nested(nested_) {}
  std::uint16_t id = 0;
  std::string body;
  std::vector<std::string> continues;
  bool nested = false;  // inside an embedded substream (a chart); never interpreted
};

// Reads the records of one substream, from its BOF at the offset to its own EOF (embedded
// substreams included); end receives the offset after its EOF. Throws WorkbookError when the
// bytes end first.
std::vector<BiffRecord> readSubstream(std::string_view stream, std::size_t offset, std::size_t* end = nullptr);
// Appends the record with its CONTINUE records.
void appendRecord(std::string& out, const BiffRecord& record);
// Appends a record of this writer's own, splitting a long body into CONTINUE records.
void appendRecord(std::string& out, std::uint16_t id, std::string_view body);
std::size_t recordSize(const BiffRecord& record);

// Unicode strings: 8-bit when every character fits, UTF-16 otherwise.
std::string shortUnicodeString(std::u16string_view text);  // 8-bit count
std::string unicodeString(std::u16string_view text);       // 16-bit count
// Reads a string with an 8-bit count at the offset (the form of sheet names).
std::u16string readShortUnicodeString(std::string_view body, std::size_t at);

inline constexpr std::uint16_t kBofGlobals = 0x0005;
inline constexpr std::uint16_t kBofWorksheet = 0x0010;

std::string bofBody(std::uint16_t type);
std::string boundSheetBody(std::u16string_view name);  // stream offset left 0, set on write
std::string numberBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf, double value);
std::string labelSstBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::uint32_t index);
std::string blankBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf);
std::string mulBlankBody(std::uint16_t row, std::uint16_t firstCol, const std::vector<std::uint16_t>& xfs);
std::string colInfoBody(std::uint16_t firstCol, std::uint16_t lastCol, std::uint16_t width, std::uint16_t xf);
std::string dimensionsBody(std::uint32_t firstRow, std::uint32_t rowEnd, std::uint16_t firstCol, std::uint16_t colEnd);
// The active (selected, shown) sheet has active set.
std::string window2Body(bool active);
std::string selectionBody(std::uint8_t pane, std::uint16_t row, std::uint16_t col);
struct CellRange {
  std::uint16_t firstRow, lastRow, firstCol, lastCol;
};
// As many MERGEDCELLS records as the ranges need (1026 per record, as Excel writes them).
std::vector<std::string> mergedCellsBodies(const std::vector<CellRange>& ranges);

}  // namespace sayolt::workbook
