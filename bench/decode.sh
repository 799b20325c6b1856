#!/usr/bin/env bash
# Decoding throughput: tallowmere-replay, start to end, on 1,000,000 group lines made by
# repeating the real captures, BENCH_RUNS + 2 times.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
groups=1000000

group_lines "$BENCH_TMP/station.groups"
repeat_lines "$BENCH_TMP/station.groups" $groups "$BENCH_TMP/million.groups"
settings "$BENCH_TMP/decode" 88.8
cd "$BENCH_TMP/decode"
rates=() ns=()
for _ in $(seq $((BENCH_RUNS + 2))); do
  t=$(seconds "$REPLAY" "$BENCH_TMP/million.groups")
  rates+=("$(calc "$groups / $t")")
  ns+=("$(calc "$t * 1000000000 / $groups")")
done
report "decoding throughput (1,000,000 groups)" "groups/s" ">= 2,000,000" "%.0f" "${rates[@]}"
report "decoding time per group" "ns/group" "<= 500" "%.0f" "${ns[@]}"
report "replay peak RSS (1,000,000 groups)" "KB" "" "%.0f" "$(peak_rss_kb "$REPLAY" "$BENCH_TMP/million.groups")"
