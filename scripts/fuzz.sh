#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from its seeds; fails on the first finding.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz/fuzz
for target in script substitution host_calls; do
  corpus=$(mktemp -d)
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  echo "fuzz_$target: ${seconds}s"
  "$bin/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="build/fuzz/fuzz_$target-" "$corpus" "fuzz/seeds/$target" 2>&1 |
    grep -E 'DONE|stat::number_of_executed_units|ERROR|SUMMARY' || true
  status=${PIPESTATUS[0]}
  rm -rf "$corpus"
  [ "$status" -eq 0 ] || { echo "fuzz_$target found a fault; the input is in build/fuzz/"; exit 1; }
done
