#!/bin/sh
# Checks that every Windows source, and the shared code that differs on Windows, compiles with
# the MinGW cross compiler.
# Exit 77 (skipped) when that compiler is not installed.
set -u
repo=${1:?usage: windows_cross_compile.sh <repository root>}
cxx=${SAYOLT_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "skipped: $cxx not found"
  exit 77
fi

status=0
for source in "$repo"/platform/windows/*.cpp "$repo"/shared/utf8_path.cpp; do
  [ -e "$source" ] || continue
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -I"$repo" -DUNICODE -D_UNICODE "$source"; then
    echo "FAILED: ${source#"$repo"/}"
    status=1
  fi
done
exit $status
