#!/usr/bin/env bash
# Builds the launcher and the example medium, then runs the launcher twice
# under Wine on a fresh copy of the medium mapped as drive D:. First the
# example product is missing, so its installer runs; then the launcher finds
# the installed program and starts it. Prints both trace logs and what each
# run started.
#
# Build trees: build/windows-x86 or build/windows-x64, the presets' own;
# STARTPOINT_BUILD_PREFIX changes the part before x86 or x64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_prefix=${STARTPOINT_BUILD_PREFIX:-build/windows-}
work=$PWD/build/demo
mkdir -p "$work"
build_log=$work/build.log
: >"$build_log"

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Runs a step with its output kept in the build log, shown only on failure.
quietly() {
  "$@" >>"$build_log" 2>&1 || {
    cat "$build_log" >&2
    echo "demo: failed: $*" >&2
    exit 1
  }
}

build() {
  local arch=$1
  shift
  quietly cmake --preset "windows-$arch" -B "$build_prefix$arch"
  quietly cmake --build "$build_prefix$arch" -j "$(nproc)" --target "$@"
}

# True when 32-bit Windows programs run under Wine on this machine: the x86
# build's small console helper, started without arguments, answers with its
# usage status (200) within 15 seconds. Some virtual machines' kernels
# cannot execute 32-bit code at all.
runs_32bit_programs() {
  build x86 run_exact
  local status=0
  timeout 15 wine "${build_prefix}x86/tests/wine/run_exact.exe" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 200 ]
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making a Wine prefix in $WINEPREFIX (once, about a minute)"
  quietly /usr/lib/wine/wine64 wineboot -i
  quietly wineserver -w
fi

if runs_32bit_programs; then
  arch=x86 loader=wine reg_view=/reg:32
  echo "Using the x86 build: this machine's Wine runs 32-bit Windows programs."
else
  arch=x64 loader=/usr/lib/wine/wine64 reg_view=/reg:64
  echo "Using the x64 build: this machine's Wine does not run 32-bit Windows programs, or not quickly."
fi
build "$arch" startpoint startpoint-check run_exact example-setup example-program
out=$build_prefix$arch

# A fresh copy of the example medium as drive D:, the launcher as start.exe
# in its root, the installer and the program it installs in D:\Setup.
medium=$work/medium
rm -rf "$medium"
cp -r examples/medium "$medium"
cp "$out/startpoint.exe" "$medium/start.exe"
mkdir "$medium/Setup"
cp "$out/examples/setup.exe" "$out/examples/example.exe" "$medium/Setup/"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"

# The product starts out absent.
drive_c=$WINEPREFIX/drive_c
"$loader" reg delete 'HKLM\Software\Startpoint Example' /f "$reg_view" >/dev/null 2>&1 || true
rm -rf "$drive_c/Program Files/Startpoint Example" "$drive_c/Program Files (x86)/Startpoint Example"

run() {
  local title=$1 command_line=$2
  rm -f "$drive_c/install.log" "$drive_c"/users/*/AppData/Local/"Startpoint Example"/runs.txt
  printf '1\nD:\\start.exe\nD:\\\n%s\n' "$command_line" >"$drive_c/run-request.txt"
  echo
  echo "== $title"
  echo "\$ $command_line"
  "$loader" "$out/tests/wine/run_exact.exe" 'C:\run-request.txt' >/dev/null || {
    echo "demo: run_exact failed with status $?" >&2
    exit 1
  }
  wineserver -w
  echo "-- the trace log, C:\\install.log:"
  tr -d '\r' <"$drive_c/install.log"
  echo "-- what it started:"
  cat "$drive_c"/users/*/AppData/Local/"Startpoint Example"/runs.txt 2>/dev/null | tr -d '\r' ||
    echo "(nothing)"
}

run "Run 1: the example product is not installed" '"D:\start.exe" -log'
run "Run 2: the example product is installed" '"D:\start.exe" -log'

echo
echo "The checker is built too; it shows what the launcher would do, starting nothing:"
echo "  WINEPREFIX=$WINEPREFIX $loader $out/startpoint-check.exe 'D:\\start.exe'"
