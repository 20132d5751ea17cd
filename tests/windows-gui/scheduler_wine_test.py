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
import datetime
import fcntl
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_gui as wg  # noqa: E402

NTP_EPOCH_OFFSET = 2208988800
FOLDER_NAME = "サヨルト 試験①"


class TimeServer:
    """Answers every request with the current time, as a stratum-1 server, and counts them."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 123))
        self.requests = 0
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        while True:
            try:
                data, peer = self.sock.recvfrom(512)
            except OSError:
                return
            if len(data) < 48:
                continue
            self.requests += 1
            now = time.time() + NTP_EPOCH_OFFSET
            seconds = int(now)
            fraction = int((now - seconds) * 2**32)
            reply = bytearray(48)
            reply[0] = (4 << 3) | 4  # no leap warning, version 4, server
            reply[1] = 1
            reply[24:32] = data[40:48]
            struct.pack_into("!II", reply, 32, seconds, fraction)
            struct.pack_into("!II", reply, 40, seconds, fraction)
            self.sock.sendto(bytes(reply), peer)


def bring_loopback_up():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    fcntl.ioctl(sock, 0x8914, struct.pack("16sH14x", b"lo", 0x1 | 0x8 | 0x40))  # SIOCSIFFLAGS up|loopback|running
    sock.close()


def settings_text():
    # Starts and ends hours away, so that nothing is due while the test runs.
    now = datetime.datetime.now()

    def hm(delta):
        t = now + datetime.timedelta(hours=delta)
        return f"{t.hour}:{t.minute:02d}"

    lines = ["[起動時調整時間]", "時間=1", "[NTPサーバー]", "サーバー0=127.0.0.1", "サーバー1=127.0.0.1",
             "[休日不在]", "優先=1", "[一日の区切り]", "時刻=0", "[タスクトレイ]", "アイコン表示=1", "[起動終了時刻]"]
    for c in range(9):
        lines += [f"0-{c}-0={hm(6)}", f"1-{c}-0={hm(3)}"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def open_panel(display, icon):
    """Right-click on the icon, then the menu's first item 起動終了操作."""
    before = set(display.tree().splitlines())
    display.click(icon[0] + icon[2] // 2, icon[1] + icon[3] // 2, button=3)

    def menu():
        for line in set(display.tree().splitlines()) - before:
            geometry = wg.parse_geometry(line)
            if geometry and geometry[2] > 60 and geometry[3] > 40 and display.mapped(line.split()[0]):
                return geometry
        return None

    geometry = wg.wait_for(menu, 15)
    if not geometry:
        wg.fail("the icon's menu did not open on a right click")
    print("menu at", geometry, flush=True)
    display.click(geometry[0] + min(60, geometry[2] // 2), geometry[1] + 12)
    if not wg.wait_for(lambda: display.window("起動終了操作"), 20):
        wg.fail("起動終了操作 from the icon's menu opened no panel")


def inner(build):
    bring_loopback_up()
    server = TimeServer()
    package = wg.package_zip(build)
    env = wg.wine_env(build)
    wg.stop_wine(env)
    with tempfile.TemporaryDirectory(prefix="sayolt-wine-") as temp:
        folder = wg.unpack(package, os.path.join(temp, FOLDER_NAME))
        shutil.copy2(os.path.join(build, "tests", "windows-gui", "sayolt-editor-request.exe"), folder)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(settings_text())
        scheduler = os.path.join(folder, "Sayolt_123.exe")
        request = os.path.join(folder, "sayolt-editor-request.exe")
        try:
            with wg.Display(env, tray=True) as display:
                app = display.start_windows_program(scheduler)
                if not wg.wait_for(lambda: display.tray_icons() or app.poll() is not None, 90):
                    wg.fail("no icon in the notification area within 90 s")
                if app.poll() is not None:
                    wg.fail(f"Sayolt_123.exe ended by itself (code {app.returncode}): "
                            f"{app.stdout.read().decode(errors='replace')}")
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
    namespaces = ["unshare", "--user", "--map-root-user", "--net"]
    if subprocess.run(namespaces + ["true"], capture_output=True).returncode != 0:
        wg.skip("user and network namespaces are not available")
    env = dict(os.environ, SAYOLT_WINE_INNER="1")
    return subprocess.run(namespaces + [sys.executable, os.path.abspath(__file__), build], env=env,
                          timeout=600).returncode


if __name__ == "__main__":
    sys.exit(main())
