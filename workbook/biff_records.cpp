#include "workbook/biff_records.h"

#include <algorithm>

#include "workbook/byte_io.h"

namespace sayolt::workbook {

std::vector<BiffRecord> readSubstream(std::string_view stream, std::size_t offset, std::size_t* end) {
  std::vector<BiffRecord> records;
  int depth = 0;
  std::size_t at = offset;
  while (true) {
    if (at + 4 > stream.size()) throw WorkbookError(kDamaged);
    const std::uint16_t id = get16(stream, at);
    const std::uint16_t length = get16(stream, at + 2);
    if (at + 4 + length > stream.size()) throw WorkbookError(kDamaged);
    const std::string_view body = stream.substr(at + 4, length);
    at += 4u + length;
    if (records.empty() && id != rec::kBof) throw WorkbookError(kDamaged);
    if (id == rec::kContinue && !records.empty()) {
      records.back().continues.emplace_back(body);
      continue;
    }
    if (id == rec::kBof) ++depth;
    records.push_back({id, std::string(body), {}, depth > 1});
    if (id == rec::kEof && --depth == 0) {
      if (end) *end = at;
      return records;
    }
  }
}

std::size_t recordSize(const BiffRecord& record) {
  std::size_t size = 4 + record.body.size();
  for (const auto& c : record.continues) size += 4 + c.size();
  return size;
}

void appendRecord(std::string& out, const BiffRecord& record) {
  put16(out, record.id);
  put16(out, static_cast<std::uint16_t>(record.body.size()));
  out.append(record.body);
  for (const auto& c : record.continues) {
    put16(out, rec::kContinue);
    put16(out, static_cast<std::uint16_t>(c.size()));
    out.append(c);
  }
}

void appendRecord(std::string& out, std::uint16_t id, std::string_view body) {
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(kMaxRecordBody, body.size() - at);
    put16(out, at == 0 ? id : rec::kContinue);
    put16(out, static_cast<std::uint16_t>(n));
    out.append(body.substr(at, n));
    at += n;
  } while (at < body.size());
}

namespace {

bool fitsEightBits(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

void appendCharacters(std::string& out, std::u16string_view text) {
  const bool narrow = fitsEightBits(text);
  put8(out, narrow ? 0 : 1);
  for (const char16_t c : text) {
    if (narrow) {
      put8(out, static_cast<std::uint8_t>(c));
    } else {
      put16(out, c);
    }
  }
}

}  // namespace

std::string shortUnicodeString(std::u16string_view text) {
  std::string out;
  put8(out, static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), 255)));
  appendCharacters(out, text.substr(0, 255));
  return out;
}

std::string unicodeString(std::u16string_view text) {
  std::string out;
  put16(out, static_cast<std::uint16_t>(std::min<std::size_t>(text.size(), 65535)));
  appendCharacters(out, text.substr(0, 65535));
  return out;
}

std::u16string readShortUnicodeString(std::string_view body, std::size_t at) {
  const std::uint8_t count = get8(body, at);
  const bool wide = (get8(body, at + 1) & 1) != 0;
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i)
    text.push_back(wide ? static_cast<char16_t>(get16(body, at + 2 + 2 * i)) : get8(body, at + 2 + i));
  return text;
}

std::string bofBody(std::uint16_t type) {
  std::string b;
  put16(b, 0x0600);
  put16(b, type);
  put16(b, 0x0DBB);  // build
  put16(b, 0x07CD);  // year
  put32(b, 0);       // file history
  put32(b, 0x06);    // lowest BIFF version
  return b;
}

std::string boundSheetBody(std::u16string_view name) {
  std::string b;
  put32(b, 0);
  put8(b, 0);  // visible
  put8(b, 0);  // worksheet
  b += shortUnicodeString(name);
  return b;
}

std::string numberBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf, double value) {
  std::string b = blankBody(row, col, xf);
  putDouble(b, value);
  return b;
}

std::string labelSstBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::uint32_t index) {
  std::string b = blankBody(row, col, xf);
  put32(b, index);
  return b;
}

std::string blankBody(std::uint16_t row, std::uint16_t col, std::uint16_t xf) {
  std::string b;
  put16(b, row);
  put16(b, col);
  put16(b, xf);
  return b;
}

std::string mulBlankBody(std::uint16_t row, std::uint16_t firstCol, const std::vector<std::uint16_t>& xfs) {
  std::string b;
  put16(b, row);
  put16(b, firstCol);
  for (const std::uint16_t xf : xfs) put16(b, xf);
  put16(b, static_cast<std::uint16_t>(firstCol + xfs.size() - 1));
  return b;
}

std::string colInfoBody(std::uint16_t firstCol, std::uint16_t lastCol, std::uint16_t width, std::uint16_t xf) {
  std::string b;
  put16(b, firstCol);
  put16(b, lastCol);
  put16(b, width);
  put16(b, xf);
  put16(b, 0);  // not hidden
  put16(b, 0);
  return b;
}

std::string dimensionsBody(std::uint32_t firstRow, std::uint32_t rowEnd, std::uint16_t firstCol, std::uint16_t colEnd) {
  std::string b;
  put32(b, firstRow);
  put32(b, rowEnd);
  put16(b, firstCol);
  put16(b, colEnd);
  put16(b, 0);
  return b;
}

std::string window2Body(bool active) {
  std::string b;
  // Grid, headers, zeros, automatic grid colour, outline symbols; selected and shown when active.
  put16(b, active ? 0x06B6 : 0x00B6);
  put16(b, 0);     // top row
  put16(b, 0);     // left column
  put16(b, 0x40);  // grid colour
  put16(b, 0);
  put16(b, 0);  // zoom in page break preview: default
  put16(b, 0);  // zoom in normal view: default
  put32(b, 0);
  return b;
}

std::string selectionBody(std::uint8_t pane, std::uint16_t row, std::uint16_t col) {
  std::string b;
  put8(b, pane);
  put16(b, row);
  put16(b, col);
  put16(b, 0);  // the active cell lies in range 0
  put16(b, 1);
  put16(b, row);
  put16(b, row);
  put8(b, static_cast<std::uint8_t>(col));
  put8(b, static_cast<std::uint8_t>(col));
  return b;
}

std::vector<std::string> mergedCellsBodies(const std::vector<CellRange>& ranges) {
  constexpr std::size_t kPerRecord = 1026;
  std::vector<std::string> bodies;
  for (std::size_t first = 0; first < ranges.size(); first += kPerRecord) {
    const std::size_t count = std::min(kPerRecord, ranges.size() - first);
    std::string b;
    put16(b, static_cast<std::uint16_t>(count));
    for (std::size_t i = first; i < first + count; ++i) {
      put16(b, ranges[i].firstRow);
      put16(b, ranges[i].lastRow);
      put16(b, ranges[i].firstCol);
      put16(b, ranges[i].lastCol);
    }
    bodies.push_back(std::move(b));
  }
  return bodies;
}

}  // namespace sayolt::workbook
