#!/usr/bin/env bash
# Builds the launcher and the example medium, then runs the launcher under
# Wine on a fresh prefix, with a fresh copy of the medium mapped as drive D:.
# First the example product is missing, so the launcher starts its Windows
# Installer package, which msiexec installs; then the launcher starts the
# installed program; then msiexec uninstalls the product, and the launcher
# starts the package again. Prints each run's decisions from the trace log,
# and what each run started.
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
wine64=/usr/lib/wine/wine64

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

echo "Making a fresh Wine prefix in $WINEPREFIX"
wineserver -k >/dev/null 2>&1 || true  # a server left from an earlier demo
rm -rf "$WINEPREFIX"
quietly "$wine64" wineboot -i
quietly wineserver -w

# Either launcher reads the example package: its start.ini names the 64-bit
# registry view, which the 64-bit package writes.
if runs_32bit_programs; then
  arch=x86 loader=wine
  echo "Using the x86 build: this machine's Wine runs 32-bit Windows programs."
else
  arch=x64 loader=$wine64
  echo "Using the x64 build: this machine's Wine does not run 32-bit Windows programs, or not quickly."
fi
build "$arch" startpoint startpoint-check run_exact example-packages
out=$build_prefix$arch

# A fresh copy of the example medium as drive D:, the launcher as start.exe
# in its root, the 64-bit package as D:\Setup\example.msi.
medium=$work/medium
rm -rf "$medium"
cp -r examples/medium "$medium"
cp "$out/startpoint.exe" "$medium/start.exe"
mkdir "$medium/Setup"
cp "$out/examples/example-x64.msi" "$medium/Setup/example.msi"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"

drive_c=$WINEPREFIX/drive_c

# What the package wrote: the product's registry key, or that there is none.
show_registry() {
  local key
  echo "-- the registry, 64-bit view:"
  if key=$("$wine64" reg query 'HKLM\Software\Startpoint Example' /reg:64 2>/dev/null); then
    echo "$key" | tr -d '\r' | grep .
  else
    echo "(no HKEY_LOCAL_MACHINE\\Software\\Startpoint Example: the product is not installed)"
  fi
}

run() {
  local title=$1 command_line='"D:\start.exe" -log'
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
  # The section, then what the launcher made of the settings, without timestamps.
  echo "-- its decisions, from the trace log C:\\install.log:"
  tr -d '\r' <"$drive_c/install.log" | sed 's/^([^)]*) //' |
    sed -n '/^Using Section Name:/{N;p};/^Changed the\|^Launching\|^Trying to Launch/,$p'
  echo "-- what the example program recorded:"
  cat "$drive_c"/users/*/AppData/Local/"Startpoint Example"/runs.txt 2>/dev/null | tr -d '\r' ||
    echo "(it did not run)"
  show_registry
}

run "Run 1: the example product is not installed: the launcher starts its package"
run "Run 2: the package has installed the product: the launcher starts the program"

echo
echo "== msiexec uninstalls the product"
echo "\$ msiexec /x D:\\Setup\\example.msi /qn"
"$wine64" msiexec /x 'D:\Setup\example.msi' /qn
wineserver -w
show_registry

run "Run 3: the product is uninstalled: the launcher starts its package again"

echo
echo "The checker is built too; it shows what the launcher would do, starting nothing:"
echo "  WINEPREFIX=$WINEPREFIX $loader $out/startpoint-check.exe 'D:\\start.exe'"
