#!/usr/bin/env bash
# Builds every preset and runs every test: unit tests on the host, the real
# launchers' tests under Wine for x86 and x64, the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the release package's
# (built twice, signed, run under Wine), and the fuzz target for 20 s. Ends
# with one summary line, which says why any tests did not run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
results=""
step=""
summary() {
  local outcome="all passed"
  [ "$1" -eq 0 ] || outcome="FAILED in $step"
  echo "== summary: $outcome, in $SECONDS s: ${results:-nothing ran}"
}
trap 'summary $?' EXIT

# Runs one preset's tests and notes how many passed, how many did not run,
# and what its configuration left in the build tree about tests or rows that
# did not run.
run_tests() {
  local preset=$1 log=build/$1/ctest.log passed skipped note
  ctest --preset "$preset" | tee "$log"
  passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\)/\1/p' "$log")
  skipped=$(grep -c 'Not Run' "$log" || true)
  note=$(cat "build/$preset/tests-not-run.txt" 2>/dev/null || true)
  results+="$preset $passed passed"
  [ "$skipped" -eq 0 ] || results+=", $skipped not run"
  [ -z "$note" ] || results+=" ($note)"
  results+="; "
}

for preset in host windows-x86 windows-x64 host-asan; do
  step=$preset
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  run_tests "$preset"
done

step=release
echo "== release"
tests/release/test_package.sh
results+="release package reproducible, signed and run under Wine; "

step=fuzz
echo "== fuzz"
scripts/fuzz.sh 20
results+="fuzz 20 s without a finding"
