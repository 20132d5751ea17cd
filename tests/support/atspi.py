"""The real programs on a virtual X server, driven as a screen reader drives them (AT-SPI).

    import atspi                     # sys.path gets tests/support first
    atspi.require_tools()            # exits 77 when Xvfb, D-Bus, the registry or gi are missing
    with atspi.Desktop(tray=True) as desk:
        app = desk.start(["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program], cwd=folder)
        root = desk.application("Sayolt_123", app)
        button = atspi.find(root, name="再読込", role="push button")
        atspi.do_action(button, "Press")
        label = atspi.find(root, name_prefix="終了時刻")
        atspi.wait_until(lambda: atspi.name(label) == "終了時刻 17:30")

Each Desktop has its own Xvfb, its own session bus and accessibility bus, so tests never reach
a person's desktop. Programs started through it get QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and no
system bus (nothing can ask for a power-off). Use Debian's /usr/bin/python3: python3-gi belongs
to it.
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import SKIP, fail, skip  # noqa: E402,F401

_LAUNCHER_PLACES = ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")
_Atspi = None


def _bus_launcher():
    for place in _LAUNCHER_PLACES:
        if os.access(place, os.X_OK):
            return place
    return shutil.which("at-spi-bus-launcher")


def require_tools(*extra):
    """Skips (exit 77) unless Xvfb, dbus-daemon, the AT-SPI bus, gi's Atspi and `extra` are here."""
    for tool in ("Xvfb", "dbus-daemon") + tuple(extra):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    if _bus_launcher() is None:
        skip("at-spi-bus-launcher is not installed (at-spi2-core)")
    try:
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi  # noqa: F401
    except (ImportError, ValueError) as error:
        skip(f"the AT-SPI bindings are missing for {sys.executable} (python3-gi, gir1.2-atspi-2.0): {error}")


def run_in_namespaces(network=True):
    """Re-runs this script as root of a new user (and network) namespace, once; returns in the child.

    The parent exits with the child's code, or 77 when namespaces are not available.
    """
    if os.environ.get("SAYOLT_ATSPI_INNER") == "1":
        return
    if shutil.which("unshare") is None:
        skip("unshare is not installed")
    command = ["unshare", "--user", "--map-root-user"] + (["--net"] if network else [])
    if subprocess.run(command + ["true"], capture_output=True).returncode != 0:
        skip("user and network namespaces are not available")
    env = dict(os.environ, SAYOLT_ATSPI_INNER="1")
    sys.exit(subprocess.run(command + [sys.executable] + sys.argv, env=env).returncode)


def wait_until(condition, seconds=10, step=0.1):
    return bool(desktop.wait_for(condition, seconds, step))


def _atspi():
    global _Atspi
    if _Atspi is None:
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi

        Atspi.init()
        _Atspi = Atspi
    return _Atspi


class Desktop:
    """Xvfb, a session bus and the accessibility bus; optionally trayer as a notification area."""

    def __init__(self, tray=False, screen="1024x768x24"):
        self.tray = tray
        self.screen = screen
        self.env = {}
        self._procs = []
        self._runtime = None

    def __enter__(self):
        self._runtime = tempfile.TemporaryDirectory(prefix="sayolt-atspi-")
        os.chmod(self._runtime.name, 0o700)
        env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=/nonexistent"
        env["XDG_RUNTIME_DIR"] = self._runtime.name
        try:
            xvfb, display = desktop.start_xvfb(self.screen, env)
            self._procs.append(xvfb)
            env["DISPLAY"] = display
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
                                   env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            self._procs.append(bus)
            address = bus.stdout.readline().strip()
            if not address:
                fail("the session bus did not start")
            env["DBUS_SESSION_BUS_ADDRESS"] = address
            self._spawn([_bus_launcher(), "--launch-immediately"], env)
            if self.tray:
                self._procs.append(desktop.start_trayer(env))
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            env["NO_AT_BRIDGE"] = "0"
            self.env = env
            # This process reads the same accessibility bus: Atspi finds it through these two.
            os.environ["DISPLAY"] = display
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
            os.environ.pop("AT_SPI_BUS_ADDRESS", None)
            if not wait_until(self._accessibility_bus_up, 10):
                fail("the accessibility bus did not start")
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _accessibility_bus_up(self):
        result = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                 "org.a11y.Bus.GetAddress"], env=dict(os.environ), capture_output=True, text=True)
        return result.returncode == 0 and "unix:" in result.stdout

    def _spawn(self, argv, env, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(argv, env=env, **kwargs)
        self._procs.append(proc)
        return proc

    def start(self, argv, cwd=None, extra_env=None, **kwargs):
        """Starts a program on this desktop; it is ended on leaving if it still runs."""
        env = dict(self.env, **(extra_env or {}))
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.STDOUT)
        return self._spawn(argv, env, cwd=cwd, **kwargs)

    def application(self, name, proc=None, seconds=30):
        """The accessible application called `name` (Qt: the executable's name), once it is up."""
        found = []

        def look():
            if proc is not None and proc.poll() is not None:
                return True
            desktop = _atspi().get_desktop(0)
            desktop.clear_cache()
            for i in range(desktop.get_child_count()):
                child = desktop.get_child_at_index(i)
                if child is not None and _safe(child.get_name) == name:
                    found.append(child)
                    return True
            return False

        wait_until(look, seconds, 0.2)
        if proc is not None and proc.poll() is not None:
            output = proc.stdout.read().decode(errors="replace") if proc.stdout else ""
            fail(f"{name} ended (code {proc.returncode}) before it was reachable: {output}")
        if not found:
            fail(f"{name} did not appear on the accessibility bus within {seconds} s")
        return found[0]

    def __exit__(self, *exc):
        desktop.stop_processes(self._procs)
        if self._runtime is not None:
            self._runtime.cleanup()
            self._runtime = None
        return False


def _safe(call, default=None):
    try:
        return call()
    except Exception:  # a control that went away while we looked
        return default


def role(acc):
    return _safe(acc.get_role_name, "")


def name(acc):
    """The accessible name as it is now (never a cached one)."""
    _safe(acc.clear_cache)
    return _safe(acc.get_name, "")


def text(acc):
    """The whole text of a control with the Text interface, else its name."""
    _safe(acc.clear_cache)
    iface = _safe(acc.get_text_iface)
    if iface is None:
        return name(acc)
    return _safe(lambda: iface.get_text(0, iface.get_character_count()), "")


def has_state(acc, state_name):
    """has_state(button, "checked"), "showing", "focused", "enabled"..."""
    Atspi = _atspi()
    state = getattr(Atspi.StateType, state_name.upper())
    _safe(acc.clear_cache)
    states = _safe(acc.get_state_set)
    return bool(states and states.contains(state))


def children(acc):
    count = _safe(acc.get_child_count, 0) or 0
    return [c for c in (_safe(lambda i=i: acc.get_child_at_index(i)) for i in range(count)) if c is not None]


def walk(acc, depth=0, limit=40):
    """Every accessible below `acc`, depth first (the root included)."""
    yield acc
    if depth < limit:
        for child in children(acc):
            yield from walk(child, depth + 1, limit)


def _matches(acc, name_, name_prefix, role_, showing):
    if role_ is not None and role(acc) != role_:
        return False
    current = _safe(acc.get_name, "") or ""
    if name_ is not None and current != name_:
        return False
    if name_prefix is not None and not current.startswith(name_prefix):
        return False
    if showing and not has_state(acc, "showing"):
        return False
    return True


def find_all(root, name=None, name_prefix=None, role=None, showing=False):
    _safe(root.clear_cache)
    return [a for a in walk(root) if _matches(a, name, name_prefix, role, showing)]


def find(root, name=None, name_prefix=None, role=None, showing=False, seconds=10):
    """The one accessible below `root` that matches; fails the test when none appears in time."""
    found = []

    def look():
        found[:] = find_all(root, name, name_prefix, role, showing)
        return bool(found)

    if not wait_until(look, seconds, 0.2):
        what = ", ".join(f"{k}={v!r}" for k, v in (("name", name), ("name_prefix", name_prefix), ("role", role))
                         if v is not None)
        fail(f"no control with {what}; present: {describe(root)}")
    return found[0]


def describe(root, limit=200):
    """A short list of what is there, for failure messages."""
    items = [f"{role(a)}:{_safe(a.get_name, '')!r}" for a in walk(root)]
    return "; ".join(items[:limit])


def actions(acc):
    iface = _safe(acc.get_action_iface)
    if iface is None:
        return []
    return [_safe(lambda i=i: iface.get_action_name(i), "") for i in range(_safe(iface.get_n_actions, 0) or 0)]


def do_action(acc, action_name):
    """Does the named action ("Press", "Toggle", "SetFocus"...), as a screen reader would."""
    iface = _safe(acc.get_action_iface)
    names = actions(acc)
    if iface is None or action_name not in names:
        fail(f"{role(acc)} {name(acc)!r} has no action {action_name!r} (has {names})")
    if not iface.do_action(names.index(action_name)):
        fail(f"the action {action_name!r} on {name(acc)!r} was refused")


def set_text(acc, value):
    """Replaces a field's text through EditableText, not by typing."""
    iface = _safe(acc.get_editable_text_iface)
    if iface is None:
        fail(f"{role(acc)} {name(acc)!r} has no editable text")
    if not iface.set_text_contents(value):
        fail(f"setting the text of {name(acc)!r} was refused")


def grab_focus(acc):
    iface = _safe(acc.get_component_iface)
    if iface is None or not iface.grab_focus():
        fail(f"{name(acc)!r} cannot take the focus")
