#!/usr/bin/env python3
"""The real Sayolt_123 as a screen reader meets it: AT-SPI on a virtual X server.

A desktop without a notification area, so the panel opens at start-up. Through the accessibility
bus only (names, Press, Toggle, text set without typing) it checks that the panel's values are
heard with their names and follow every change, that 本日/翌日 switched by Toggle rebuild the
list, and that a second start brings the closed panel back. Runs in its own user and network
namespace with a small time server on 127.0.0.1:123, and without the right to set the clock.

    scheduler_a11y_e2e.py SAYOLT_123
Exit 0 passed, 1 failed, 77 skipped (a tool, the AT-SPI bindings or namespaces are missing).
"""
import datetime
import os
import re
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "support"), HERE]

import atspi  # noqa: E402
import desktop  # noqa: E402

CATEGORIES = ["月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日"]
TOMORROW_ONLY = "23:58"
WINDOW = "filler"  # what Qt makes of a plain top-level widget
NOT_ALLOWED = ["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time"]


def settings_text(now):
    """Starts and ends hours away, so nothing is due; tomorrow alone has a start at 23:58."""
    def hm(delta):
        t = now + datetime.timedelta(hours=delta)
        return f"{t.hour}:{t.minute:02d}"

    tomorrow = (now.weekday() + 1) % 7
    lines = ["[起動時調整時間]", "時間=1", "[NTPサーバー]", "サーバー0=127.0.0.1", "サーバー1=127.0.0.1",
             "[休日不在]", "優先=1", "[一日の区切り]", "時刻=0", "[タスクトレイ]", "アイコン表示=1", "[起動終了時刻]"]
    for c in range(9):
        lines += [f"0-{c}-0={hm(6)}", f"1-{c}-0={hm(3)}"]
    lines.append(f"0-{tomorrow}-1={TOMORROW_ONLY}")
    return ("\r\n".join(lines) + "\r\n").encode("cp932"), hm(3)


def expect(condition, what):
    if not condition:
        atspi.fail(what)


def list_lines(window):
    listing = atspi.find(window, name="予定の一覧", role="list")
    return [atspi.name(item) for item in atspi.find_all(listing, role="list item")]


def check_panel_values(app, end_text, today):
    panel = atspi.find(app, name="起動終了操作", role=WINDOW, seconds=20)
    end = atspi.find(panel, name_prefix="終了時刻 ", role="label")
    expect(re.fullmatch(rf"終了時刻 (明日  )?{re.escape(end_text)}", atspi.name(end)),
           f"the end is heard as {atspi.name(end)!r}, not with its time {end_text}")
    start = atspi.find(panel, name_prefix="次回起動時刻 ", role="label")
    expect(re.fullmatch(r"次回起動時刻 (明日　)?\d{1,2}:\d{2}", atspi.name(start)),
           f"the next start is heard as {atspi.name(start)!r}")
    category = atspi.find(panel, name_prefix="本日区分 ", role="label")
    expect(atspi.name(category).startswith(f"本日区分 {today}"), f"the day is heard as {atspi.name(category)!r}")

    # タイマーの停止: both times are heard as 停止中.
    atspi.do_action(atspi.find(panel, name="タイマーの停止", role="push button"), "Press")
    expect(atspi.wait_until(lambda: atspi.name(end) == "終了時刻 停止中" and atspi.name(start) == "次回起動時刻 停止中"),
           f"after タイマーの停止: {atspi.name(end)!r}, {atspi.name(start)!r}")

    # A new end set as an input method gives it, without typing; 変更 by Press.
    field = atspi.find(panel, name="終了時刻の変更", role="text")
    atspi.set_text(field, "１８：４５")
    expect(atspi.wait_until(lambda: atspi.text(field) == "18:45"),
           f"the field reads {atspi.text(field)!r}, not the half-width 18:45")
    atspi.do_action(atspi.find(panel, name="終了時刻を変更", role="push button"), "Press")
    expect(atspi.wait_until(lambda: atspi.name(end) == "終了時刻 18:45"), f"after 変更 the end is {atspi.name(end)!r}")
    expect(not atspi.name(start).endswith("停止中"), f"the next start still reads {atspi.name(start)!r}")
    return panel


def check_schedule_toggle(app, panel):
    atspi.do_action(atspi.find(panel, name="本日の予定", role="push button"), "Press")
    window = atspi.find(app, name="本日の予定", role=WINDOW, seconds=10)
    today_lines = list_lines(window)
    expect(today_lines and not any(TOMORROW_ONLY in line for line in today_lines),
           f"today's list is {today_lines}")
    tomorrow = atspi.find(window, name="翌日", role="radio button")
    atspi.do_action(tomorrow, "Toggle")
    expect(atspi.wait_until(lambda: any(TOMORROW_ONLY in line for line in list_lines(window))),
           f"翌日 by Toggle: checked={atspi.has_state(tomorrow, 'checked')}, lines {list_lines(window)}")
    today = atspi.find(window, name="本日", role="radio button")
    atspi.do_action(today, "Toggle")
    expect(atspi.wait_until(lambda: list_lines(window) == today_lines), f"本日 by Toggle: {list_lines(window)}")
    atspi.do_action(atspi.find(window, name="閉じる", role="push button"), "Press")


def inner(scheduler):
    desktop.bring_loopback_up()
    server = desktop.TimeServer()
    now = datetime.datetime.now()
    if now.hour == 23 and now.minute >= 50 or now.hour == 0 and now.minute < 5:
        atspi.skip("too close to midnight for a day that stays the same while the test runs")

    with tempfile.TemporaryDirectory(prefix="sayolt-a11y-") as folder:
        program = os.path.join(folder, "Sayolt_123")
        shutil.copy2(scheduler, program)
        text, end_text = settings_text(now)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(text)

        with atspi.Desktop(tray=False) as desk:
            proc = desk.start(NOT_ALLOWED + [program], cwd=folder)
            app = desk.application("Sayolt_123", proc)
            panel = check_panel_values(app, end_text, CATEGORIES[now.weekday()])
            check_schedule_toggle(app, panel)

            # Closed, the panel comes back when the program is started again.
            atspi.do_action(atspi.find(panel, name="閉じる", role="push button"), "Press")
            expect(atspi.wait_until(lambda: not atspi.has_state(panel, "showing")), "閉じる left the panel open")
            second = desk.start(NOT_ALLOWED + [program], cwd=folder)
            try:
                code = second.wait(timeout=20)
            except Exception:
                atspi.fail("the second copy did not end")
            expect(code == 0 and proc.poll() is None, f"the second copy ended with {code}, the first with {proc.poll()}")
            expect(atspi.wait_until(lambda: atspi.has_state(panel, "showing")),
                   "the second start did not bring the panel back")

            atspi.do_action(atspi.find(panel, name="プログラムの終了", role="push button"), "Press")
            try:
                code = proc.wait(timeout=10)
            except Exception:
                atspi.fail("プログラムの終了 did not end the program")
            expect(code == 0, f"Sayolt_123 ended with code {code}")
    server.close()
    print("passed: values heard with their names, Toggle rebuilds the list, a second start shows the panel")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    atspi.require_tools("setpriv")
    atspi.run_in_namespaces(network=True)
    inner(os.path.abspath(sys.argv[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
