#!/usr/bin/env python3
"""Fails when a C++ file of the project differs from what clang-format makes of it."""
import shutil
import subprocess
import sys

from project_files import projectFiles


def main():
    root = sys.argv[1]
    tool = shutil.which("clang-format")
    if not tool:
        print("skipped: clang-format not found")
        return 77
    files = projectFiles(root)
    failed = subprocess.run([tool, "--dry-run", "-Werror", "--style=file", *files], cwd=root).returncode
    if failed:
        print("\nFormat with: clang-format -i FILE...", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
