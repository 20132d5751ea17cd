// The columns of the timetable: day and night lists, their boundary at the day start, the
// order of entries and the rows they take.
#include "workbook/timetable.h"

#include <gtest/gtest.h>

namespace sayolt::workbook {
namespace {

constexpr int kMonday = 0;
constexpr int kTuesday = 1;

TimeOfDay at(int h, int m) { return TimeOfDay{h * 3600 + m * 60}; }

struct Shown {
  std::string time;
  std::string label;
  EntryKind kind;
  bool operator==(const Shown&) const = default;
};

std::vector<Shown> column(const Timetable& t, int category) {
  std::vector<Shown> out;
  for (const auto& e : t.columns[category]) {
    const long long s = e.time.count();
    out.push_back({std::to_string(s / 3600) + ":" + (s / 60 % 60 < 10 ? "0" : "") + std::to_string(s / 60 % 60),
                   e.label, e.kind});
  }
  return out;
}

TEST(Timetable, ColumnRunsFromTheDayStartThroughMidnight) {
  TimetableInput in;
  in.dayStart = "5:00";
  in.startTimes[kMonday][0] = "7:00";
  in.endTimes[kMonday][0] = "1:00";
  in.runs[kMonday][0] = {"23:00", 3};
  in.programNames[3] = "バックアップ";
  const Timetable t = buildTimetable(in);
  EXPECT_EQ(column(t, kMonday), (std::vector<Shown>{{"7:00", "起動", EntryKind::Start},
                                                    {"23:00", "バックアップ", EntryKind::Run},
                                                    {"1:00", "終了", EntryKind::End}}));
  EXPECT_EQ(Timetable::entryRow(0), 4);
  EXPECT_EQ(Timetable::entryRow(2), 8);
  EXPECT_EQ(t.endRow(kMonday), 9);
  EXPECT_EQ(t.endRow(kTuesday), 3);  // no entries: the heading only
  EXPECT_EQ(t.tableEnd(), 9);
  EXPECT_EQ(t.dayStart, at(5, 0));
}

TEST(Timetable, AtTheDayStartARunEndsTheNightAndAStartOpensTheDay) {
  TimetableInput in;
  in.dayStart = "5:00";
  in.runs[kMonday][0] = {"5:00", 0};
  in.startTimes[kMonday][0] = "5:00";
  in.endTimes[kMonday][0] = "5:00";
  in.runs[kMonday][1] = {"4:59", 1};
  in.runs[kMonday][2] = {"5:01", 1};
  in.programNames = {"朝", "夜"};
  EXPECT_EQ(column(buildTimetable(in), kMonday), (std::vector<Shown>{{"5:00", "起動", EntryKind::Start},
                                                                     {"5:00", "終了", EntryKind::End},
                                                                     {"5:01", "夜", EntryKind::Run},
                                                                     {"4:59", "夜", EntryKind::Run},
                                                                     {"5:00", "朝", EntryKind::Run}}));
}

TEST(Timetable, TiesKeepStartsThenEndsThenRunsInSlotOrder) {
  TimetableInput in;
  in.runs[kMonday][0] = {"8:00", 1};
  in.runs[kMonday][1] = {"8:00", 0};
  in.endTimes[kMonday][5] = "8:00";
  in.startTimes[kMonday][7] = "8:00";
  in.startTimes[kMonday][2] = "08:00:00";
  in.programNames = {"a", "b"};
  const auto c = column(buildTimetable(in), kMonday);
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0].kind, EntryKind::Start);
  EXPECT_EQ(c[1].kind, EntryKind::Start);
  EXPECT_EQ(c[2].kind, EntryKind::End);
  EXPECT_EQ(c[3].label, "b");
  EXPECT_EQ(c[4].label, "a");
}

TEST(Timetable, EverythingBeforeTheDayStartListsInTimeOrder) {
  TimetableInput in;
  in.dayStart = "6:00";
  in.endTimes[kMonday][0] = "3:00";
  in.startTimes[kMonday][0] = "1:00";
  EXPECT_EQ(column(buildTimetable(in), kMonday),
            (std::vector<Shown>{{"1:00", "起動", EntryKind::Start}, {"3:00", "終了", EntryKind::End}}));
}

TEST(Timetable, UnreadableTextsAndEmptyDayStart) {
  TimetableInput in;
  in.startTimes[kMonday][0] = "0:30";
  in.startTimes[kMonday][1] = "朝";
  in.runs[kMonday][0] = {"9:00", 25};  // no such program: no name
  for (const char* dayStart : {"", "25:00", "abc"}) {
    in.dayStart = dayStart;
    const Timetable t = buildTimetable(in);
    EXPECT_EQ(t.dayStart, at(0, 0)) << dayStart;
    EXPECT_EQ(column(t, kMonday),
              (std::vector<Shown>{{"0:30", "起動", EntryKind::Start}, {"9:00", "", EntryKind::Run}}));
    ASSERT_EQ(t.skipped.size(), 1u);
    EXPECT_EQ(t.skipped[0].text, "朝");
  }
}

}  // namespace
}  // namespace sayolt::workbook
