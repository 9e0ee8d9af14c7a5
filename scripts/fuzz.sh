#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from its seeds; fails on the first finding.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz/fuzz
for target in script substitution host_calls prepared; do
  corpus=$(mktemp -d)
  # The prepared-script target runs scripts, as fuzz_script does: it starts from the same seeds.
  inputs=$target; [ "$target" = prepared ] && inputs=script
  dict=()
  [ -f "fuzz/$inputs.dict" ] && dict=(-dict="fuzz/$inputs.dict")
  echo "fuzz_$target: ${seconds}s"
  "$bin/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="build/fuzz/fuzz_$target-" "$corpus" "fuzz/seeds/$inputs" 2>&1 |
    grep -E 'DONE|stat::number_of_executed_units|ERROR|SUMMARY' || true
  status=${PIPESTATUS[0]}
  rm -rf "$corpus"
  [ "$status" -eq 0 ] || { echo "fuzz_$target found a fault; the input is in build/fuzz/"; exit 1; }
done
