#include "workbook/shared_strings.h"

#include <algorithm>

#include "workbook/byte_io.h"

namespace sayolt::workbook {

namespace {

// Reads across the SST record and its CONTINUE records. Characters that run on into the next
// record start it with a fresh flags byte; everything else is read straight across.
class SegmentReader {
 public:
  explicit SegmentReader(const BiffRecord& sst) {
    segments_.push_back(sst.body);
    for (const auto& c : sst.continues) segments_.push_back(c);
  }

  bool atEnd() {
    skipEmpty();
    return segment_ >= segments_.size();
  }

  std::string bytes(std::size_t n) {
    std::string out;
    while (out.size() < n) {
      skipEmpty();
      if (segment_ >= segments_.size()) throw WorkbookError(kDamaged);
      const std::string_view s = segments_[segment_];
      const std::size_t take = std::min(n - out.size(), s.size() - offset_);
      out.append(s.substr(offset_, take));
      offset_ += take;
    }
    return out;
  }

  std::u16string characters(std::size_t count, bool wide) {
    std::u16string out;
    out.reserve(count);
    while (out.size() < count) {
      if (offset_ >= segments_[segment_].size()) {
        ++segment_;
        offset_ = 0;
        if (segment_ >= segments_.size()) throw WorkbookError(kDamaged);
        wide = (get8(segments_[segment_], offset_++) & 1) != 0;
        continue;
      }
      const std::string_view s = segments_[segment_];
      if (wide) {
        out.push_back(static_cast<char16_t>(get16(s, offset_)));
        offset_ += 2;
      } else {
        out.push_back(get8(s, offset_++));
      }
    }
    return out;
  }

 private:
  void skipEmpty() {
    while (segment_ < segments_.size() && offset_ >= segments_[segment_].size()) {
      ++segment_;
      offset_ = 0;
    }
  }

  std::vector<std::string_view> segments_;
  std::size_t segment_ = 0;
  std::size_t offset_ = 0;
};

std::uint16_t u16(const std::string& b) { return get16(b, 0); }
std::uint32_t u32(const std::string& b) { return get32(b, 0); }

// Writes records no longer than the limit, starting a CONTINUE where one is full.
class SstWriter {
 public:
  explicit SstWriter(std::size_t sstOffset) : recordStart_(sstOffset) { records_.emplace_back(); }

  std::string& current() { return records_.back(); }
  std::size_t room() const { return kMaxRecordBody - records_.back().size(); }
  void next() {
    recordStart_ += 4 + records_.back().size();
    records_.emplace_back();
  }
  // Stream offset of the next byte, and its offset inside its record counting the header.
  std::size_t streamOffset() const { return recordStart_ + 4 + records_.back().size(); }
  std::uint16_t recordOffset() const { return static_cast<std::uint16_t>(4 + records_.back().size()); }

  void appendSplittable(std::string_view data, std::size_t unit) {
    std::size_t at = 0;
    while (at < data.size()) {
      if (room() < unit) next();
      const std::size_t take = std::min(data.size() - at, room() / unit * unit);
      current().append(data.substr(at, take));
      at += take;
    }
  }

  void flush(std::string& out) const {
    for (std::size_t i = 0; i < records_.size(); ++i)
      appendRecord(out, {i == 0 ? rec::kSst : rec::kContinue, records_[i], {}});
  }

 private:
  std::vector<std::string> records_;
  std::size_t recordStart_;
};

}  // namespace

std::vector<SstString> readSst(const BiffRecord& sst) {
  SegmentReader in(sst);
  in.bytes(4);  // total references
  const std::uint32_t unique = u32(in.bytes(4));
  std::vector<SstString> strings;
  strings.reserve(std::min<std::uint32_t>(unique, 65536));
  for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
    SstString s;
    const std::uint16_t count = u16(in.bytes(2));
    const auto flags = static_cast<std::uint8_t>(in.bytes(1)[0]);
    std::uint32_t phoneticSize = 0;
    if (flags & 0x08) s.runCount = u16(in.bytes(2));
    if (flags & 0x04) phoneticSize = u32(in.bytes(4));
    s.text = in.characters(count, (flags & 0x01) != 0);
    s.runs = in.bytes(4u * s.runCount);
    s.phonetic = in.bytes(phoneticSize);
    strings.push_back(std::move(s));
  }
  return strings;
}

void appendSst(std::string& out, const std::vector<const SstString*>& strings, std::uint32_t totalReferences,
               std::size_t sstOffset) {
  const std::size_t perBucket = std::max<std::size_t>(8, strings.size() / 128 + 1);
  std::string extSst;
  put16(extSst, static_cast<std::uint16_t>(perBucket));

  SstWriter w(sstOffset);
  put32(w.current(), totalReferences);
  put32(w.current(), static_cast<std::uint32_t>(strings.size()));
  for (std::size_t i = 0; i < strings.size(); ++i) {
    const SstString& s = *strings[i];
    const bool wide = std::any_of(s.text.begin(), s.text.end(), [](char16_t c) { return c > 0xFF; });
    const std::size_t unit = wide ? 2 : 1;
    std::string header;
    put16(header, static_cast<std::uint16_t>(s.text.size()));
    put8(header,
         static_cast<std::uint8_t>((wide ? 0x01 : 0) | (s.runCount ? 0x08 : 0) | (s.phonetic.empty() ? 0 : 0x04)));
    if (s.runCount) put16(header, s.runCount);
    if (!s.phonetic.empty()) put32(header, static_cast<std::uint32_t>(s.phonetic.size()));
    // The header and the first character always share a record.
    if (w.room() < header.size() + (s.text.empty() ? 0 : unit)) w.next();
    if (i % perBucket == 0) {
      put32(extSst, static_cast<std::uint32_t>(w.streamOffset()));
      put16(extSst, w.recordOffset());
      put16(extSst, 0);
    }
    w.current() += header;
    std::size_t at = 0;
    while (at < s.text.size()) {
      if (w.room() < unit) {
        w.next();
        put8(w.current(), wide ? 1 : 0);
      }
      const std::size_t take = std::min(s.text.size() - at, w.room() / unit);
      for (std::size_t k = at; k < at + take; ++k) {
        if (wide) {
          put16(w.current(), s.text[k]);
        } else {
          put8(w.current(), static_cast<std::uint8_t>(s.text[k]));
        }
      }
      at += take;
    }
    w.appendSplittable(s.runs, 4);
    w.appendSplittable(s.phonetic, 1);
  }
  w.flush(out);
  appendRecord(out, rec::kExtSst, extSst);
}

}  // namespace sayolt::workbook
