#!/usr/bin/env bash
# Builds every preset and runs every test: unit tests on the host, then the
# real launchers' tests under Wine for x86 and x64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for preset in host windows-x86 windows-x64; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset"
done
