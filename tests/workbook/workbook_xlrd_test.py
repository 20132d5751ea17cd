#!/usr/bin/env python3
"""Reads workbooks built by `sayolt-plan workbook` with xlrd, a reader of its own.

    workbook_xlrd_test.py SAYOLT_PLAN

Exit 77 (skipped) when xlrd is not installed (python3-xlrd, see scripts/bootstrap).
"""
import datetime
import os
import subprocess
import sys
import tempfile

try:
    import xlrd
except ImportError:
    print("skipped: python3-xlrd is not installed")
    sys.exit(77)

SAYOLT_PLAN = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def settings(path, entries):
    """Writes a settings file in code page 932 from {section: {key: value}}."""
    lines = []
    for section, keys in entries.items():
        lines.append(f"[{section}]")
        lines += [f"{k}={v}" for k, v in keys.items()]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


def build(folder, name, entries):
    ini = os.path.join(folder, name + ".ini")
    out = os.path.join(folder, name + ".xls")
    settings(ini, entries)
    run = subprocess.run([SAYOLT_PLAN, "workbook", ini, out], capture_output=True, text=True)
    check(run.returncode == 0, f"{name}: sayolt-plan workbook exited {run.returncode}: {run.stderr}")
    return out


def times(book, sheet, col):
    """(row, 'h:mm', label, alignment, red) for every filled row of a category's columns."""
    out = []
    for row in range(3, sheet.nrows):
        cell = sheet.cell(row, col)
        if cell.ctype not in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
            continue
        minutes = round(cell.value * 1440)
        xf = book.xf_list[cell.xf_index]
        red = book.font_list[xf.font_index].colour_index == 10
        label = sheet.cell_value(row, col + 1)
        out.append((row + 1, f"{minutes // 60}:{minutes % 60:02d}", label, xf.alignment.hor_align, red))
    return out


LEFT, RIGHT = 1, 3
RUN_PROGRAMS = {"プログラム名0": "集計", "プログラム名1": "夜間バックアップ"}


def day_start_case(folder):
    """Day start 5:00: every day but Wednesday 7:00 to 1:00 at night; a run on Monday at 23:00."""
    week = {f"{kind}-{d}-0": time for d in (0, 1, 3, 4, 5, 6) for kind, time in (("0", "7:00"), ("1", "1:00"))}
    path = build(folder, "daystart", {
        "起動終了時刻": week,
        "時刻指定プログラム": RUN_PROGRAMS,
        "時刻指定プログラム実行予定": {"開始時刻0-0": "23:00", "番号0-0": "1"},
        "一日の区切り": {"時刻": "300"},
    })
    book = xlrd.open_workbook(path, formatting_info=True)
    check(book.sheet_names() == ["予定表", "祝日不在設定日"], f"sheet names {book.sheet_names()}")
    plan = book.sheet_by_name("予定表")
    check(times(book, plan, 0) == [(4, "7:00", "起動", LEFT, False), (6, "23:00", "夜間バックアップ", RIGHT, False),
                                   (8, "1:00", "終了", LEFT, False)], f"Monday {times(book, plan, 0)}")
    check(times(book, plan, 4) == [], "Wednesday has entries")
    check(plan.cell_value(1, 4) == "水曜日", "Wednesday heading")

    # Layout: title, headings, fills, merges, widths, formats, borders.
    check(plan.cell_value(0, 0) == "Sayolt 予定表", "title")
    merged = sorted(plan.merged_cells)
    check(merged == sorted([(0, 1, 0, 18)] + [(1, 2, c, c + 2) for c in range(0, 18, 2)]), f"merges {merged}")
    fills = [book.xf_list[plan.cell_xf_index(r, c)].background.pattern_colour_index for r, c in
             [(0, 0), (1, 0), (1, 9), (1, 10), (1, 15), (1, 16), (1, 17)]]
    check(fills == [42, 41, 41, 45, 45, 43, 43], f"fills {fills}")
    for r, c in [(0, 0), (1, 3), (1, 17)]:
        xf = book.xf_list[plan.cell_xf_index(r, c)]
        check(xf.alignment.hor_align == 2, f"heading {r},{c} not centred")
        b = xf.border
        check((b.left_line_style, b.right_line_style, b.top_line_style, b.bottom_line_style) == (1, 1, 1, 1),
              f"heading {r},{c} borders")
    widths = [plan.colinfo_map[c].width for c in range(18)]
    check(widths == [2336, 3232] * 9, f"widths {widths}")
    for r, c in [(3, 0), (999, 16), (5, 1)]:
        fmt = book.format_map[book.xf_list[plan.cell_xf_index(r, c)].format_key].format_str
        check(fmt == "h:mm", f"format at {r},{c}: {fmt}")
    check(book.xf_list[plan.cell_xf_index(500, 3)].alignment.hor_align == LEFT, "label column aligned left")
    # Block from row 3 to row 9 (one below Monday's last entry): thin outline, hairlines inside.
    def lines(r, c):
        b = book.xf_list[plan.cell_xf_index(r, c)].border
        return b.left_line_style, b.right_line_style, b.top_line_style, b.bottom_line_style
    check(lines(2, 0) == (1, 7, 1, 7), f"top left {lines(2, 0)}")
    check(lines(5, 3) == (7, 1, 7, 7), f"inside {lines(5, 3)}")
    check(lines(8, 17) == (7, 1, 7, 1), f"bottom right {lines(8, 17)}")
    check(lines(9, 0) == (0, 0, 0, 0), f"below the table {lines(9, 0)}")
    check(book.sheet_by_name("祝日不在設定日").nrows == 1, "no dates: headings only")


def conflicts_case(folder):
    """Day start 0:00: the 25-hour start, exactly 24 hours, a run while off, two starts, the same
    time, the week wrap."""
    week = {f"0-{d}-0": "8:00" for d in range(7)}
    week.update({f"1-{d}-0": "17:00" for d in range(7)})
    week.update({"1-0-0": "22:00", "0-1-0": "23:00", "1-1-0": "23:30",  # Tuesday 23:00: 25 h off
                 "1-2-0": "22:00", "0-3-0": "22:00", "1-3-0": "23:00",  # Thursday 22:00: exactly 24 h
                 "0-4-1": "9:00",                                        # Friday: a second start
                 "0-5-0": "", "1-5-0": "", "0-6-0": "", "1-6-0": "22:00"})  # Sunday ends off
    path = build(folder, "conflicts", {
        "起動終了時刻": week,
        "時刻指定プログラム": RUN_PROGRAMS,
        "時刻指定プログラム実行予定": {"開始時刻2-0": "23:00", "番号2-0": "0",   # Wednesday: run while off
                                       "開始時刻0-0": "7:00", "番号0-0": "0",    # Monday, before the start
                                       "開始時刻4-0": "17:00", "番号4-0": "0"},  # Friday: same time
    })
    book = xlrd.open_workbook(path, formatting_info=True)
    plan = book.sheet_by_name("予定表")
    red = {(c // 2, t) for c in range(0, 18, 2) for (_, t, _, _, marked) in times(book, plan, c) if marked}
    expected = {(1, "23:00"),  # 25 hours off
                (2, "23:00"),  # run while off
                (4, "9:00"),   # second start
                (4, "17:00"),  # the run at the shutdown's time (and while off)
                (6, "22:00"),  # Sunday's shutdown while already off, on since Friday
                (0, "7:00")}   # week wrap: Monday's early run after Sunday's shutdown
    check(red == expected, f"red marks {sorted(red)}, expected {sorted(expected)}")

    # Building again over the file gives the same bytes.
    with open(path, "rb") as f:
        first = f.read()
    build(folder, "conflicts", {"起動終了時刻": week, "時刻指定プログラム": RUN_PROGRAMS,
                                "時刻指定プログラム実行予定": {"開始時刻2-0": "23:00", "番号2-0": "0",
                                                               "開始時刻0-0": "7:00", "番号0-0": "0",
                                                               "開始時刻4-0": "17:00", "番号4-0": "0"}})
    with open(path, "rb") as f:
        check(f.read() == first, "second build differs from the first")


def dates_case(folder):
    future = datetime.date.today().year + 2
    path = build(folder, "dates", {
        "祝日": {"登録日1": f"{future}/1/1", "登録日2": f"{future}/1/11", "登録日3": "2001/1/1"},
        "不在": {"登録日1": f"{future}/2/3"},
    })
    book = xlrd.open_workbook(path, formatting_info=True)
    dates = book.sheet_by_name("祝日不在設定日")
    check(dates.nrows == 3, f"dates rows {dates.nrows}")
    values = [xlrd.xldate_as_tuple(dates.cell_value(r, c), book.datemode)[:3] for r, c in [(1, 0), (2, 0), (1, 1)]]
    check(values == [(future, 1, 1), (future, 1, 11), (future, 2, 3)], f"dates {values}")
    fmt = book.format_map[book.xf_list[dates.cell_xf_index(1, 0)].format_key].format_str
    check(fmt == "[$-411]yyyy/m/d(aaa)", f"date format {fmt}")
    check(dates.cell_value(0, 0) == "祝日設定日" and dates.cell_value(0, 1) == "不在設定日", "date headings")
    fills = [book.xf_list[dates.cell_xf_index(0, c)].background.pattern_colour_index for c in (0, 1)]
    check(fills == [45, 43], f"date heading fills {fills}")
    b = book.xf_list[dates.cell_xf_index(2, 1)].border  # under the shorter list
    check((b.left_line_style, b.right_line_style, b.top_line_style, b.bottom_line_style) == (1, 1, 1, 1),
          "date block borders")
    check([dates.colinfo_map[c].width for c in (0, 1)] == [5280, 5280], "date column widths")
    check(book.xf_list[dates.cell_xf_index(1, 1)].alignment.hor_align == 2, "dates centred")


with tempfile.TemporaryDirectory() as folder:
    day_start_case(folder)
    conflicts_case(folder)
    dates_case(folder)

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
