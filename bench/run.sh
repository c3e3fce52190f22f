#!/usr/bin/env bash
# Times whole launcher runs under Wine against their floor, a program that
# only hands the same do-nothing program to the shell, then the launcher's
# own parts inside one process, and prints sizes and imports.
#
#   bench/run.sh [ROUNDS]    ROUNDS rounds after one warm-up round (default 30)
#
# The launchers come from the windows-x64 and windows-x86 presets; with
# BENCH_LAUNCHER_BUILD=DIR they are configured and built in DIR-x64 and
# DIR-x86 instead. Everything else lives under build/bench*.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
rounds=${1:-30}
work=$root/build/bench
medium=$work/medium
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine32=wine
mkdir -p "$work"

quietly() {
  "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log" >&2; exit 1; }
}

toolchain() {
  [[ $1 == x64 ]] && echo "$root/cmake/mingw-x86_64.cmake" || echo "$root/cmake/mingw-i686.cmake"
}

launcher_dir() {
  local dir=build/windows-$1
  [[ -n ${BENCH_LAUNCHER_BUILD:-} ]] && dir=$BENCH_LAUNCHER_BUILD-$1
  [[ $dir == /* ]] || dir=$root/$dir
  echo "$dir"
}

build_launcher() {
  if [[ -n ${BENCH_LAUNCHER_BUILD:-} ]]; then
    local dir
    dir=$(launcher_dir "$1")
    quietly cmake -S . -B "$dir" --toolchain "$(toolchain "$1")" -DCMAKE_BUILD_TYPE=MinSizeRel
    quietly cmake --build "$dir" --target startpoint -j2
  else
    quietly cmake --preset "windows-$1"
    quietly cmake --build --preset "windows-$1" --target startpoint -j2
  fi
}

# The bench programs; the one that times the launcher's parts links the
# launcher's libraries, so it is built once the launcher is.
build_bench_programs() {
  quietly cmake -S bench -B "build/bench-$1" --toolchain "$(toolchain "$1")" \
    -DCMAKE_BUILD_TYPE=MinSizeRel "-DSTARTPOINT_BUILD_DIR=$(launcher_dir "$1")"
  quietly cmake --build "build/bench-$1" -j2 ${2:+--target "$2"}
}

# Prints why the x86 launcher cannot be timed here, or nothing when it can.
# A 32-bit Windows program needs Wine's 32-bit loader, a 32-bit Linux
# program. Kernels without 32-bit support run those only through qemu-i386
# (binfmt_misc), far too slowly for the times to say anything about the
# launcher; elsewhere a do-nothing program must end within the limit.
x86_unavailable() {
  if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
    echo "32-bit programs run here only through qemu-i386 emulation"
  elif ! timeout -k 5 20 "$wine32" "$1" >/dev/null 2>&1; then
    echo "32-bit programs do not run here (no do-nothing start within 20 s)"
  fi
}

loader() { [[ $1 == x64 ]] && echo "$wine64" || echo "$wine32"; }

# The messages of a trace log, timestamps and line ends taken off.
log_messages() { tr -d '\r' <"$1" | sed 's/^([^)]*) //'; }

# D:\ARCH holds the floor, the installer (Setup\noop.exe), the installed
# program (App\noop.exe) and the launcher with its INI (Title\start.*). The
# INI's start section leads to the installer, since the registry value it
# names is absent; its installed section names a registry full path.
lay_out_medium() {
  local arch=$1
  local bench=$root/build/bench-$arch dir=$medium/$arch view=/reg:64
  [[ $arch == x86 ]] && view=/reg:32
  mkdir -p "$dir/Setup" "$dir/App" "$dir/Title"
  cp "$bench/floor.exe" "$dir/"
  cp "$bench/noop.exe" "$dir/Setup/"
  cp "$bench/noop.exe" "$dir/App/"
  cp "$(launcher_dir "$arch")/startpoint.exe" "$dir/Title/start.exe"
  printf '%s\r\n' "[start]" "InstallFilename=C:\\$arch\\Setup\\noop.exe" "InstallParameters=" \
    "InstalledRegFullFilename=HKEY_LOCAL_MACHINE\\Software\\StartpointBench\\Absent" \
    "[installed]" "InstallFilename=C:\\$arch\\Setup\\noop.exe" \
    "InstalledRegFullFilename=HKEY_LOCAL_MACHINE\\Software\\StartpointBench\\InstalledPath" \
    >"$dir/Title/start.ini"
  quietly "$(loader "$arch")" reg add 'HKLM\Software\StartpointBench' /v InstalledPath \
    /t REG_SZ /d "D:\\$arch\\App\\noop.exe" /f "$view"
}

# One logged run of each route, so that a misconfigured medium cannot pass
# for a fast launcher. Sets entries to the number of entries a logged
# installer run writes.
check_routes() {
  local arch=$1 logs=$WINEPREFIX/drive_c/bench
  mkdir -p "$logs"
  rm -f "$logs/installer-$arch.log" "$logs/installed-$arch.log"
  "$(loader "$arch")" "D:\\$arch\\Title\\start.exe" -log "C:\\bench\\installer-$arch.log"
  "$(loader "$arch")" "D:\\$arch\\Title\\start.exe" installed -log "C:\\bench\\installed-$arch.log"
  local installer installed
  installer=$(log_messages "$logs/installer-$arch.log")
  installed=$(log_messages "$logs/installed-$arch.log")
  if [[ $(tail -n1 <<<"$installer") != "Successfully Launched InstallFilename" ||
    $(tail -n1 <<<"$installed") != "Successfully Launched Installed App" ]]; then
    echo "$arch: a route did not end in a successful start; logs in $logs" >&2
    exit 1
  fi
  entries=$(wc -l <<<"$installer")
  echo "$arch: installer route checked ($entries log entries with -log)," \
    "installed-program route checked"
}

time_runs() {
  local arch=$1
  local d="D:\\$arch" start="\"D:\\$arch\\Title\\start.exe\""
  printf '%s\t%s\t%s\t%s\r\n' \
    "floor" "-" "$d\\floor.exe" "\"$d\\floor.exe\" $d\\Setup\\noop.exe" \
    "launcher, log off" "1.10" "$d\\Title\\start.exe" "$start" \
    "launcher, -log" "1.25" "$d\\Title\\start.exe" "$start -log" \
    "launcher, registry" "1.10" "$d\\Title\\start.exe" "$start installed" \
    >"$WINEPREFIX/drive_c/bench/plan-$arch.txt"
  echo
  echo "$arch: whole runs, $rounds rounds after a warm-up, cases interleaved"
  "$(loader "$arch")" "$root/build/bench-$arch/timer.exe" "C:\\bench\\plan-$arch.txt" "$rounds"
}

time_parts() {
  local arch=$1 entries=$2
  echo
  echo "$arch: the launcher's own parts in one warm process, median of $rounds"
  "$(loader "$arch")" "$root/build/bench-$arch/calls.exe" "D:\\$arch\\Title" "$entries" "$rounds"
}

# Size and imported DLLs (with their functions where there are few).
describe_exe() {
  local objdump=$1 exe=$2
  printf '  %-20s %8d bytes  ' "${exe#"$medium"/}" "$(stat -c %s "$exe")"
  "$objdump" -p "$exe" | awk '
    /DLL Name:/ { flush(); dll = $3; n = 0; list = ""; next }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { n++; list = list " " $3 }
    /^ [0-9a-f]+\t[0-9a-f]+ / { flush(); dll = "" }
    function flush() {
      if (dll != "") out = out sprintf("%s%s(%d%s)", out == "" ? "" : ", ", dll, n, n <= 4 ? ":" list : "")
      dll = ""
    }
    END { flush(); print out }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')," \
  "$("$wine64" --version)"

build_launcher x64
build_bench_programs x64
archs=(x64)
build_bench_programs x86 noop

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "making the Wine prefix (about a minute)"
  quietly "$wine64" wineboot -i
  wineserver -w
fi
# One server for the whole run, so that no timed run pays for its start; it
# fails only when this prefix's server already runs, which serves as well.
wineserver -p 2>/dev/null || true
trap 'wineserver -k || true' EXIT

rm -rf "$medium"
mkdir -p "$medium"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"

why_not_x86=$(x86_unavailable "$root/build/bench-x86/noop.exe")
if [[ -z $why_not_x86 ]]; then
  build_launcher x86
  build_bench_programs x86
  archs+=(x86)
else
  echo "x86: $why_not_x86; timing x64 only"
fi

declare -A log_entries
for arch in "${archs[@]}"; do
  lay_out_medium "$arch"
  check_routes "$arch"
  log_entries[$arch]=$entries
done
for arch in "${archs[@]}"; do
  time_runs "$arch"
  time_parts "$arch" "${log_entries[$arch]}"
done

echo
echo "sizes and imports: DLL(number of functions: the functions, where few)"
for arch in "${archs[@]}"; do
  objdump=x86_64-w64-mingw32-objdump
  [[ $arch == x86 ]] && objdump=i686-w64-mingw32-objdump
  for exe in Title/start.exe floor.exe Setup/noop.exe; do
    describe_exe "$objdump" "$medium/$arch/$exe"
  done
done
