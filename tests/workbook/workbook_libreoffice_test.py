#!/usr/bin/env python3
"""LibreOffice opens the built workbook, and a workbook LibreOffice saved after a user's edits
is rebuilt with those edits kept.

    workbook_libreoffice_test.py SAYOLT_PLAN SAYOLT_EDIT_WORKBOOK

Exit 77 (skipped) when soffice or python3-xlrd is missing. soffice exits 0 even when it could
not load a file, so what it printed and what it wrote are checked instead.
"""
import os
import shutil
import subprocess
import sys
import tempfile

try:
    import xlrd
except ImportError:
    print("skipped: python3-xlrd is not installed")
    sys.exit(77)
SOFFICE = shutil.which("soffice")
if not SOFFICE:
    print("skipped: LibreOffice (soffice) is not installed")
    sys.exit(77)

SAYOLT_PLAN, EDIT_WORKBOOK = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def soffice(folder, target, outdir, *files):
    """One LibreOffice run with a private profile; True when every file was converted."""
    env = dict(os.environ, LC_ALL="C.UTF-8")
    run = subprocess.run([SOFFICE, f"-env:UserInstallation=file://{folder}/profile", "--headless", "--norestore",
                          "--infilter=MS Excel 97", "--convert-to", target, "--outdir", outdir, *files],
                         capture_output=True, text=True, timeout=180, env=env)
    printed = run.stdout + run.stderr
    ok = "Error" not in printed and all(f" -> " in line for line in run.stdout.splitlines() if line.startswith("convert"))
    check(ok, f"soffice --convert-to {target}: {printed.strip()}")
    return ok


def settings(path, start):
    text = f"[起動終了時刻]\r\n0-0-0={start}\r\n1-0-0=17:00\r\n[時刻指定プログラム]\r\nプログラム名0=集計\r\n"
    text += "[時刻指定プログラム実行予定]\r\n開始時刻0-0=12:00\r\n番号0-0=0\r\n"
    with open(path, "wb") as f:
        f.write(text.encode("cp932"))


def plan(*args):
    run = subprocess.run([SAYOLT_PLAN, *args], capture_output=True, text=True)
    check(run.returncode == 0, f"sayolt-plan {' '.join(args)}: {run.returncode} {run.stderr}")


with tempfile.TemporaryDirectory() as folder:
    ini = os.path.join(folder, "settings.ini")
    built = os.path.join(folder, "built.xls")
    edited = os.path.join(folder, "edited.xls")
    saved = os.path.join(folder, "saved")
    settings(ini, "8:00")
    plan("workbook", ini, built)
    subprocess.run([EDIT_WORKBOOK, built, edited], check=True)

    # LibreOffice loads our file, and saves the edited one as its own .xls.
    if soffice(folder, "xls:MS Excel 97", saved, built, edited):
        check(os.path.getsize(os.path.join(saved, "built.xls")) > 0, "LibreOffice wrote nothing for built.xls")
        relabelled = os.path.join(saved, "edited.xls")
        settings(ini, "6:30")
        plan("workbook", ini, relabelled)
        book = xlrd.open_workbook(relabelled, formatting_info=True)
        check(book.sheet_names() == ["予定表", "祝日不在設定日", "メモ"], f"sheets {book.sheet_names()}")
        sheet = book.sheet_by_name("予定表")
        check(sheet.cell_value(0, 0) == "営業所の予定", f"title {sheet.cell_value(0, 0)!r}")
        check(sheet.cell_value(4, 19) == "メモ欄", "the note beside the table")
        check(round(sheet.cell_value(3, 0) * 1440) == 6 * 60 + 30, "the new start time")
        check(sheet.cell_value(5, 1) == "集計" and sheet.cell_value(7, 1) == "終了", "the rebuilt entries")
        check(book.sheet_by_name("メモ").cell_value(1, 1) == "月末は点検", "the user's own sheet")

        # The rebuilt file opens in LibreOffice again.
        csv = os.path.join(folder, "csv")
        if soffice(folder, "csv:Text - txt - csv (StarCalc):44,34,76", csv, relabelled):
            with open(os.path.join(csv, "edited.csv"), encoding="utf-8") as f:
                content = f.read()
            check("営業所の予定" in content and "6:30" in content, f"csv of the rebuilt file: {content[:200]!r}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
