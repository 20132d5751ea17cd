#!/usr/bin/env python3
"""The Windows zip of scripts/package-windows: its names, its contents, and sayolt-plan.exe run
from it under Wine after unzipping into a folder with a Japanese name.

    package_test.py MINGW_QT_BUILD
Exit 0 passed, 1 failed, 77 skipped.
"""
import os
import sys
import tempfile
import zipfile

# No byte code in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_gui as wg  # noqa: E402

UTF8_FLAG = 0x800
# What a Windows machine without Qt or MinGW needs to start both programs in Japanese.
REQUIRED = [
    "Sayolt_123.exe", "Sayolt設定_123.exe", "sayolt-plan.exe", "Sayolt設定.ini", "使い方.txt", "qt.conf",
    "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll", "Qt6Network.dll", "platforms/qwindows.dll",
    "styles/qwindowsvistastyle.dll", "translations/qtbase_ja.qm",
    "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll",
]


def check_names(zip_path):
    problems = []
    with zipfile.ZipFile(zip_path) as z:
        infos = z.infolist()
        top = infos[0].filename.split("/")[0]
        names = {info.filename[len(top) + 1:] for info in infos}
        for missing in sorted(set(REQUIRED) - names):
            problems.append(f"{missing} is missing")
        for info in infos:
            ascii_name = all(ord(ch) < 128 for ch in info.filename)
            if not ascii_name and not info.flag_bits & UTF8_FLAG:
                problems.append(f"{info.filename} lacks the UTF-8 flag")
            if info.filename.startswith("/") or ".." in info.filename.split("/"):
                problems.append(f"{info.filename} would land outside the folder")
        # A test helper must not ship.
        problems += [f"{n} does not belong in the package" for n in names if "request" in n or "test" in n.lower()]
        guide = z.read(f"{top}/使い方.txt")
        if not guide.startswith(b"\xef\xbb\xbf") or "スタートアップ".encode() not in guide:
            problems.append("使い方.txt is not the Japanese guide in UTF-8 with a byte order mark")
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    zip_path = wg.package_zip(build)
    problems = check_names(zip_path)
    if problems:
        wg.fail("; ".join(problems))
    wg.require_tools()
    env = wg.make_prefix(build)
    wg.stop_wine(env)
    with tempfile.TemporaryDirectory(prefix="sayolt-wine-") as temp:
        folder = wg.unpack(zip_path, os.path.join(temp, "配布 試験"))
        plan = os.path.join(folder, "sayolt-plan.exe")
        try:
            with wg.Display(env) as display:
                ok = display.run_windows_program(plan, "check", "Sayolt設定.ini", timeout=120)
                broken = os.path.join(folder, "壊れた設定.ini")
                with open(broken, "wb") as f:
                    f.write("[起動時調整時間]\r\n時間=abc\r\n".encode("cp932"))
                bad = display.run_windows_program(plan, "check", "壊れた設定.ini", timeout=120)
        finally:
            wg.stop_wine(env)
        out = ok.stdout.decode("utf-8", errors="replace")
        if ok.returncode != 0 or "OK" not in out:
            wg.fail(f"sayolt-plan.exe check on the shipped example gave {ok.returncode}: {out}")
        if bad.returncode == 0:
            wg.fail("sayolt-plan.exe check passed a settings file without a valid 起動時調整時間")
    print(f"passed: {os.path.basename(zip_path)} names flagged, contents complete, sayolt-plan.exe check: {out.strip()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
