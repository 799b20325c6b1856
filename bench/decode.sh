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

# The checks on a healthy station, as a monitor runs most of its time: one capture over
# and over, replayed without [Checks] and with the station's profile (every check but the
# clock, whose date the replay does not share), in turn. CPU time, which other work on the
# machine disturbs less than the wall time; each one's best run is the least disturbed.
capture=$CAPTURES/de-104.6rtl-D42A.groups
if [ -e "$capture" ]; then
  grep -a '^>>> ' "$capture" >"$BENCH_TMP/rtl.groups"
  repeat_lines "$BENCH_TMP/rtl.groups" $groups "$BENCH_TMP/rtl-million.groups"
  settings "$BENCH_TMP/decode-checks" 104.6
  settings "$BENCH_TMP/decode-plain" 104.6
  printf '[Checks]\nPI=D42A\nPS=104.6RTL\nPTY=10\nTP=1\nAF=104.6,88.0,89.5,96.9\nTMC=yes\nMaxAnnouncement=15\nRadioTextUnchanged=60\nMinGroupRate=10\nMinLevel=20\n' \
    >>"$BENCH_TMP/decode-checks/tallowmere.ini"
  plain=() profiled=()
  for _ in $(seq $((BENCH_RUNS + 2))); do
    plain+=("$(cd "$BENCH_TMP/decode-plain" && cpu_seconds "$REPLAY" "$BENCH_TMP/rtl-million.groups")")
    profiled+=("$(cd "$BENCH_TMP/decode-checks" && cpu_seconds "$REPLAY" "$BENCH_TMP/rtl-million.groups")")
  done
  least() { printf '%s\n' "$@" | sort -g | head -1; }
  report "the station checks' cost to the replay" "%" "<= 5" "%.1f" \
    "$(calc "100 * ($(least "${profiled[@]}") / $(least "${plain[@]}") - 1)")"
else
  row "the station checks' cost to the replay" "skipped" "%" "no captures" "<= 5"
fi

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
report "the station checks' cost to the decoding with the station model" "%" "" "%.1f" "${checks[@]}"
