#!/usr/bin/env bash
# Times whole launcher runs under Wine against their floor, a program that
# only hands the same do-nothing program to the shell, then the launcher's
# own parts inside one process, and prints sizes and imports.
#
#   bench/run.sh [--steps] [ROUNDS]
#
# ROUNDS rounds after one warm-up round (default 60). --steps also times
# the launcher cut short after each of its steps, the floor with COM
# initialised as the launcher initialises it, and single steps alone in a
# program that does nothing else.
#
# Builds run under nice. The timed runs, with the Wine server and services
# they talk to, run on one processor, and under the round-robin real-time
# policy where chrt may set it (as root): other work on the machine then
# cannot delay them, only share the processor's caches; elsewhere the
# script says that it timed at normal priority. One processor, because
# Wine makes each file, registry and INI call a round trip to its server
# process, and on a virtual machine a wake-up on another processor costs
# tens of microseconds: spread over two, whole runs took twice as long,
# and the launcher's many small calls paid most. Windows makes those calls
# in the kernel, with no other process to wake.
#
# The launchers come from the windows-x64 and windows-x86 presets; with
# BENCH_LAUNCHER_BUILD=DIR they are configured and built in DIR-x64 and
# DIR-x86 instead. Everything else lives under build/bench*.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
steps=false
if [[ ${1:-} == --steps ]]; then
  steps=true
  shift
fi
rounds=${1:-60}
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

building() { quietly nice -n 10 "$@"; }

# Every Wine program of the timed part runs through this prefix.
one_cpu=(taskset -c "$(($(nproc) - 1))")
timed=("${one_cpu[@]}" chrt --rr 1)
"${timed[@]}" true 2>/dev/null || timed=("${one_cpu[@]}")

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
    building cmake -S . -B "$dir" --toolchain "$(toolchain "$1")" -DCMAKE_BUILD_TYPE=MinSizeRel
    building cmake --build "$dir" --target startpoint -j2
  else
    building cmake --preset "windows-$1"
    building cmake --build --preset "windows-$1" --target startpoint -j2
  fi
}

# The bench programs: ARCH [TARGET]. Those that run the launcher's code
# link its libraries and resources, so they come only once the launcher is
# built; with TARGET only that one is built, and the launcher need not be.
build_bench_programs() {
  local launcher
  [[ -n ${2:-} ]] || launcher=$(launcher_dir "$1")
  building cmake -S bench -B "build/bench-$1" --toolchain "$(toolchain "$1")" \
    -DCMAKE_BUILD_TYPE=MinSizeRel "-DSTARTPOINT_BUILD_DIR=${launcher:-}"
  building cmake --build "build/bench-$1" -j2 ${2:+--target "$2"}
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

# Runs a Windows program of the given architecture: ARCH PROGRAM ARGS...
run() {
  local loader=$wine32
  [[ $1 == x64 ]] && loader=$wine64
  "${timed[@]}" "$loader" "${@:2}"
}

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
  quietly run "$arch" reg add 'HKLM\Software\StartpointBench' /v InstalledPath \
    /t REG_SZ /d "D:\\$arch\\App\\noop.exe" /f "$view"
  if $steps; then
    cp "$bench/floor-com.exe" "$bench/alone.exe" "$dir/"
    local stop
    for stop in "$bench"/stop-*.exe; do
      stop=$(basename "$stop" .exe)
      mkdir -p "$dir/$stop"
      cp "$bench/$stop.exe" "$dir/$stop/start.exe"
      cp "$dir/Title/start.ini" "$dir/$stop/"
    done
  fi
}

# One logged run of each route, so that a misconfigured medium cannot pass
# for a fast launcher. Sets entries to the number of entries a logged
# installer run writes.
check_routes() {
  local arch=$1 logs=$WINEPREFIX/drive_c/bench
  mkdir -p "$logs"
  rm -f "$logs/installer-$arch.log" "$logs/installed-$arch.log"
  run "$arch" "D:\\$arch\\Title\\start.exe" -log "C:\\bench\\installer-$arch.log"
  run "$arch" "D:\\$arch\\Title\\start.exe" installed -log "C:\\bench\\installed-$arch.log"
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

# The cases of one timed plan, one line each: name, target, program and
# command line. The first is the floor.
launcher_cases() {
  local d=$1
  printf '%s\t%s\t%s\t%s\n' \
    "floor" "-" "$d\\floor.exe" "\"$d\\floor.exe\" $d\\Setup\\noop.exe" \
    "launcher, log off" "1.10" "$d\\Title\\start.exe" "\"$d\\Title\\start.exe\"" \
    "launcher, -log" "1.20" "$d\\Title\\start.exe" "\"$d\\Title\\start.exe\" -log" \
    "launcher, registry" "1.10" "$d\\Title\\start.exe" "\"$d\\Title\\start.exe\" installed"
}

step_cases() {
  local d=$1 stop step
  printf '%s\t-\t%s\t%s\n' \
    "floor" "$d\\floor.exe" "\"$d\\floor.exe\" $d\\Setup\\noop.exe" \
    "floor + COM" "$d\\floor-com.exe" "\"$d\\floor-com.exe\" $d\\Setup\\noop.exe" \
    "do-nothing program" "$d\\Setup\\noop.exe" "\"$d\\Setup\\noop.exe\""
  for stop in AtStart AfterCom AfterIni AfterRegistry BeforeShell AfterShell NoCom; do
    printf 'stop-%s\t-\t%s\t%s\n' "$stop" "$d\\stop-$stop\\start.exe" "\"$d\\stop-$stop\\start.exe\""
  done
  printf '%s\t-\t%s\t%s\n' "launcher" "$d\\Title\\start.exe" "\"$d\\Title\\start.exe\""
  for step in nothing com ini same-file log log-no-lock shell; do
    printf 'alone: %s\t-\t%s\t%s\n' "$step" "$d\\alone.exe" "\"$d\\alone.exe\" $step $d"
  done
}

# Times the cases a function gives: ARCH CASES TITLE. The times of every
# round are kept in the prefix's C:\bench\times-CASES-ARCH.tsv.
time_runs() {
  local arch=$1 cases=$2 name=$2-$1
  "$cases" "D:\\$arch" | sed 's/$/\r/' >"$WINEPREFIX/drive_c/bench/$name.txt"
  echo
  echo "$arch: $3, $rounds rounds after a warm-up, cases interleaved (load average $(load))"
  run "$arch" "$root/build/bench-$arch/timer.exe" "C:\\bench\\$name.txt" "$rounds" \
    "C:\\bench\\times-$name.tsv"
  echo "(load average $(load) at the end)"
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

time_parts() {
  local arch=$1 entries=$2
  echo
  echo "$arch: the launcher's own parts in one warm process, median of $rounds"
  run "$arch" "$root/build/bench-$arch/calls.exe" "D:\\$arch\\Title" "$entries" "$rounds"
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
"${timed[@]}" wineserver -p 2>/dev/null || true
trap 'wineserver -k || true' EXIT
if [[ ${timed[*]} != *chrt* ]]; then
  echo "timed at normal priority (the real-time policy needs root): the rest of the machine's load" \
    "shows in the times"
fi

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
  time_runs "$arch" launcher_cases "whole runs"
  time_parts "$arch" "${log_entries[$arch]}"
done
if $steps; then
  for arch in "${archs[@]}"; do
    time_runs "$arch" step_cases "the launcher cut short after each step, and steps alone"
  done
fi

echo
echo "sizes and imports: DLL(number of functions: the functions, where few)"
for arch in "${archs[@]}"; do
  objdump=x86_64-w64-mingw32-objdump
  [[ $arch == x86 ]] && objdump=i686-w64-mingw32-objdump
  for exe in Title/start.exe floor.exe Setup/noop.exe; do
    describe_exe "$objdump" "$medium/$arch/$exe"
  done
done
