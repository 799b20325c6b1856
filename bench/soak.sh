#!/usr/bin/env bash
# A day of unattended running through tallowmere-replay --script: about 1,000,000 groups
# from the real captures (or the simulated receiver where they are absent), with
# status lines, metadata ticks every 20 s of air time and a retune every hour. Resident
# heap at the start and at the end of the day shows whether anything grows. The signal
# poll is left out: the replay keeps every command sent for its dump, by design.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
groups=1000000

day=$BENCH_TMP/day.jsonl
# 11.4 groups/s: a metadata tick every 228 groups, a status line every 23, a retune every 41,040.
group_lines "$BENCH_TMP/station.groups"
tr -d '\r' <"$BENCH_TMP/station.groups" | awk -v n="$groups" '
  BEGIN { print "{\"tick\": \"start\"}" }
  { lines[NR] = $0 }
  END {
    for (i = 1; i <= n; i++) {
      printf "\"%s\\r\\n\"\n", lines[(i - 1) % NR + 1]
      if (i % 23 == 0) print "\" RDS STEREO RSSI: 4" i % 10 "\\r\\n\""
      if (i % 228 == 0) print "{\"tick\": \"metadata\"}"
      if (i % 41040 == 0) { print "{\"freq\": \"" (i % 82080 ? "104.5" : "88.8") "\"}"; print "{\"click\": \"cmdSetFreq\"}" }
    }
  }' >"$day"


settings "$BENCH_TMP/soak" 88.8
cd "$BENCH_TMP/soak"
events=$(wc -l <"$day")
start=$(date +%s.%N)
read -r first last <<<"$(run_sampling_memory day.out "$REPLAY" --script "$day")"
wall=$(calc "$(date +%s.%N) - $start")
row "soak: events in one day" "$events" "events" "" ""
row "soak: wall time" "$(printf '%.2f' "$wall")" "s" "" ""
row "soak: heap and stacks resident, start" "$first" "KB" "" "flat"
row "soak: heap and stacks resident, end" "$last" "KB" "" "flat"
row "soak: lblRDScount at the end" "$(grep -o '"lblRDScount": {"text": "[0-9]*"' day.out | grep -o '[0-9]*"$' | tr -d '"')" "groups" "" "<= 1000"
