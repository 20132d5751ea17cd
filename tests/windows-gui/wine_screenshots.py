#!/usr/bin/env python3
"""Screenshots of the Windows programs under Wine, from the package's zip (scripts/screenshots
calls this when the Windows package has been built).

    wine_screenshots.py MINGW_QT_BUILD OUTPUT_FOLDER

Writes windows-scheduler-menu.png (the icon's menu in the notification area),
windows-scheduler-panel.png (起動終了操作), windows-scheduler-schedule.png (本日の予定) and
windows-editor-main.png, windows-editor-timed.png, windows-editor-dates.png (the editor's pages
on the example settings).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

# No byte code in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_gui as wg  # noqa: E402

MENU_ITEM_HEIGHT = 22
# The top of the buttons of プログラムの時刻指定, in twips.
TIMED_BUTTON_TOP = 6480


def grab(display, out, name, geometry, margin=0):
    x, y, w, h = geometry
    x, y = max(0, x - margin), max(0, y - margin)
    path = os.path.join(out, name)
    subprocess.run(["import", "-window", "root", "-crop", f"{w + 2 * margin}x{h + 2 * margin}+{x}+{y}", "+repage",
                    path], env=display.env, check=True)
    print(path, flush=True)


def scheduler_shots(display, folder, out):
    scheduler = display.start_windows_program(os.path.join(folder, "Sayolt_123.exe"))
    if not wg.wait_for(lambda: display.tray_icons() or scheduler.poll() is not None, 90) or scheduler.poll() is not None:
        wg.fail("the scheduler showed no icon")
    icon = display.tray_icons()[0]
    for item, title, name in ((0, "起動終了操作", "windows-scheduler-panel.png"),
                              (1, "本日の予定", "windows-scheduler-schedule.png")):
        menu = display.open_tray_menu(icon)
        if not menu:
            wg.fail("the icon's menu did not open")
        if item == 0:
            time.sleep(0.5)
            # The menu beside the notification area in one picture.
            left = min(menu[0], icon[0]) - 8
            grab(display, out, "windows-scheduler-menu.png",
                 (left, 0, max(menu[0] + menu[2], icon[0] + icon[2]) + 8 - left, menu[1] + menu[3] + 8))
        display.click(menu[0] + min(60, menu[2] // 2), menu[1] + 12 + item * MENU_ITEM_HEIGHT)
        window = wg.wait_for(lambda: display.window(title), 20)
        if not window:
            wg.fail(f"{title} did not open")
        time.sleep(1)
        grab(display, out, name, window)
    display.run_windows_program(os.path.join(folder, "sayolt-editor-request.exe"), "close")
    wg.wait_for(lambda: scheduler.poll() is not None, 20)


def editor_shots(display, folder, out):
    editor = display.start_windows_program(os.path.join(folder, "Sayolt設定_123.exe"))
    # Each page's 次へ, in twips inside its window; the last page has none.
    pages = (("起動設定", "windows-editor-main.png", (8880, 7080, 1815, 495)),
             ("プログラムの時刻指定", "windows-editor-timed.png", (9120, TIMED_BUTTON_TOP, 1815, 495)),
             ("祝日不在設定", "windows-editor-dates.png", None))
    previous = None
    for title, name, next_button in pages:
        window = wg.wait_for(lambda: display.window(title) or editor.poll() is not None, 90)
        if editor.poll() is not None or not window:
            wg.fail(f"the editor's page {title} did not appear")
        # The page before is hidden a moment after the next one shows.
        if previous and not wg.wait_for(lambda: not display.window(previous), 20):
            wg.fail(f"the page {previous} stayed open beside {title}")
        previous = title
        time.sleep(1)
        grab(display, out, name, window)
        if next_button:
            left, top, width, height = next_button
            display.click(window[0] + (left + width // 2) // 15, window[1] + (top + height // 2) // 15)


def inner(build, out):
    wg.bring_loopback_up()
    server = wg.TimeServer()
    env = wg.wine_env(build)
    wg.stop_wine(env)
    with tempfile.TemporaryDirectory(prefix="sayolt-wine-") as temp:
        scheduler_folder = wg.unpack(wg.package_zip(build), os.path.join(temp, "スケジューラー"))
        shutil.copy2(os.path.join(build, "tests", "windows-gui", "sayolt-editor-request.exe"), scheduler_folder)
        with open(os.path.join(scheduler_folder, "Sayolt設定.ini"), "wb") as f:
            f.write(wg.scheduler_settings())
        editor_folder = wg.unpack(wg.package_zip(build), os.path.join(temp, "設定"))
        try:
            with wg.Display(env, tray=True) as display:
                scheduler_shots(display, scheduler_folder, out)
                editor_shots(display, editor_folder, out)
        finally:
            wg.stop_wine(env)
            server.sock.close()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    build, out = (os.path.abspath(a) for a in sys.argv[1:3])
    os.makedirs(out, exist_ok=True)
    if os.environ.get("SAYOLT_WINE_INNER") == "1":
        inner(build, out)
        return 0
    wg.require_tools("trayer", "xdotool", "import")
    wg.package_zip(build)
    wg.make_prefix(build)
    return wg.rerun_in_namespaces(__file__, [build, out])


if __name__ == "__main__":
    sys.exit(main())
