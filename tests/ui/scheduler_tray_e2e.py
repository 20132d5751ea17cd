#!/usr/bin/env python3
"""The real Sayolt_123 on a virtual X server with a notification area (Xvfb and trayer).

It runs from a folder of its own with its own settings file, in a network namespace of its own
where a small time server answers on 127.0.0.1:123, and without the right to set the clock.
Checks that the icon appears in the notification area and that the close request the settings
editor sends ends the program and takes the icon away.

    scheduler_tray_e2e.py SAYOLT_123 REQUEST_CLOSE
Exit 0 passed, 1 failed, 77 skipped (a tool or namespaces are missing).
"""
import os
import shutil
import subprocess
import sys
import tempfile

# No byte code in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import desktop  # noqa: E402
from desktop import fail, skip, wait_for  # noqa: E402


def inner(scheduler, request_close):
    desktop.bring_loopback_up()
    server = desktop.TimeServer()
    with tempfile.TemporaryDirectory(prefix="sayolt-e2e-") as folder:
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        program = os.path.join(folder, "Sayolt_123")
        shutil.copy2(scheduler, program)
        with open(os.path.join(folder, "Sayolt設定.ini"), "wb") as f:
            f.write(desktop.scheduler_settings())

        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        # No message bus: whatever happens, nothing can ask for a power-off.
        env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=/nonexistent"
        env["XDG_RUNTIME_DIR"] = runtime
        try:
            with desktop.Display(env, tray=True) as display:
                # The clock can never be set from here: no CAP_SYS_TIME, in a user namespace besides.
                app = subprocess.Popen(desktop.NO_CLOCK + [program], env=display.env, cwd=folder,
                                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                display.procs.append(app)
                if not wait_for(lambda: display.tray_icons() or app.poll() is not None, 30):
                    fail("no icon in the notification area within 30 s")
                if app.poll() is not None:
                    fail(f"Sayolt_123 ended by itself (code {app.returncode}): "
                         f"{app.stdout.read().decode(errors='replace')}")
                if server.requests == 0:
                    fail("the scheduler showed its icon without asking the time server")
                print("icon:", display.tray_icons()[0], "time requests:", server.requests)

                second = subprocess.run(desktop.NO_CLOCK + [program], env=display.env, cwd=folder, timeout=20)
                if second.returncode != 0 or app.poll() is not None:
                    fail("a second copy disturbed the first or did not end quietly")

                asked = subprocess.run([request_close], env=dict(display.env, QT_QPA_PLATFORM="offscreen"),
                                       timeout=20)
                if asked.returncode != 0:
                    fail("the close request found no scheduler")
                try:
                    code = app.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    fail("Sayolt_123 still runs 10 s after the close request")
                if code != 0:
                    fail(f"Sayolt_123 ended with code {code}")
                if display.tray_icons():
                    fail("the icon stayed after the program ended")
                print("passed: icon shown, second copy ended, close request ended the program")
        finally:
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
    return desktop.rerun_in_namespaces(__file__, [scheduler, request_close], "SAYOLT_E2E_INNER")


if __name__ == "__main__":
    sys.exit(main())
