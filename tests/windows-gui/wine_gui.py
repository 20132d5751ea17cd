"""The Windows programs under Wine on a virtual X server, for the windows-gui tests and screenshots.

    import wine_gui as wg
    wg.require_tools()                         # exits 77 with the reason when a tool is missing
    env = wg.wine_env(build_folder)           # Japanese locale, the suite's own Wine prefix
    with wg.Display(env, tray=True) as display:
        app = display.start_windows_program(folder / "Sayolt_123.exe")
        wg.wait_for(lambda: display.tray_icons(), 60)

The package's zip (scripts/package-windows) is what the tests run, unpacked under a Japanese
name. Wine runs without CAP_SYS_TIME in its bounding set: Wine hands SetLocalTime and
SetSystemTime to the host clock, which no test may change.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import desktop  # noqa: E402
from desktop import (NO_CLOCK, SKIP, TimeServer, bring_loopback_up, fail, parse_geometry,  # noqa: E402,F401
                     scheduler_settings, skip, wait_for)

def skip_if_not_built():
    """The build tells the tests why it made no package (CMake's SAYOLT_SKIP_REASON)."""
    if os.environ.get("SAYOLT_SKIP_REASON"):
        skip(os.environ["SAYOLT_SKIP_REASON"])


def require_tools(*extra):
    skip_if_not_built()
    for tool in ("wine", "wineserver", "Xvfb", "setpriv", "xwininfo") + tuple(extra):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed (scripts/bootstrap installs it)")


def package_zip(build):
    """The zip scripts/package-windows left in the MinGW build folder."""
    skip_if_not_built()
    found = sorted(p for p in os.listdir(build) if p.startswith("Sayolt-") and p.endswith("-win64.zip")) \
        if os.path.isdir(build) else []
    if not found:
        skip(f"no Windows package in {build} (the build makes it with SAYOLT_WINDOWS_BUILDS=ON)")
    return os.path.join(build, found[-1])


def unpack(zip_path, parent):
    """Unzips the package under parent as Windows would (names flagged UTF-8); its program folder."""
    with zipfile.ZipFile(zip_path) as z:
        z.extractall(parent)
        top = {name.split("/")[0] for name in z.namelist()}
    if len(top) != 1:
        fail(f"the zip should hold one folder, not {sorted(top)}")
    return os.path.join(parent, top.pop())


def wine_env(build):
    """Headless, quiet, no Mono or Gecko prompts, and the Japanese locale (code page 932)."""
    env = dict(os.environ)
    for name in ("TZ", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"):
        # Wine matches TZ against its zone table at every start, which costs seconds.
        env.pop(name, None)
    env.update({
        "WINEPREFIX": os.path.join(build, "wineprefix"),
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
        "LOCPATH": os.path.join(build, "locale"),
        "LC_ALL": "ja_JP.UTF-8",
        "LANG": "ja_JP.UTF-8",
        "DBUS_SYSTEM_BUS_ADDRESS": "unix:path=/nonexistent",
    })
    return env


def make_prefix(build):
    """The Japanese locale compiled into the build folder and a Wine prefix of the suite's own."""
    env = wine_env(build)
    locale = os.path.join(env["LOCPATH"], "ja_JP.UTF-8")
    if not os.path.isdir(locale):
        os.makedirs(env["LOCPATH"], exist_ok=True)
        subprocess.run(["localedef", "-i", "ja_JP", "-f", "UTF-8", locale], check=True)
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        os.makedirs(env["WINEPREFIX"], exist_ok=True)
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True)
    return env


def stop_wine(env):
    """Ends every program of the prefix, so that the next test starts its own wineserver."""
    subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL, timeout=30)


def rerun_in_namespaces(script, args):
    """Runs the script again, with SAYOLT_WINE_INNER=1, in user and network namespaces of its own,
    where 127.0.0.1:123 is free for TimeServer; its exit code."""
    return desktop.rerun_in_namespaces(script, args, "SAYOLT_WINE_INNER")


def output(process):
    """What a program started by Display.start_windows_program has written, as text."""
    process.output_file.seek(0)
    return process.output_file.read().decode(errors="replace")


class Display(desktop.Display):
    """The test desktop, with Windows programs started under Wine without the clock right."""

    def run_windows_program(self, exe, *args, timeout=60, cwd=None):
        """Runs a Windows program to its end; its exit code and output. The output goes through a
        file: a program it starts may keep a pipe open long after it ended."""
        with tempfile.TemporaryFile() as out:
            result = subprocess.run(NO_CLOCK + ["wine", str(exe), *args], env=self.env,
                                    cwd=cwd or os.path.dirname(exe), stdout=out, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            result.stdout = out.read()
        return result

    def start_windows_program(self, exe, *args, cwd=None):
        """Starts a Windows program; output(process) reads what it wrote so far."""
        out = tempfile.TemporaryFile()
        p = subprocess.Popen(NO_CLOCK + ["wine", str(exe), *args], env=self.env, cwd=cwd or os.path.dirname(exe),
                             stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        p.output_file = out
        self.procs.append(p)
        return p

    def window(self, title):
        """(x, y, width, height) of the mapped window with this title, or None."""
        for line in self.tree().splitlines():
            m = re.match(r'\s*(0x[0-9a-f]+) "(.*)": ', line)
            if m and m.group(2) == title and parse_geometry(line) and self.mapped(m.group(1)):
                return parse_geometry(line)
        return None

    def titles(self):
        """The titles of the mapped windows, for a failure's report."""
        found = []
        for line in self.tree().splitlines():
            m = re.match(r'\s*(0x[0-9a-f]+) "(.*)": ', line)
            if m and self.mapped(m.group(1)):
                found.append(m.group(2))
        return found

    def report_failure(self, process, picture):
        """Says what is on the screen and what the program wrote, and keeps a screenshot."""
        print("windows on the screen:", self.titles(), flush=True)
        if process is not None:
            print("the program wrote:", output(process)[-2000:], flush=True)
        try:
            self.screenshot(picture)
            print("screenshot:", picture, flush=True)
        except subprocess.CalledProcessError:
            pass

    def mapped(self, window_id):
        info = subprocess.run(["xwininfo", "-id", window_id], env=self.env, capture_output=True, text=True).stdout
        return "IsViewable" in info

    def _menu_like(self):
        """Ids and geometries of the mapped windows of a menu's size."""
        found = {}
        for line in self.tree().splitlines():
            geometry = parse_geometry(line)
            if geometry and 60 < geometry[2] < 500 and 40 < geometry[3] < 500 and self.mapped(line.split()[0]):
                found[line.split()[0]] = geometry
        return found

    def open_tray_menu(self, icon):
        """Right-clicks the icon; the geometry of the menu that opened, or None. Wine may keep a
        closed menu's window mapped a while and reuse it, so a window that moved counts too."""
        for _ in range(2):
            before = self._menu_like()
            self.click(icon[0] + icon[2] // 2, icon[1] + icon[3] // 2, button=3)

            def menu():
                opened = [g for window, g in self._menu_like().items() if before.get(window) != g]
                return opened[0] if opened else None

            found = wait_for(menu, 8)
            if found:
                return found
            self.xdotool("key", "Escape")
            time.sleep(1)
        return None

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def paste(self, text):
        """Types text through the clipboard: Wine drops the key events of characters its keyboard
        layout lacks, Japanese among them."""
        clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "5"], stdin=subprocess.PIPE,
                                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        clip.stdin.write(text.encode())
        clip.stdin.close()
        time.sleep(0.5)
        self.xdotool("key", "ctrl+v")
        time.sleep(1)
        clip.kill()
        clip.wait()

    def click(self, x, y, button=1):
        self.xdotool("mousemove", str(x), str(y))
        time.sleep(0.2)
        self.xdotool("click", str(button))

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
