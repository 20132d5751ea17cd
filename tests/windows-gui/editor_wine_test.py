#!/usr/bin/env python3
"""Sayolt設定_123.exe under Wine, from the package's zip unpacked into a folder with a Japanese name,
on the example settings it carries.

Types a Japanese program name (with ①, which code page 932 has and plain Shift_JIS lacks) into
the first automatic program's name, ends the editor with 設定終了, and checks the file: that line
now holds the name in code page 932 bytes, every other line is byte for byte as before.

    editor_wine_test.py MINGW_QT_BUILD
Exit 0 passed, 1 failed, 77 skipped.
"""
import os
import subprocess
import sys
import tempfile
import time

# No byte code in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_gui as wg  # noqa: E402

FOLDER_NAME = "設定 試験 ①"
NEW_NAME = "ブラウザー①"
TWIPS_PER_PIXEL = 15


def at(window, left, top, width, height):
    """The screen point in the middle of a control given in twips inside the window."""
    return (window[0] + (left + width // 2) // TWIPS_PER_PIXEL, window[1] + (top + height // 2) // TWIPS_PER_PIXEL)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    wg.require_tools("xdotool", "xclip")
    package = wg.package_zip(build)
    env = wg.make_prefix(build)
    wg.stop_wine(env)
    with tempfile.TemporaryDirectory(prefix="sayolt-wine-") as temp:
        folder = wg.unpack(package, os.path.join(temp, FOLDER_NAME))
        settings = os.path.join(folder, "Sayolt設定.ini")
        with open(settings, "rb") as f:
            before = f.read().split(b"\r\n")
        old_line = "プログラム名0=Firefox".encode("cp932")
        if old_line not in before:
            wg.fail("the example settings no longer start with Firefox as the first automatic program")
        try:
            with wg.Display(env) as display:
                program = os.path.join(folder, "Sayolt設定_123.exe")
                editor = display.start_windows_program(program)
                window = wg.wait_for(lambda: display.window("起動設定") or editor.poll() is not None, 60)
                if not window and editor.poll() is None:
                    # Once in a CI run Wine showed nothing for two minutes; say what was there
                    # and give Wine one more start before calling it a failure.
                    display.report_failure(editor, os.path.join(build, "editor_wine_test_first_start.png"))
                    print("the main page did not appear within 60 s: starting Wine once more", flush=True)
                    editor.kill()
                    wg.stop_wine(env)
                    editor = display.start_windows_program(program)
                    window = wg.wait_for(lambda: display.window("起動設定") or editor.poll() is not None, 90)
                if editor.poll() is not None:
                    wg.fail(f"the editor ended at once (code {editor.returncode}): "
                            f"{wg.output(editor)}")
                if not window:
                    display.report_failure(editor, os.path.join(build, "editor_wine_test_failure.png"))
                    wg.fail("the editor's main page 起動設定 did not appear")
                print("main page at", window, flush=True)
                time.sleep(1)
                # Text3(0), the first automatic program's name, and Command5 設定終了.
                display.click(*at(window, 7680, 840, 1215, 255))
                display.xdotool("key", "ctrl+a", "BackSpace")
                display.paste(NEW_NAME)
                time.sleep(0.5)
                display.click(*at(window, 10800, 7080, 1815, 495))
                try:
                    code = editor.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    display.screenshot(os.path.join(build, "editor_wine_test_failure.png"))
                    wg.fail("the editor did not end on 設定終了 (see editor_wine_test_failure.png)")
                if code != 0:
                    wg.fail(f"the editor ended with code {code}")
        finally:
            wg.stop_wine(env)

        with open(settings, "rb") as f:
            after = f.read().split(b"\r\n")
        new_line = ("プログラム名0=" + NEW_NAME).encode("cp932")
        if new_line not in after:
            names = [line.decode("cp932", errors="replace") for line in after if line.startswith(old_line[:12])]
            wg.fail(f"the saved file lacks the new name in code page 932; its line reads {names}")
        expected = [new_line if line == old_line else line for line in before]
        if after != expected:
            changed = [(a, b) for a, b in zip(expected, after) if a != b][:3]
            wg.fail(f"other lines changed as well (or lines were added or lost): {changed}")
        print(f"passed: {NEW_NAME} saved as {new_line.hex(' ')}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
