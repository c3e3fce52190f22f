#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target for a bounded time
# (default 20 s each) on a copy of its seed corpus in build/fuzz/run/, so
# that nothing is written into the repository. Fails on any crash, sanitizer
# report, hang or violated property; findings land in
# build/fuzz/run/<target>/findings/.
#   scripts/fuzz.sh            20 s per target (what CI runs)
#   scripts/fuzz.sh 600        ten minutes per target
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
targets=(launch)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

failed=0
for target in "${targets[@]}"; do
  work=build/fuzz/run/$target
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
           -dict=fuzz/"$target".dict -artifact_prefix="$work/findings/")
  # Room for a whole Windows command line (32,767 bytes) and its settings.
  options+=(-max_len=40000)
  status=0
  build/fuzz/fuzz/fuzz_"$target" "${options[@]}" "$work/corpus" >"$work/log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/findings")" ]; then
    grep -E "property violated|ERROR|SUMMARY|runtime error" "$work/log" | head -n 20 ||
      tail -n 5 "$work/log"
    echo "FAIL $target: exit status $status, findings in $work/findings (log: $work/log)"
    failed=1
  else
    echo "ok   $target: ${runs:-?} executions in ${seconds} s"
  fi
done
exit "$failed"
