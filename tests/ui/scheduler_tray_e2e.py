#!/usr/bin/env python3
"""The real Sayolt_123 on a virtual X server with a notification area (Xvfb and trayer).

It runs from a folder of its own with its own settings file, in a network namespace of its own
where a small time server answers on 127.0.0.1:123, and without the right to set the clock.
Checks that the icon appears in the notification area and that the close request the settings
editor sends ends the program and takes the icon away.

    scheduler_tray_e2e.py SAYOLT_123 REQUEST_CLOSE
Exit 0 passed, 1 failed, 77 skipped (a tool or namespaces are missing).
"""
import datetime
import fcntl
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
NTP_EPOCH_OFFSET = 2208988800


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(SKIP)


def fail(reason):
    print(f"FAILED: {reason}")
    sys.exit(1)


def bring_loopback_up():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    iff_up, iff_loopback, iff_running = 0x1, 0x8, 0x40
    fcntl.ioctl(sock, 0x8914, struct.pack("16sH14x", b"lo", iff_up | iff_loopback | iff_running))  # SIOCSIFFLAGS
    sock.close()


def serve_time(sock):
    """Answers every request with the current time, as an ordinary stratum-1 server."""
    while True:
        try:
            data, peer = sock.recvfrom(512)
        except OSError:
            return
        if len(data) < 48:
            continue
        now = time.time() + NTP_EPOCH_OFFSET
        seconds = int(now)
        fraction = int((now - seconds) * 2**32)
        reply = bytearray(48)
        reply[0] = (0 << 6) | (4 << 3) | 4  # no leap warning, version 4, server
        reply[1] = 1
        reply[24:32] = data[40:48]  # originate = the client's transmit
        struct.pack_into("!II", reply, 32, seconds, fraction)
        struct.pack_into("!II", reply, 40, seconds, fraction)
        sock.sendto(bytes(reply), peer)


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


def tray_icons(env):
    """The windows embedded in trayer's panel that have a size of their own."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True, text=True).stdout
    icons, in_panel, panel_indent = [], False, 0
    for line in tree.splitlines():
        indent = len(line) - len(line.lstrip())
        if '"panel": ("panel" "trayer")' in line:
            in_panel, panel_indent = True, indent
            continue
        if in_panel:
            if indent <= panel_indent and line.strip():
                in_panel = False
                continue
            size = re.search(r"\)\s+(\d+)x(\d+)\+", line)
            if size and int(size.group(1)) > 1 and int(size.group(2)) > 1:
                icons.append(line.strip())
    return icons


def free_display():
    for n in range(150 + os.getpid() % 500, 1000):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return f":{n}"
    fail("no free X display number")


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def inner(scheduler, request_close):
    bring_loopback_up()
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind(("127.0.0.1", 123))
    threading.Thread(target=serve_time, args=(server,), daemon=True).start()

    with tempfile.TemporaryDirectory(prefix="sayolt-e2e-") as folder:
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        program = os.path.join(folder, "Sayolt_123")
        shutil.copy2(scheduler, program)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(settings_text())

        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        # No message bus: whatever happens, nothing can ask for a power-off.
        env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=/nonexistent"
        env["XDG_RUNTIME_DIR"] = runtime
        display = free_display()
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{display[1:]}") or xvfb.poll() is not None, 10):
            fail("Xvfb did not start")
        env["DISPLAY"] = display
        procs = [xvfb]
        try:
            tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request"], env=env,
                                    stderr=subprocess.DEVNULL)
            procs.append(tray)
            time.sleep(1)
            # The clock can never be set from here: no CAP_SYS_TIME, in a user namespace besides.
            app = subprocess.Popen(["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program], env=env,
                                   cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            procs.append(app)
            if not wait_for(lambda: tray_icons(env) or app.poll() is not None, 30):
                fail("no icon in the notification area within 30 s")
            if app.poll() is not None:
                fail(f"Sayolt_123 ended by itself (code {app.returncode}): {app.stdout.read().decode(errors='replace')}")
            print("icon:", tray_icons(env)[0])

            second = subprocess.run(["setpriv", "--bounding-set=-sys_time", program], env=env, cwd=folder, timeout=20)
            if second.returncode != 0 or app.poll() is not None:
                fail("a second copy disturbed the first or did not end quietly")

            asked = subprocess.run([request_close], env=dict(env, QT_QPA_PLATFORM="offscreen"), timeout=20)
            if asked.returncode != 0:
                fail("the close request found no scheduler")
            try:
                code = app.wait(timeout=10)
            except subprocess.TimeoutExpired:
                fail("Sayolt_123 still runs 10 s after the close request")
            if code != 0:
                fail(f"Sayolt_123 ended with code {code}")
            if tray_icons(env):
                fail("the icon stayed after the program ended")
            print("passed: icon shown, second copy ended, close request ended the program")
        finally:
            for p in reversed(procs):
                if p.poll() is None:
                    p.terminate()
                    try:
                        p.wait(timeout=5)
                    except subprocess.TimeoutExpired:
                        p.kill()
            server.close()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    scheduler, request_close = (os.path.abspath(a) for a in sys.argv[1:3])
    if os.environ.get("SAYOLT_E2E_INNER") == "1":
        inner(scheduler, request_close)
        return 0
    for tool in ("Xvfb", "trayer", "setpriv", "xwininfo", "unshare"):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    namespaces = ["unshare", "--user", "--map-root-user", "--net"]
    if subprocess.run(namespaces + ["true"], capture_output=True).returncode != 0:
        skip("user and network namespaces are not available")
    env = dict(os.environ, SAYOLT_E2E_INNER="1")
    return subprocess.run(namespaces + [sys.executable, os.path.abspath(__file__), scheduler, request_close],
                          env=env, timeout=120).returncode


if __name__ == "__main__":
    sys.exit(main())
