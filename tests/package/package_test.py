#!/usr/bin/env python3
"""The Debian package, assembled from this build's programs, looked at without installing it here.

Checks the control data, the files and links, the menu and autostart entries, the maintainer
scripts run against an unpacked tree (with stand-ins for the commands that would change this
machine), and sayolt-plan run on the installed example. With --lintian, lintian's verdict instead.
Exits 77 when dpkg-deb (or lintian) is missing.
"""
import argparse
import configparser
import gzip
import os
import pathlib
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

SKIP = 77
EXAMPLE = "Sayolt設定.ini"
PROGRAM_DIR = "usr/lib/sayolt"
STATE_DIR = "var/lib/sayolt"

# Warnings lintian gives that the package keeps, each with its reason (none at present).
KEPT_WARNINGS = {}

ARGS = None
WORK = None
DEB = None


def run(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs)


def buildPackage():
    out = WORK / "out"
    result = run([str(ARGS.source / "packaging" / "build-deb"), str(ARGS.build), str(out)])
    return pathlib.Path(result.stdout.strip().splitlines()[-1])


def unpack(into):
    run(["dpkg-deb", "-x", str(DEB), str(into)])
    run(["dpkg-deb", "-e", str(DEB), str(into / "DEBIAN")])
    return into


def desktopEntry(path):
    parser = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    return parser["Desktop Entry"]


def insideRoot(root, path):
    """The file a path of the installed system names, with links followed inside the root."""
    current = root / path.lstrip("/")
    for _ in range(10):
        if not current.is_symlink():
            return current
        target = os.readlink(current)
        current = root / target.lstrip("/") if target.startswith("/") else current.parent / target
    raise AssertionError(f"link loop at {path}")


class Control(unittest.TestCase):
    def field(self, name):
        return run(["dpkg-deb", "-f", str(DEB), name]).stdout.strip()

    def test_name_version_and_architecture(self):
        self.assertEqual(DEB.name, f"sayolt_{ARGS.version}_{run(['dpkg', '--print-architecture']).stdout.strip()}.deb")
        self.assertEqual(self.field("Package"), "sayolt")
        self.assertEqual(self.field("Version"), ARGS.version)

    def test_depends_on_libraries_translations_and_setcap(self):
        depends = [d.strip().split(" ")[0] for d in self.field("Depends").split(",")]
        for needed in ("libcap2-bin", "qt6-translations-l10n", "qt6-qpa-plugins", "libqt6widgets6", "libc6"):
            self.assertIn(needed, depends)
        self.assertIn("fonts-noto-cjk", self.field("Recommends"))

    def test_only_the_autostart_entry_is_a_conffile(self):
        conffiles = run(["dpkg-deb", "-I", str(DEB), "conffiles"]).stdout.split()
        self.assertEqual(conffiles, ["/etc/xdg/autostart/sayolt.desktop"])


class Contents(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = unpack(WORK / "contents")

    def test_programs_on_path_and_in_their_folder(self):
        for path in (f"{PROGRAM_DIR}/Sayolt_123", f"{PROGRAM_DIR}/Sayolt設定_123", "usr/bin/sayolt-plan"):
            mode = (self.root / path).lstat().st_mode
            self.assertTrue(stat.S_ISREG(mode), path)
            self.assertEqual(stat.S_IMODE(mode), 0o755, path)

    def test_writable_files_linked_into_the_state_folder(self):
        for name in (EXAMPLE, "NTP_Error.txt", "Sayolt予定表.xls"):
            link = self.root / PROGRAM_DIR / name
            self.assertTrue(link.is_symlink(), name)
            self.assertEqual(os.readlink(link), f"/{STATE_DIR}/{name}")
        self.assertFalse((self.root / "var").exists(), "postinst makes the state folder")

    def test_example_timetable_shipped_unchanged(self):
        shipped = (self.root / "usr/share/sayolt" / EXAMPLE).read_bytes()
        self.assertEqual(shipped, (ARGS.source / "examples" / EXAMPLE).read_bytes())

    def test_icons_completion_manual_and_documents(self):
        for path in ("usr/share/icons/hicolor/scalable/apps/sayolt.svg",
                     "usr/share/icons/hicolor/scalable/apps/sayolt-settings.svg",
                     "usr/share/bash-completion/completions/sayolt-plan",
                     "usr/share/man/man1/sayolt-plan.1.gz",
                     "usr/share/doc/sayolt/copyright",
                     "usr/share/doc/sayolt/ja/使い方.md"):
            self.assertTrue((self.root / path).is_file(), path)
        with gzip.open(self.root / "usr/share/doc/sayolt/changelog.gz", "rt", encoding="utf-8") as log:
            self.assertTrue(log.readline().startswith(f"sayolt ({ARGS.version})"))
        guide = (self.root / "usr/share/doc/sayolt/ja/使い方.md").read_text(encoding="utf-8")
        for picture in guideImages(guide):
            self.assertTrue((self.root / "usr/share/doc/sayolt/ja" / picture).resolve().is_file(), picture)

    def test_nothing_privileged_and_everything_owned_by_root(self):
        listing = run(["dpkg-deb", "-c", str(DEB)]).stdout.splitlines()
        for line in listing:
            mode, owner = line.split()[:2]
            self.assertEqual(owner, "root/root", line)
            if mode.startswith("l"):
                continue  # a link's own rights mean nothing
            self.assertNotIn("s", mode, line)
            self.assertNotEqual(mode[8], "w", line)

    def test_checksums_match_the_files(self):
        result = subprocess.run(["md5sum", "--check", "--quiet", "DEBIAN/md5sums"], cwd=self.root,
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


def guideImages(markdown):
    import re
    return re.findall(r"!\[[^\]]*\]\(([^)]+\.png)\)", markdown)


class DesktopEntries(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = unpack(WORK / "entries")

    def assertRunsProgram(self, entry, program):
        command = entry["Exec"].split()[0]
        self.assertTrue(command.isascii(), command)
        self.assertEqual(insideRoot(self.root, command), self.root / PROGRAM_DIR / program)

    def assertIconInstalled(self, entry):
        self.assertTrue((self.root / f"usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg").is_file())

    def test_menu_entry_starts_the_editor_under_its_japanese_name(self):
        entry = desktopEntry(self.root / "usr/share/applications/sayolt-settings.desktop")
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name[ja]"], "Sayolt設定")
        self.assertNotEqual(entry.get("NoDisplay", "false"), "true")
        self.assertRunsProgram(entry, "Sayolt設定_123")
        self.assertIconInstalled(entry)

    def test_autostart_entry_starts_the_scheduler_at_login(self):
        entry = desktopEntry(self.root / "etc/xdg/autostart/sayolt.desktop")
        self.assertEqual(entry["Type"], "Application")
        self.assertNotEqual(entry.get("Hidden", "false"), "true")
        self.assertRunsProgram(entry, "Sayolt_123")
        # The entry is a conffile and outlives "apt remove"; then it must be skipped, not fail.
        self.assertEqual(entry["TryExec"], entry["Exec"].split()[0])
        self.assertIconInstalled(entry)

    @unittest.skipUnless(shutil.which("desktop-file-validate"), "desktop-file-validate is not installed")
    def test_entries_valid(self):
        for path in ("usr/share/applications/sayolt-settings.desktop", "etc/xdg/autostart/sayolt.desktop"):
            result = subprocess.run(["desktop-file-validate", str(self.root / path)], capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


# Commands that would change this machine: each records its arguments and changes nothing.
STUBS = {
    "groupadd": "",
    "setcap": "",
    "chgrp": "",
    "chown": "",
    # Names no root: must never run for an installation into another root.
    "addgroup": "exit 1",
}


class MaintainerScripts(unittest.TestCase):
    def setUp(self):
        self.work = pathlib.Path(tempfile.mkdtemp(dir=WORK))
        self.root = unpack(self.work / "root")
        self.stubs = self.work / "stubs"
        self.stubs.mkdir()
        self.calls = self.work / "calls"
        for name, action in STUBS.items():
            stub = self.stubs / name
            stub.write_text(f'#!/bin/sh\necho "{name} $*" >>"{self.calls}"\n{action}\n')
            stub.chmod(0o755)
        self.settings = self.root / STATE_DIR / EXAMPLE

    def script(self, name, *arguments):
        env = dict(os.environ, DPKG_ROOT=str(self.root), PATH=f"{self.stubs}:{os.environ['PATH']}")
        result = subprocess.run(["sh", str(self.root / "DEBIAN" / name), *arguments], env=env,
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, f"{name} {arguments}: {result.stderr}")

    def recorded(self):
        return self.calls.read_text().splitlines() if self.calls.exists() else []

    def test_first_install_makes_the_group_folder_and_timetable_and_grants_the_clock_right(self):
        self.script("postinst", "configure")
        folder = (self.root / STATE_DIR).stat()
        self.assertEqual(stat.S_IMODE(folder.st_mode), 0o2775)
        self.assertEqual(self.settings.read_bytes(), (self.root / "usr/share/sayolt" / EXAMPLE).read_bytes())
        self.assertEqual(stat.S_IMODE(self.settings.stat().st_mode), 0o664)
        errorLog = self.root / STATE_DIR / "NTP_Error.txt"
        self.assertEqual(stat.S_IMODE(errorLog.stat().st_mode), 0o664, "every member's scheduler appends")
        calls = self.recorded()
        self.assertIn(f"groupadd --force --prefix {self.root} --system sayolt", calls)
        self.assertIn(f"chgrp sayolt {self.root}/{STATE_DIR}", calls)
        # The only privilege: the clock right, for the scheduler alone.
        self.assertEqual([c for c in calls if c.startswith("setcap")],
                         [f"setcap cap_sys_time+ep {self.root}/{PROGRAM_DIR}/Sayolt_123"])
        for path in self.root.rglob("*"):
            if path.is_symlink() or path.is_dir():
                continue
            self.assertFalse(path.stat().st_mode & (stat.S_ISUID | stat.S_ISGID), path)

    def test_upgrade_and_remove_keep_the_timetable_and_purge_removes_it(self):
        self.script("postinst", "configure")
        # The user's own timetable: the example with the first start moved.
        edited = self.settings.read_bytes().replace(b"=8:00", b"=7:30", 1)
        self.assertNotEqual(edited, self.settings.read_bytes())
        self.settings.write_bytes(edited)
        errorLog = self.root / STATE_DIR / "NTP_Error.txt"
        errorLog.write_bytes(b"2027/01/04 8:00:00\r\n")
        self.settings.chmod(0o640)

        self.script("postinst", "configure", ARGS.version)
        self.assertEqual(self.settings.read_bytes(), edited)
        self.assertEqual(stat.S_IMODE(self.settings.stat().st_mode), 0o640)

        self.assertEqual(errorLog.read_bytes(), b"2027/01/04 8:00:00\r\n")
        self.script("postrm", "remove")
        self.assertEqual(self.settings.read_bytes(), edited)
        self.assertEqual(errorLog.read_bytes(), b"2027/01/04 8:00:00\r\n")
        self.script("postrm", "purge")
        self.assertFalse((self.root / STATE_DIR).exists())

    def test_installed_sayolt_plan_checks_the_installed_example(self):
        self.script("postinst", "configure")
        plan = self.root / "usr/bin/sayolt-plan"
        self.assertEqual(run([str(plan), "--version"]).stdout, f"sayolt-plan {ARGS.version}\n")
        result = subprocess.run([str(plan), "check", str(self.settings)], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout), (0, "OK\n"), result.stderr)


class Lintian(unittest.TestCase):
    def test_no_errors_and_only_the_kept_warnings(self):
        result = subprocess.run(["lintian", "--no-tag-display-limit", str(DEB)], capture_output=True, text=True)
        lines = result.stdout.splitlines()
        errors = [line for line in lines if line.startswith("E:")]
        self.assertEqual(errors, [], result.stdout)
        tags = {line.split(":")[2].split()[0] for line in lines if line.startswith("W:")}
        self.assertEqual(tags - set(KEPT_WARNINGS), set(), result.stdout)


def main():
    global ARGS, WORK, DEB
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", type=pathlib.Path, required=True)
    parser.add_argument("--build", type=pathlib.Path, required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--lintian", action="store_true")
    ARGS = parser.parse_args()
    needed = ["dpkg-deb", "dpkg-shlibdeps"] + (["lintian"] if ARGS.lintian else [])
    missing = [tool for tool in needed if not shutil.which(tool)]
    if missing:
        print("skipped: not installed: " + " ".join(missing))
        return SKIP
    with tempfile.TemporaryDirectory(prefix="sayolt-package-") as work:
        WORK = pathlib.Path(work)
        DEB = buildPackage()
        cases = [Lintian] if ARGS.lintian else [Control, Contents, DesktopEntries, MaintainerScripts]
        loader = unittest.TestLoader()
        suite = unittest.TestSuite(loader.loadTestsFromTestCase(case) for case in cases)
        outcome = unittest.TextTestRunner(verbosity=2).run(suite)
    return 0 if outcome.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
