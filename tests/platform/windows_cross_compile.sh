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

# Sources that use Qt compile against Qt for Windows when scripts/qt-windows has built it; the
# windows-gui tests build them in full.
qt_flags=""
if qt=$("$repo/scripts/qt-windows" --prefix 2>/dev/null); then
  for module in "" /QtCore /QtGui /QtWidgets /QtNetwork; do qt_flags="$qt_flags -isystem $qt/include$module"; done
fi

status=0
for source in "$repo"/platform/windows/*.cpp "$repo"/shared/utf8_path.cpp; do
  [ -e "$source" ] || continue
  flags=""
  if grep -q '^#include <Q' "$source"; then
    if [ -z "$qt_flags" ]; then
      echo "not checked without Qt for Windows: ${source#"$repo"/}"
      continue
    fi
    flags=$qt_flags
  fi
  # shellcheck disable=SC2086
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -I"$repo" -DUNICODE -D_UNICODE $flags "$source"; then
    echo "FAILED: ${source#"$repo"/}"
    status=1
  fi
done
exit $status
