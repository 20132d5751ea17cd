#!/usr/bin/env python3
"""Fails when a translation unit of the project is compiled without -Werror, or with a switch
that takes warnings back (-Wno-error, -w)."""
import json
import pathlib
import shlex
import sys


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    database = pathlib.Path(sys.argv[2])
    if not database.is_file():
        print(f"skipped: no {database.name} (CMAKE_EXPORT_COMPILE_COMMANDS off)")
        return 77
    bad = []
    entries = json.loads(database.read_text(encoding="utf-8"))
    for entry in entries:
        source = pathlib.Path(entry["file"]).resolve()
        if root not in source.parents:
            continue
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        if "-Werror" not in arguments or "-w" in arguments or any(a.startswith("-Wno-error") for a in arguments):
            bad.append(str(source.relative_to(root)))
    for name in sorted(set(bad)):
        print(f"{name}: built without warnings as errors")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
