#!/usr/bin/env bash
# Builds the release package, build/startpoint-<version>-windows.zip: both
# launchers and both checkers (x86 and x64), the example start.ini,
# autorun.inf and package source, the README and the licence. Builds in
# build/package-x86 and build/package-x64, apart from the development trees.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_log=build/package.log
mkdir -p build
: >"$build_log"
quietly() {
  "$@" >>"$build_log" 2>&1 || {
    cat "$build_log" >&2
    echo "package: failed: $*" >&2
    exit 1
  }
}

for arch in x86 x64; do
  quietly cmake --preset "windows-$arch" -B "build/package-$arch"
  quietly cmake --build "build/package-$arch" -j "$(nproc)" --target startpoint startpoint-check
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-x64/CMakeCache.txt)
name=startpoint-$version-windows

stage=build/package-stage/$name
rm -rf "$stage"
mkdir -p "$stage/example"
for arch in x86 x64; do
  cp "build/package-$arch/startpoint.exe" "$stage/startpoint-$arch.exe"
  cp "build/package-$arch/startpoint-check.exe" "$stage/startpoint-check-$arch.exe"
done
cp examples/medium/start.ini examples/medium/autorun.inf examples/msi/example.wxs "$stage/example/"
cp README.md LICENSE "$stage/"

rm -f "build/$name.zip"
(cd build/package-stage && zip -q -r -X "../$name.zip" "$name")
echo "build/$name.zip"
zip -sf "build/$name.zip" | sed -n 's|^  |  |p'
