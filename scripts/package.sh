#!/usr/bin/env bash
# Builds the release package, build/startpoint-<version>-windows.zip: both
# launchers and both checkers (x86 and x64), the example start.ini and
# autorun.inf, the README, the licence, and SHA256SUMS for every other file.
# Builds in build/package-x86 and build/package-x64, apart from the
# development trees.
#
# The same source gives the same bytes in any folder, at any time: the
# executables hold no link time, and the zip lists its files in one order, with
# fixed modes and the source's time, that of the last commit (or
# SOURCE_DATE_EPOCH, where set).
set -euo pipefail
die() {
  echo "package: $*" >&2
  exit 1
}
cd "$(dirname "$0")/.."

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    die "outside a git checkout, set SOURCE_DATE_EPOCH to the source's time (seconds since 1970)"
  [ -z "$(git status --porcelain)" ] ||
    echo "package: warning: uncommitted changes, so this package is not the last commit's" >&2
fi

scripts/install-deps.sh

build_log=build/package.log
mkdir -p build
: >"$build_log"
quietly() {
  "$@" >>"$build_log" 2>&1 || {
    cat "$build_log" >&2
    die "failed: $*"
  }
}

for arch in x86 x64; do
  quietly cmake --preset "windows-$arch" -B "build/package-$arch"
  quietly cmake --build "build/package-$arch" -j "$(nproc)" --target startpoint startpoint-check
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-x64/CMakeCache.txt)
name=startpoint-$version-windows
zip=build/$name.zip
rm -f "$zip"

stage=build/package-stage/$name
rm -rf build/package-stage
mkdir -p "$stage/example"
for arch in x86 x64; do
  cp "build/package-$arch/startpoint.exe" "$stage/startpoint-$arch.exe"
  cp "build/package-$arch/startpoint-check.exe" "$stage/startpoint-check-$arch.exe"
done
cp examples/medium/start.ini examples/medium/autorun.inf "$stage/example/"
cp README.md LICENSE "$stage/"

(cd "$stage" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs -d '\n' sha256sum >SHA256SUMS)
# The same modes, time and order whatever the umask, the clock and the time zone.
chmod -R a=r,a+X,u+w "$stage"
find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
(cd build/package-stage && find "$name" | LC_ALL=C sort | TZ=UTC0 zip -q -X -@ "../$name.zip")

echo "$zip, holding:"
sed 's/^/  /' "$stage/SHA256SUMS"
sha256sum "$zip"
