#!/bin/sh
# The Windows part of the suite on Linux, the build step run by the build, the others by CTest:
#   wine_tests.sh SOURCE MINGW_BUILD build CMAKE GENERATOR [-DOPTION=VALUE...]
#                                                           configure and build the Qt-free MinGW build
#   wine_tests.sh SOURCE MINGW_BUILD prefix [REASON]        create the Wine prefix (once)
#   wine_tests.sh SOURCE MINGW_BUILD run TEST.exe [REASON]  run one test program under Wine; skipped
#                                                           with REASON when that is not empty
# Exit 77 (skipped) when MinGW or Wine is not installed.
set -eu
source_dir=$1
build_dir=$2
step=$3
shift 3

need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool not found (scripts/bootstrap installs it)"
      exit 77
    fi
  done
}

# Headless, quiet, no prompts for Mono or Gecko, and code page 932 as on a Japanese Windows. Wine
# takes its code page from the Japanese locale and turns file names into UTF-8 only when that
# locale exists, so one is compiled into the build folder rather than installed system-wide.
wine_env() {
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LOCPATH="$build_dir/locale"
  export LC_ALL=ja_JP.UTF-8
  # Wine matches a TZ variable against its zone table at every start, seconds each time; the
  # programs under test take their time from the fake platform anyway.
  unset TZ DISPLAY WAYLAND_DISPLAY
}

case $step in
  build)
    need x86_64-w64-mingw32-g++-posix
    cmake=$1
    generator=$2
    shift 2
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
      # No optimisation and no debug information: the tests run once, the compiler's time counts.
      "$cmake" -S "$source_dir" -B "$build_dir" -G "$generator" \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG= \
        -DSAYOLT_WITH_QT=OFF -DSAYOLT_BUILD_BENCH=OFF "$@"
    else
      # An option changed since: configure again.
      for option in "$@"; do
        setting=${option#-D}
        if ! grep -q "^${setting%%=*}:[A-Z]*=${setting#*=}\$" "$build_dir/CMakeCache.txt"; then
          "$cmake" "$build_dir" "$@" >/dev/null
          break
        fi
      done
    fi
    "$cmake" --build "$build_dir" -j2
    ;;
  prefix)
    if [ -n "${1:-}" ]; then
      echo "skipped: $1"
      exit 77
    fi
    need wine wineboot localedef
    wine_env
    if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
      mkdir -p "$LOCPATH"
      localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      wineboot -i
      wineserver -w
    fi
    ;;
  run)
    if [ -n "${2:-}" ]; then
      echo "skipped: $2"
      exit 77
    fi
    need wine
    if [ ! -f "$build_dir/$1" ]; then
      echo "FAILED: $build_dir/$1 was not built (the build makes it with SAYOLT_WINDOWS_BUILDS=ON)"
      exit 1
    fi
    wine_env
    exec wine "$build_dir/$1" --gtest_brief=1
    ;;
  *)
    echo "unknown step: $step" >&2
    exit 2
    ;;
esac
