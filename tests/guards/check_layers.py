#!/usr/bin/env python3
"""Fails when OS-specific code leaks out of platform/.

Outside platform/, its own tests and the programs' main files, no file may include an OS header,
branch on an OS macro, or include a platform implementation (platform/linux, windows, qt).
The rule libraries (shared, scheduler core and time check, the editor's model, the workbook, the
simulation) include no Qt at all. Calls go downwards only: each library folder includes only the
folders LAYERS allows it.
"""
import pathlib
import re
import sys

from project_files import projectFiles

# The screenshot programs wire real Qt services, as a program's main.cpp does.
PLATFORM_ZONES = ("platform/", "tests/platform/", "tests/windows/", "tools/screenshots/")
QT_FREE_ZONES = ("shared/", "scheduler/core/", "scheduler/timecheck/", "tools/simulation/", "editor/model/",
                 "workbook/", "testdata/")

# Which folders each library folder may include besides its own. Programs (their main files and
# tools/ itself), tests, benchmarks and fuzzers may include any of them.
LAYERS = {
    "platform/": (),
    "shared/": ("platform/",),
    "workbook/": ("shared/", "platform/"),
    "scheduler/core/": ("shared/", "platform/"),
    "scheduler/timecheck/": ("scheduler/core/", "shared/", "platform/"),
    "scheduler/ui/": ("scheduler/core/", "scheduler/timecheck/", "widgets/", "shared/", "platform/"),
    "editor/model/": ("workbook/", "shared/", "platform/"),
    "editor/ui/": ("editor/model/", "widgets/", "shared/", "platform/"),
    "widgets/": (),
    "testdata/": ("shared/", "platform/"),
    "tools/simulation/": ("scheduler/core/", "scheduler/timecheck/", "shared/", "platform/"),
    "tools/plan/": ("tools/simulation/", "scheduler/core/", "scheduler/timecheck/", "workbook/", "shared/",
                    "platform/"),
}
FREE = ("tests/", "bench/", "fuzz/", "tools/screenshots/")
PROGRAM_FOLDERS = ("editor/", "scheduler/", "tools/")
PROJECT_INCLUDE = re.compile(r'#\s*include\s*"([^"]+/)[^"/]*"')

OS_HEADER = re.compile(
    r'#\s*include\s*[<"]('
    r"windows\.h|winsock2?\.h|ws2tcpip\.h|lmcons\.h|shellapi\.h|shlobj\.h|objbase\.h|wbemidl\.h|"
    r"unistd\.h|fcntl\.h|pwd\.h|dlfcn\.h|(sys|linux|netinet|arpa)/[^>\"]*"
    r')[>"]', re.IGNORECASE)
OS_MACRO = re.compile(
    r"#\s*(if|ifdef|ifndef|elif)\b.*\b("
    r"_WIN32|_WIN64|WIN32|__linux__|__linux|__unix__|__unix|__APPLE__|__MACH__|_MSC_VER|"
    r"__MINGW32__|__MINGW64__|__CYGWIN__|Q_OS_\w+"
    r")\b")
PLATFORM_IMPL = re.compile(r'#\s*include\s*"platform/(linux|windows|qt)/')
QT_INCLUDE = re.compile(r"#\s*include\s*<Q")


def layer_of(name):
    return max((folder for folder in LAYERS if name.startswith(folder)), key=len, default=None)


def direction_violations(name, text):
    if not name.endswith((".cpp", ".h")) or name.startswith(FREE):
        return
    layer = layer_of(name)
    if layer is None:
        if str(pathlib.PurePosixPath(name).parent) + "/" not in PROGRAM_FOLDERS:
            yield 0, "folder missing from the layer table", name
        return
    for number, line in enumerate(text.splitlines(), 1):
        match = PROJECT_INCLUDE.search(line)
        if not match:
            continue
        target = layer_of(match.group(1))
        if target is not None and target != layer and target not in LAYERS[layer]:
            yield number, f"{layer} may not include {target}", line


def violations(name, text):
    yield from direction_violations(name, text)
    if name.startswith(PLATFORM_ZONES) or pathlib.PurePosixPath(name).name == "main.cpp":
        return
    for number, line in enumerate(text.splitlines(), 1):
        if OS_HEADER.search(line):
            yield number, "OS header", line
        elif OS_MACRO.search(line):
            yield number, "OS macro", line
        elif PLATFORM_IMPL.search(line):
            yield number, "platform implementation", line
        elif name.startswith(QT_FREE_ZONES) and QT_INCLUDE.search(line):
            yield number, "Qt in a rule library", line


def main():
    root = pathlib.Path(sys.argv[1])
    found = 0
    for name in projectFiles(root):
        text = (root / name).read_text(encoding="utf-8", errors="replace")
        for number, kind, line in violations(name, text):
            print(f"{name}:{number}: {kind}: {line.strip()}")
            found += 1
    if found:
        print(f"\n{found} layer violation(s): OS-specific code belongs under platform/, "
              "reached through the platform interfaces or the factory; calls go downwards only "
              "(LAYERS in this script).", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
