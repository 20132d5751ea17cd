// Screenshots of the settings editor's second and third pages with realistic data.
//   sayolt-editor-pages-shots <output folder>
// Run under a real X server with a Japanese font (scripts/screenshots), so that the text shows.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "editor/model/editor_context.h"
#include "editor/ui/dates_page_window.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/timed_page_window.h"
#include "platform/null/null_platform.h"
#include "platform/text_codec.h"
#include "shared/settings_keys.h"
#include "tools/screenshots/screenshot_support.h"

namespace {

using namespace sayolt;

// Twenty named programs with long paths, Monday's thirty runs, both date lists.
std::string settingsText() {
  using namespace keys;
  const char* const names[kTimedPrograms] = {
      "メール受信", "日報集計", "在庫照会",       "売上速報",     "バックアップ",   "ウイルス検査", "勤怠締め",
      "会議室予約", "朝礼放送", "昼休みチャイム", "終業チャイム", "印刷キュー清掃", "ログ整理",     "データ同期",
      "受注取込み", "出荷指示", "請求書発行",     "給与計算",     "監視停止",       "再起動確認"};
  std::string t = std::string("[") + kStartEndSection + "]\r\n";
  for (int c = 0; c < kCategories; ++c) {
    for (int s = 0; s < 3; ++s) {
      t += startTimeKey(c, s) + "=" + std::to_string(7 + 4 * s) + ":30\r\n";
      t += endTimeKey(c, s) + "=" + std::to_string(10 + 4 * s) + ":45\r\n";
    }
  }
  t += std::string("[") + kTimedProgramSection + "]\r\n";
  for (int n = 0; n < kTimedPrograms; ++n) {
    t += programNameKey(n) + "=" + names[n] + "\r\n";
    t += programPathKey(n) + "=" +
         (n == 18 ? std::string("sed") : "C:\\Program Files\\業務ツール\\" + std::string(names[n]) + ".exe") + "\r\n";
  }
  t += std::string("[") + kTimedRunSection + "]\r\n";
  for (int r = 0; r < kTimedRuns; ++r) {
    t += timedRunStartKey(0, r) + "=" + std::to_string(7 + r / 3) + ":" + std::to_string(r % 3 * 20 + 10) + "\r\n";
    t += timedRunNumberKey(0, r) + "=" + std::to_string(r % kTimedPrograms) + "\r\n";
  }
  t += std::string("[") + kHolidaySection + "]\r\n";
  t += dateListKey(1) + "=2027/1/4\r\n" + dateListKey(2) + "=2027/8/13\r\n";
  t += std::string("[") + kAbsenceSection + "]\r\n";
  for (int n = 1; n <= 20; ++n)
    t += dateListKey(n) + "=2027/" + std::to_string(1 + n / 4) + "/" + std::to_string(5 + n) + "\r\n";
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sayolt-editor-pages-shots <output folder>\n");
    return 2;
  }
  const QDir out = shots::startEditorShots(argv[1]);

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("sayolt-editor-pages-shots-" + std::to_string(QCoreApplication::applicationPid()));
  std::filesystem::create_directories(folder);
  NullDialogs dialogs;
  NullProcesses processes;
  FakeSingleInstance instances;  // no scheduler running
  shots::NoEvents events;
  // Monday 4 January 2027, 9:00.
  shots::StillClock clock(*parseLocalDateTime("2027-01-04 09:00:00"));
  editor::EditorContext context(folder, {dialogs, processes, instances, events, clock});
  {
    const auto bytes = cp932::fromUtf8(settingsText());
    std::ofstream file(folder / editor::EditorContext::settingsFileName(), std::ios::binary);
    if (!bytes || !file.write(bytes->data(), static_cast<std::streamsize>(bytes->size()))) return 1;
  }
  // The reference grid shows the main page's times as last read.
  const IniSnapshot snapshot = context.settings.snapshot();
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kSlots; ++s) {
      context.tables.main.savedTimes[editor::gridIndex(0, c, s)] =
          snapshot.get(keys::kStartEndSection, keys::startTimeKey(c, s));
      context.tables.main.savedTimes[editor::gridIndex(1, c, s)] =
          snapshot.get(keys::kStartEndSection, keys::endTimeKey(c, s));
    }
  }

  bool ok = true;
  {
    editor::ui::TimedPageWindow page(context);
    page.load();
    ok = shots::save(page, out, "editor_timed_page.png") && ok;
  }
  {
    editor::ui::DatesPageWindow page(context);
    page.load();
    ok = shots::save(page, out, "editor_dates_page.png") && ok;
    control<QRadioButton>(page, "Option1", 0)->click();
    control<QPushButton>(page, "AddNationalHolidays")->click();
    ok = shots::save(page, out, "editor_dates_page_holidays.png") && ok;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return ok ? 0 : 1;
}
