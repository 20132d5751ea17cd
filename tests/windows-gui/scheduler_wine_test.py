#!/usr/bin/env python3
"""Sayolt_123.exe under Wine, run from the package's zip unpacked into a folder with a Japanese name.

In a network namespace of its own a small time server answers on 127.0.0.1:123. Checks that the
scheduler asks it, puts its icon in the notification area, that a second copy ends without
disturbing the first, that the icon's menu opens the operations panel, and that what the
settings editor does through the scheduler's hidden window works: Sayolt再起動 ends the running
copy and starts a new one, the close request ends it and takes the icon away.

    scheduler_wine_test.py MINGW_QT_BUILD
Exit 0 passed, 1 failed, 77 skipped.
"""
import os
import shutil
import subprocess
import sys
import tempfile

# No byte code in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_gui as wg  # noqa: E402

FOLDER_NAME = "サヨルト 試験①"


def open_panel(display, icon):
    """Right-click on the icon, then the menu's first item 起動終了操作."""
    menu = display.open_tray_menu(icon)
    if not menu:
        wg.fail("the icon's menu did not open on a right click")
    print("menu at", menu, flush=True)
    display.click(menu[0] + min(60, menu[2] // 2), menu[1] + 12)
    if not wg.wait_for(lambda: display.window("起動終了操作"), 20):
        wg.fail("起動終了操作 from the icon's menu opened no panel")


def inner(build):
    wg.bring_loopback_up()
    server = wg.TimeServer()
    package = wg.package_zip(build)
    env = wg.wine_env(build)
    wg.stop_wine(env)
    with tempfile.TemporaryDirectory(prefix="sayolt-wine-") as temp:
        folder = wg.unpack(package, os.path.join(temp, FOLDER_NAME))
        shutil.copy2(os.path.join(build, "tests", "windows-gui", "sayolt-editor-request.exe"), folder)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(wg.scheduler_settings())
        scheduler = os.path.join(folder, "Sayolt_123.exe")
        request = os.path.join(folder, "sayolt-editor-request.exe")
        try:
            with wg.Display(env, tray=True) as display:
                app = display.start_windows_program(scheduler)
                if not wg.wait_for(lambda: display.tray_icons() or app.poll() is not None, 90):
                    display.report_failure(app, os.path.join(build, "scheduler_wine_test_failure.png"))
                    wg.fail("no icon in the notification area within 90 s")
                if app.poll() is not None:
                    wg.fail(f"Sayolt_123.exe ended by itself (code {app.returncode}): "
                            f"{wg.output(app)}")
                if server.requests == 0:
                    wg.fail("the scheduler showed its icon without asking the time server")
                print("icon:", display.tray_icons()[0], "time requests:", server.requests, flush=True)

                second = display.run_windows_program(scheduler, timeout=60)
                if second.returncode != 0 or app.poll() is not None:
                    wg.fail(f"a second copy ended with {second.returncode} or disturbed the first")

                open_panel(display, display.tray_icons()[0])
                print("panel:", display.window("起動終了操作"), flush=True)

                asked = server.requests
                restart = display.run_windows_program(request, "restart", timeout=60)
                if restart.returncode != 0:
                    wg.fail(f"Sayolt再起動 failed (code {restart.returncode})")
                try:
                    code = app.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    wg.fail("the running scheduler did not end on Sayolt再起動")
                if code != 0:
                    wg.fail(f"the scheduler ended with code {code} on Sayolt再起動")
                # The new copy found the name free, asked the time server and shows its icon.
                if not wg.wait_for(lambda: server.requests > asked and display.tray_icons(), 90):
                    wg.fail("Sayolt再起動 started no new scheduler that asked the time server and showed its icon")
                print("restarted; time requests:", server.requests, flush=True)

                close = display.run_windows_program(request, "close", timeout=60)
                if close.returncode != 0:
                    wg.fail("the close request found no scheduler window")
                if not wg.wait_for(lambda: not display.tray_icons(), 20):
                    wg.fail("the icon stayed after the close request")
                ended = subprocess.run(["wineserver", "-w"], env=env, timeout=60)
                if ended.returncode != 0:
                    wg.fail("Wine's programs did not all end")
                print("passed: time asked, icon shown, second copy ended, panel opened, restarted, closed",
                      flush=True)
        finally:
            wg.stop_wine(env)
            server.sock.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    if os.environ.get("SAYOLT_WINE_INNER") == "1":
        inner(build)
        return 0
    wg.require_tools("trayer", "xdotool", "unshare")
    wg.package_zip(build)
    wg.make_prefix(build)
    return wg.rerun_in_namespaces(__file__, [build])


if __name__ == "__main__":
    sys.exit(main())
