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

# The form's decoding in memory, without and with the station model listening, and with
# the station checks judging a full profile too.
window=() station=() cost=() checks=()
for _ in $(seq $((BENCH_RUNS + 2))); do
  read -r w s c <<<"$("$STATIONCOST" "$BENCH_TMP/million.groups" 2>/dev/null | sed 's/[a-z]*=//g')"
  window+=("$w") station+=("$s") cost+=("$(calc "100 * (1 - $s / $w)")") checks+=("$(calc "100 * (1 - $c / $s)")")
done
report "decoding, the window's alone (in memory)" "groups/s" "" "%.0f" "${window[@]}"
report "decoding with the station model (in memory)" "groups/s" "" "%.0f" "${station[@]}"
report "the station model's cost to the decoding" "%" "<= 25" "%.1f" "${cost[@]}"
report "the station checks' cost to the decoding with the station model" "%" "<= 5" "%.1f" "${checks[@]}"
