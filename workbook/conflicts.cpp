#include "workbook/conflicts.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace sayolt::workbook {

namespace {

constexpr int kSunday = 6;
constexpr int kDaysInWeek = 7;

enum class PcState { Unknown, On, Off };

struct Moment {
  int day = 0;
  TimeOfDay time{0};  // adjusted: times before the day start count from the next midnight
};

struct Walk {
  PcState state = PcState::Unknown;
  Moment lastStart, lastShutdown;
};

struct Rules {
  bool sameTime = true;
  bool twentyFourHours = true;
};

class Marker {
 public:
  explicit Marker(const Timetable& table) : table_(table) {}

  // Applies the rules to one column as day number `day`; with record off, it only follows the state.
  void walk(Walk& w, int category, int day, Rules rules, bool record = true) {
    const auto& column = table_.columns[category];
    for (std::size_t i = 0; i < column.size(); ++i) {
      const Entry& e = column[i];
      const Moment now{day, adjusted(e.time)};
      const auto mark = [&](ConflictRule rule) {
        if (record) marks_.insert({category, i, rule});
      };
      if (e.kind == EntryKind::Start && w.state == PcState::On) mark(ConflictRule::DoubleStart);
      if (e.kind == EntryKind::End && w.state == PcState::Off) mark(ConflictRule::DoubleEnd);
      // A run without a program name starts nothing, so it cannot run while the PC is off.
      if (e.kind == EntryKind::Run && !e.label.empty() && w.state == PcState::Off) mark(ConflictRule::RunWhileOff);
      if (e.kind == EntryKind::Start) {
        if (rules.twentyFourHours && longerThanADay(w.lastShutdown, now)) mark(ConflictRule::Over24hOff);
        w.state = PcState::On;
        w.lastStart = now;
      } else if (e.kind == EntryKind::End) {
        if (rules.twentyFourHours && longerThanADay(w.lastStart, now)) mark(ConflictRule::Over24hOn);
        w.state = PcState::Off;
        w.lastShutdown = now;
      }
      if (rules.sameTime && i > 0 && column[i - 1].time == e.time) mark(ConflictRule::SameTime);
    }
  }

  std::vector<Conflict> result() const {
    std::vector<Conflict> out;
    for (const auto& [category, entry, rule] : marks_) out.push_back({category, entry, rule});
    return out;
  }

 private:
  TimeOfDay adjusted(TimeOfDay t) const { return t < table_.dayStart ? t + kSecondsPerDay : t; }

  static bool longerThanADay(const Moment& from, const Moment& to) {
    const int days = to.day - from.day;
    return days >= 2 || (days == 1 && from.time < to.time);
  }

  const Timetable& table_;
  std::set<std::tuple<int, std::size_t, ConflictRule>> marks_;
};

}  // namespace

std::vector<Conflict> findConflicts(const Timetable& table) {
  Marker marker(table);

  // The week, Monday to Sunday, the PC's state carried from one day to the next.
  Walk week;
  for (int c = 0; c < kDaysInWeek; ++c) marker.walk(week, c, c, {});

  // Sunday leads into Monday again. Sunday becomes day 0; a last start or shutdown from earlier
  // in the week keeps its distance to it.
  Walk wrap = week;
  wrap.lastStart.day -= kSunday;
  wrap.lastShutdown.day -= kSunday;
  marker.walk(wrap, kSunday, 0, {}, false);
  marker.walk(wrap, 0, 1, {.sameTime = false});

  // Holidays and absence days on their own, without the 24-hour rules.
  for (int c = kDaysInWeek; c < kCategories; ++c) {
    Walk alone;
    marker.walk(alone, c, 0, {.sameTime = true, .twentyFourHours = false});
  }
  return marker.result();
}

const char* ruleName(ConflictRule rule) {
  switch (rule) {
    case ConflictRule::DoubleStart:
      return "double-start";
    case ConflictRule::DoubleEnd:
      return "double-end";
    case ConflictRule::RunWhileOff:
      return "run-while-off";
    case ConflictRule::Over24hOff:
      return "over-24h-off";
    case ConflictRule::Over24hOn:
      return "over-24h-on";
    case ConflictRule::SameTime:
      return "same-time";
  }
  return "";
}

const char* ruleDescription(ConflictRule rule) {
  switch (rule) {
    case ConflictRule::DoubleStart:
      return "起動中にさらに起動";
    case ConflictRule::DoubleEnd:
      return "停止中にさらに終了";
    case ConflictRule::RunWhileOff:
      return "停止中のプログラム実行";
    case ConflictRule::Over24hOff:
      return "停止が24時間を超える";
    case ConflictRule::Over24hOn:
      return "稼働が24時間を超える";
    case ConflictRule::SameTime:
      return "同じ時刻の項目が続く";
  }
  return "";
}

}  // namespace sayolt::workbook
