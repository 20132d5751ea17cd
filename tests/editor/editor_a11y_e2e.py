#!/usr/bin/env python3
"""The real Sayolt設定_123 as a screen reader meets it: AT-SPI on a virtual X server.

Through the accessibility bus only (names, Press, text set without typing, the focus given to a
field) it checks that Sayolt再起動 leaves a running scheduler alone when there is no program to
start, that the retry captions are the buttons' names, that a Press runs the check of the field
that has the focus (the day start on the main page, a program number on page 2), that full-width
times are stored half-width, and that text set without typing on page 2 is saved. A stand-in
holds the scheduler's name; nothing may set the clock.

    editor_a11y_e2e.py SAYOLT_EDITOR FAKE_SCHEDULER
Exit 0 passed, 1 failed, 77 skipped (a tool or the AT-SPI bindings are missing).
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "support")]

import atspi  # noqa: E402

WINDOW = "filler"  # what Qt makes of a plain top-level widget
NOT_ALLOWED = ["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time"]
EDITOR = "Sayolt設定_123"

SETTINGS = "\r\n".join([
    "[起動終了時刻]", *[f"0-{c}-0=8:00" for c in range(9)], "1-0-0=17:00",
    "[NTPサーバー]", "サーバー0=ntp.nict.jp", "サーバー1=time.google.com",
    "[起動時調整時間]", "時間=30", "[休日不在]", "優先=0", "[一日の区切り]", "時刻=300",
    "[時刻指定プログラム]", "プログラム名2=日報", "パス2=C:\\report.exe",
    "[時刻指定プログラム実行予定]", "開始時刻0-0=9:00", "番号0-0=2",
]) + "\r\n"


def expect(condition, what):
    if not condition:
        atspi.fail(what)


def read_settings(folder):
    with open(os.path.join(folder, "Sayolt設定.ini"), "rb") as f:
        return f.read().decode("cp932")


def answer_message(desk, app, window, text_prefix):
    """The message box that begins with text_prefix, answered with OK; then the page is given
    the keyboard again, as a window manager would (there is none here)."""
    message = atspi.find(app, name_prefix=text_prefix, role="label", showing=True, seconds=10)
    atspi.do_action(atspi.find(app, name="OK", role="push button", showing=True), "Press")
    expect(atspi.wait_until(lambda: not atspi.has_state(message, "showing")), f"{text_prefix}… stayed open")
    title = atspi.name(window)
    subprocess.run(["xdotool", "search", "--name", f"^{title}$", "windowfocus"], env=desk.env,
                   capture_output=True, check=False)
    expect(atspi.wait_until(lambda: atspi.has_state(window, "active")), f"{title} did not get the keyboard back")


def press(window, button_name):
    atspi.do_action(atspi.find(window, name=button_name, role="push button", showing=True), "Press")


def type_into(window, field_name, value):
    """The focus into the field, then its text replaced without typing, as a screen reader does."""
    field = atspi.find(window, name=field_name, role="text", showing=True)
    atspi.grab_focus(field)
    expect(atspi.wait_until(lambda: atspi.has_state(field, "focused")), f"{field_name} did not take the focus")
    atspi.set_text(field, value)
    expect(atspi.wait_until(lambda: atspi.text(field) == value), f"{field_name} reads {atspi.text(field)!r}")
    return field


def check_restart_without_program(desk, app, scheduler, marker):
    main = atspi.find(app, name="起動設定", role=WINDOW, seconds=20)
    press(main, "Sayolt再起動")
    answer_message(desk, app, main, "Sayolt_123 が見つからないため")
    expect(scheduler.poll() is None and not os.path.exists(marker),
           "Sayolt再起動 closed the running scheduler although there was nothing to start")
    return main


def check_retry_names(desk, app, main):
    type_into(main, "起動時調整時間 (秒)", "")
    press(main, "次へ")
    answer_message(desk, app, main, "起動時調整時間を記入してください")
    atspi.find(main, name="もう一度チェックする", role="push button", showing=True)
    atspi.find(main, name="あきらめる(保存せず終了)", role="push button", showing=True)
    type_into(main, "起動時調整時間 (秒)", "30")
    press(main, "もう一度チェックする")
    atspi.find(main, name="次へ", role="push button", showing=True)
    atspi.find(main, name="設定終了", role="push button", showing=True)


def check_day_start(desk, app, main, proc, folder):
    before = read_settings(folder)
    type_into(main, "1日の開始時刻 (h:mm)", "25:00")
    press(main, "設定終了")
    answer_message(desk, app, main, "h:mm 形式で記入してください")
    expect(proc.poll() is None, "設定終了 by Press ended the editor past a day start of 25:00")
    expect(read_settings(folder) == before, "a refused day start was saved")
    type_into(main, "1日の開始時刻 (h:mm)", "５：３０")
    press(main, "次へ")
    page2 = atspi.find(app, name="プログラムの時刻指定", role=WINDOW, seconds=10)
    expect("[一日の区切り]\r\n時刻=330\r\n" in read_settings(folder), "the full-width day start was not stored as 330")
    return page2


def check_program_number(desk, app, page2, proc, folder):
    before = read_settings(folder)
    type_into(page2, "プログラム番号 2", "21")
    press(page2, "次へ")
    answer_message(desk, app, page2, "プログラム番号が相違しています")
    expect(proc.poll() is None, "次へ by Press left page 2 with program number 21")
    atspi.find(page2, name="プログラム番号 2", role="text", showing=True)
    expect(read_settings(folder) == before, "program number 21 reached the file")
    type_into(page2, "プログラム番号 2", "")
    # Text set without typing, away from the focus, in full-width digits.
    atspi.set_text(atspi.find(page2, name="開始時刻 3", role="text", showing=True), "１２：３０")
    atspi.set_text(atspi.find(page2, name="プログラム番号 3", role="text", showing=True), "3")
    press(page2, "設定終了")
    try:
        code = proc.wait(timeout=15)
    except Exception:
        atspi.fail(f"設定終了 on page 2 did not end the editor; present: {atspi.describe(app)}")
    saved = read_settings(folder)
    expect(code == 0, f"the editor ended with {code}")
    expect("開始時刻0-2=12:30\r\n番号0-2=2\r\n" in saved, f"the run set without typing is not saved: {saved!r}")
    expect("番号0-1=" not in saved, "a program number of the refused field was saved")


def main(editor, fake_scheduler):
    atspi.require_tools("setpriv", "xdotool")
    with tempfile.TemporaryDirectory(prefix="sayolt-editor-a11y-") as folder:
        program = os.path.join(folder, EDITOR)
        shutil.copy2(editor, program)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(SETTINGS.encode("cp932"))
        marker = os.path.join(folder, "closed.txt")

        with atspi.Desktop() as desk:
            scheduler = desk.start([fake_scheduler, marker])
            expect(scheduler.stdout.readline().strip() == b"ready", "the scheduler stand-in did not start")
            proc = desk.start(NOT_ALLOWED + [program], cwd=folder)
            app = desk.application(EDITOR, proc)
            main_page = check_restart_without_program(desk, app, scheduler, marker)
            check_retry_names(desk, app, main_page)
            page2 = check_day_start(desk, app, main_page, proc, folder)
            check_program_number(desk, app, page2, proc, folder)
    print("passed")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
