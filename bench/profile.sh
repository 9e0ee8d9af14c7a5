#!/usr/bin/env bash
# Counts the instructions that regscript executes for W1a and W2 with callgrind, which unlike a
# timing repeats exactly from run to run, and lists the functions with the most instructions,
# callees included. Only the measured runs are counted, not the setup (see profile.cpp).
#   bench/profile.sh [build directory, default build/bench]
# The profiles stay in <build>/callgrind.<workload>.out for callgrind_annotate or kcachegrind.
set -euo pipefail
build=${1:-build/bench}

# profile <workload label> <operations>
profile() {
  local out="$build/callgrind.$1.out" result units unit total
  result=$(valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='*measured_runs*' \
    "$build/bench/regscript_profile" "$1" "$2" 2>"$out.log") || { cat "$out.log" >&2; return 1; }
  read -r units unit <<<"$result"
  total=$(callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
  echo "== $1: $((total / units)) instructions per $unit ($total for $units ${unit}s)"
  # From the run's entry on, each function once (inlined code appears under several file names),
  # without its file and object.
  callgrind_annotate --inclusive=yes --auto=no "$out" |
    sed -n 's/^\( *[0-9,]* ([ 0-9.]*%)  \)[^:]*:\(.*\)$/\1\2/p' | sed 's/ \[[^]]*\]$//' |
    sed 's/std::basic_string_view<char, std::char_traits<char> >/std::string_view/g' |
    awk '/run_parser|regscript_run_prepared/ { started = 1 } started && !seen[substr($0, index($0, "%)") + 4)]++ && ++shown <= 25' |
    cut -c 1-120
  echo
}

profile W1a 2000
profile W1b 500
profile W3-10 20000
profile W3-10000 20000
profile W2 2
profile W1a-prep 2000
profile W1a-prep-quiet 2000
profile W2-prep 2
profile W2-prep-quiet 2
