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

# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (halting on the first error), then each fuzz target for 20 s.
echo "== host-asan"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan -j "$jobs"
ctest --preset host-asan
echo "== fuzz"
scripts/fuzz.sh 20
