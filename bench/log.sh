#!/usr/bin/env bash
# The station log: what writing it costs the decoder (the CPU time of tallowmere-replay on
# 5,000,000 group lines of the real captures, with the log on and off, BENCH_RUNS + 2 times
# each), and how large a day of it grows: BENCH_LOG_DAYS (default 7) days of the captures
# fed as fast as the replay driver takes them, on its clock of 11.4 groups a second, with a
# signal poll every 2 s and a retune every hour.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
groups=5000000
days=${BENCH_LOG_DAYS:-7}

group_lines "$BENCH_TMP/station.groups"
repeat_lines "$BENCH_TMP/station.groups" $groups "$BENCH_TMP/log.groups"
settings "$BENCH_TMP/log-off" 88.8
printf '[Log]\nLogDays=0\n' >>"$BENCH_TMP/log-off/tallowmere.ini"
settings "$BENCH_TMP/log-on" 88.8
costs=()
for _ in $(seq $((BENCH_RUNS + 2))); do
  off=$(cd "$BENCH_TMP/log-off" && cpu_seconds "$REPLAY" "$BENCH_TMP/log.groups")
  rm -rf "$BENCH_TMP/log-on/log"
  on=$(cd "$BENCH_TMP/log-on" && cpu_seconds "$REPLAY" "$BENCH_TMP/log.groups")
  costs+=("$(calc "($on - $off) * 100 / $off")")
done
rm "$BENCH_TMP/log.groups"
report "logging cost on decoding throughput" "%" "<= 10" "%.1f" "${costs[@]}"

# The replay script: every group line as a receive chunk; every 23 groups (2 s) a signal
# poll and a status line whose level wanders; every 41,040 groups (1 h) a retune.
settings "$BENCH_TMP/log-week" 88.8
cd "$BENCH_TMP/log-week"
"$REPLAY" --script <(awk -v n=$((days * 985000)) '
  { line[NR] = $0; sub(/\r$/, "", line[NR]) }
  END {
    srand(1)
    for (i = 0; i < n; i++) {
      printf "\"%s\\r\\n\"\n", line[i % NR + 1]
      if (i % 23 == 0) printf "{\"tick\": \"rssi\"}\n\" RDS STEREO RSSI: %d\\r\\n\"\n", 38 + int(rand() * 8)
      if (i % 41040 == 0) printf "{\"freq\": \"%s\"}\n{\"click\": \"cmdSetFreq\"}\n", (i / 41040) % 2 ? "104.6" : "88.8"
    }
  }' "$BENCH_TMP/station.groups") >/dev/null 2>&1
largest=$(find log -name '*.jsonl' -printf '%s\n' | sort -n | tail -1)
report "station log per day (captures looped, retunes)" "MiB" "<= 10" "%.2f" "$(calc "$largest / 1048576")"
