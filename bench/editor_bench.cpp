// The settings editor on the largest settings file (every key set): opening the main page
// (read all three pages, check, filled window shown offscreen) and saving the page with every
// value changed, flush included.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "editor/model/main_page.h"
#include "editor/ui/editor_font.h"
#include "editor/ui/main_page_window.h"
#include "platform/text_codec.h"
#include "testdata/full_settings.h"
#include "tests/editor/editor_fakes.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/test_files.h"

namespace sayolt::editor {
namespace {

struct EditorOnFullFile {
  EditorOnFullFile() {
    test::qtTestApp();
    QApplication::setFont(ui::editorFont());
    test::writeBytes(context.settings.path(), *cp932::fromUtf8(test::fullSettingsText()));
  }
  test::TempFolder folder;
  test::FakeEditorServices fakes;
  EditorContext context{folder.path(), fakes.services()};
};

void BM_OpenMainPage(benchmark::State& state) {
  EditorOnFullFile editor;
  for (auto _ : state) {
    ui::MainPageWindow page(editor.context);
    page.load();
    benchmark::DoNotOptimize(checkMainPage(page.values()));
    page.show();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_OpenMainPage)->Unit(benchmark::kMillisecond);

// Two pages that differ in every value the page saves change-only, saved in turn.
void BM_SaveMainPageEveryValueChanged(benchmark::State& state) {
  EditorOnFullFile editor;
  MainPageTables& tables = editor.context.tables.main;
  const MainPageValues a = readMainPage(IniSnapshot::load(editor.context.settings.path()), tables);
  MainPageValues b = a;
  for (auto& t : b.times) t = t.empty() ? "7:00" : t + ":30";
  for (auto* rows : {b.autoPrograms.data(), b.manualPrograms.data()}) {
    const int count = rows == b.autoPrograms.data() ? keys::kAutoPrograms : keys::kManualPrograms;
    for (int n = 0; n < count; ++n) rows[n] = {rows[n].name + "改", rows[n].path + ".bak", rows[n].delay + "0"};
  }
  b.ntpServers = {"ntp1.jst.mfeed.ad.jp", "ntp2.jst.mfeed.ad.jp"};
  b.trayIcon = !a.trayIcon;
  b.priority = Priority::Absence;
  b.tolerance = "45";
  b.dayStart = "4:30";
  const RunPlan planA = tables.runPlan;
  RunPlan planB = planA;
  for (auto& program : planB)
    for (auto& category : program)
      for (auto& flag : category) flag = flag == "1" ? "0" : "1";

  bool toB = true;
  for (auto _ : state) {
    tables.runPlan = toB ? planB : planA;
    saveMainPage(editor.context.settings, toB ? b : a, tables);
    toB = !toB;
  }
}
BENCHMARK(BM_SaveMainPageEveryValueChanged)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sayolt::editor
