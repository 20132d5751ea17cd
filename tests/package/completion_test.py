#!/usr/bin/env python3
"""sayolt-plan's bash completion, run in bash with Debian's bash-completion loaded.
Exits 77 when bash-completion is not installed."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

BASH_COMPLETION = pathlib.Path("/usr/share/bash-completion/bash_completion")
SCRIPT = None


def complete(line, cwd):
    """The candidates bash offers for the line, completed at its end."""
    program = (f"source {BASH_COMPLETION}\nsource {SCRIPT}\n"
               'read -r -a COMP_WORDS <<<"$LINE"\n'
               '[[ $LINE == *" " ]] && COMP_WORDS+=("")\n'
               "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
               'COMP_LINE=$LINE\nCOMP_POINT=${#LINE}\n'
               "_sayolt_plan\n"
               'printf "%s\\n" "${COMPREPLY[@]}"\n')
    result = subprocess.run(["bash", "-c", program], cwd=cwd, env={"LINE": line, "PATH": "/usr/bin:/bin"},
                            capture_output=True, text=True, check=True)
    return sorted(filter(None, result.stdout.splitlines()))


class Completion(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.cwd = pathlib.Path(self.folder.name)
        for name in ("Sayolt設定.ini", "other.ini", "notes.txt", "Sayolt予定表.xls"):
            (self.cwd / name).write_bytes(b"")
        (self.cwd / "saved").mkdir()

    def tearDown(self):
        self.folder.cleanup()

    def test_commands_and_ini_verbs(self):
        self.assertEqual(complete("sayolt-plan ", self.cwd),
                         ["--help", "--version", "check", "ini", "show", "simulate", "timecheck", "workbook"])
        self.assertEqual(complete("sayolt-plan s", self.cwd), ["show", "simulate"])
        self.assertEqual(complete("sayolt-plan ini get-", self.cwd), ["get-section"])
        self.assertEqual(complete("sayolt-plan ini set-", self.cwd), ["set-section"])

    def test_settings_files_and_folders_only(self):
        expected = ["other.ini", "saved", "Sayolt設定.ini"]
        for line in ("sayolt-plan check ", "sayolt-plan simulate ", "sayolt-plan workbook ",
                     "sayolt-plan ini get "):
            self.assertEqual(complete(line, self.cwd), sorted(expected), line)
        self.assertEqual(complete("sayolt-plan workbook Sayolt設定.ini ", self.cwd), ["Sayolt予定表.xls", "saved"])

    def test_options_of_each_command(self):
        self.assertEqual(complete("sayolt-plan check a.ini --", self.cwd), ["--conflicts", "--help", "--json"])
        self.assertEqual(complete("sayolt-plan simulate a.ini --", self.cwd), ["--days", "--from", "--help", "--json"])
        self.assertEqual(complete("sayolt-plan show a.ini --", self.cwd), ["--at", "--help", "--json"])
        self.assertEqual(complete("sayolt-plan simulate a.ini --days ", self.cwd), [])

    def test_moment_offered_as_one_quoted_word(self):
        offered = complete("sayolt-plan show a.ini --at ", self.cwd)
        self.assertEqual(len(offered), 1)
        self.assertRegex(offered[0], r'^"\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}"$')


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: completion_test.py COMPLETION_SCRIPT")
    SCRIPT = pathlib.Path(sys.argv.pop(1)).resolve()
    if not BASH_COMPLETION.is_file():
        print("skipped: bash-completion is not installed")
        sys.exit(77)
    unittest.main(verbosity=2)
