"""A desktop of a test's own: an Xvfb at 96 dpi with a notification area when asked, a time
server on 127.0.0.1:123 inside a network namespace of the test's own, and a scheduler settings
file whose starts and ends lie hours away. Shared by the Linux and the Wine end-to-end tests.

    import desktop
    with desktop.Display(env, tray=True) as display:
        desktop.wait_for(lambda: display.tray_icons(), 30)
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
import threading
import time

SKIP = 77
NTP_EPOCH_OFFSET = 2208988800
NO_CLOCK = ["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time"]


def skip(reason):
    print(f"skipped: {reason}", flush=True)
    sys.exit(SKIP)


def fail(reason):
    print(f"FAILED: {reason}", flush=True)
    sys.exit(1)


def wait_for(condition, seconds, step=0.25):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return condition()


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
            reply[24:32] = data[40:48]  # originate = the client's transmit
            struct.pack_into("!II", reply, 32, seconds, fraction)
            struct.pack_into("!II", reply, 40, seconds, fraction)
            self.sock.sendto(bytes(reply), peer)

    def close(self):
        self.sock.close()


def bring_loopback_up():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    fcntl.ioctl(sock, 0x8914, struct.pack("16sH14x", b"lo", 0x1 | 0x8 | 0x40))  # SIOCSIFFLAGS up|loopback|running
    sock.close()


def rerun_in_namespaces(script, args, marker):
    """Runs the script again, with the environment variable marker set to 1, in user and network
    namespaces of its own, where 127.0.0.1:123 is free for TimeServer; its exit code."""
    namespaces = ["unshare", "--user", "--map-root-user", "--net"]
    if shutil.which("unshare") is None or subprocess.run(namespaces + ["true"], capture_output=True).returncode != 0:
        skip("user and network namespaces are not available")
    env = dict(os.environ, **{marker: "1"})
    return subprocess.run(namespaces + [sys.executable, os.path.abspath(script), *args], env=env,
                          timeout=900).returncode


def scheduler_settings():
    """Settings whose starts and ends lie hours away, so that nothing is due while a test runs."""
    now = datetime.datetime.now()

    def hm(delta):
        t = now + datetime.timedelta(hours=delta)
        return f"{t.hour}:{t.minute:02d}"

    lines = ["[起動時調整時間]", "時間=1", "[NTPサーバー]", "サーバー0=127.0.0.1", "サーバー1=127.0.0.1",
             "[休日不在]", "優先=1", "[一日の区切り]", "時刻=0", "[タスクトレイ]", "アイコン表示=1", "[起動終了時刻]"]
    for c in range(9):
        lines += [f"0-{c}-0={hm(6)}", f"1-{c}-0={hm(3)}"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


_GEOMETRY = re.compile(r"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)")


def parse_geometry(line):
    """(x, y, width, height) on the screen of one line of `xwininfo -tree`, or None."""
    m = _GEOMETRY.search(line)
    return (int(m[3]), int(m[4]), int(m[1]), int(m[2])) if m else None


def accepts(path):
    """Whether a server listens on the Unix socket (the file appears before it listens)."""
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(path)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def start_xvfb(screen, env, dpi=96):
    """An Xvfb on a display it picks itself (choosing one here races with tests running beside
    us); the process and its display name, once it accepts clients."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-dpi", str(dpi),
                             "-nolisten", "tcp"], env=env, pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reply:
        number = reply.readline().strip()
    path = f"/tmp/.X11-unix/X{number}"
    if not number.isdigit() or not wait_for(lambda: accepts(path) or xvfb.poll() is not None, 10) \
            or xvfb.poll() is not None:
        xvfb.kill()
        fail("Xvfb did not start")
    return xvfb, f":{number}"


def _tree(env):
    return subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True, text=True).stdout


def start_trayer(env):
    """trayer as the notification area (XEmbed), once its panel is there."""
    if shutil.which("trayer") is None:
        skip("trayer is not installed (scripts/bootstrap installs it)")
    tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "28",
                             "--SetDockType", "true", "--tint", "0xd8d8d8", "--transparent", "false"],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: '"panel": ("panel" "trayer")' in _tree(env), 10)
    return tray


def stop_processes(procs):
    """Ends the processes, last started first: politely, then after 5 s for good."""
    for p in reversed(procs):
        if p.poll() is None:
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
    procs.clear()


class Display:
    """An Xvfb of its own at 96 dpi, with trayer's notification area when asked."""

    def __init__(self, env, tray=False, size="1024x768"):
        self.env = dict(env)
        self.tray = tray
        self.size = size
        self.procs = []

    def __enter__(self):
        xvfb, self.env["DISPLAY"] = start_xvfb(f"{self.size}x24", self.env)
        self.procs.append(xvfb)
        try:
            if self.tray:
                self.procs.append(start_trayer(self.env))
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        stop_processes(self.procs)
        return False

    def tree(self):
        return _tree(self.env)

    def tray_icons(self):
        """(x, y, width, height) of the icons docked in trayer's panel."""
        icons, in_panel, panel_indent = [], False, 0
        for line in self.tree().splitlines():
            indent = len(line) - len(line.lstrip())
            if '"panel": ("panel" "trayer")' in line:
                in_panel, panel_indent = True, indent
                continue
            if in_panel:
                if indent <= panel_indent and line.strip():
                    in_panel = False
                    continue
                geometry = parse_geometry(line)
                if geometry and geometry[2] > 1 and geometry[3] > 1:
                    icons.append(geometry)
        return icons
