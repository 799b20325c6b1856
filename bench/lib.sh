# Helpers shared by the benchmark scripts: runs, medians and the result table.

# median_spread V1 V2 ...: prints "median min-max" of the numbers.
median_spread() {
  printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {
    m = (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2;
    printf "%.1f %.1f-%.1f\n", m, v[1], v[NR] }'
}

# row FIGURE VALUE UNIT [SPREAD] [TARGET]: one row of the result table.
row() {
  printf '| %-44s | %14s | %-10s | %-22s | %-14s |\n' "$1" "$2" "$3" "${4:-}" "${5:-}"
}

header() {
  row "figure" "median" "unit" "spread (min-max)" "target"
  row "---" "---" "---" "---" "---"
}

# peak_rss_kb CMD...: runs the command and prints its peak resident set in KB.
peak_rss_kb() {
  /usr/bin/time -f '%M' -o "$BENCH_TMP/rss" "$@" >/dev/null 2>&1
  cat "$BENCH_TMP/rss"
}

# seconds CMD...: runs the command and prints its wall time in seconds.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# memory_kb PID FIELD: one line of /proc/PID/status in KB (VmRSS, RssAnon, ...), or nothing.
memory_kb() {
  awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null
}

# run_sampling_memory OUT CMD...: runs the command with its stdout in OUT and prints
# "first last" samples of its anonymous resident memory (heap and stacks) in KB, taken
# every 0.2 s from 0.2 s after its start to its end.
run_sampling_memory() {
  local out=$1 first="" last="" now
  shift
  "$@" >"$out" 2>/dev/null &
  local pid=$!
  sleep 0.2
  while kill -0 "$pid" 2>/dev/null; do
    now=$(memory_kb "$pid" RssAnon)
    if [ -n "$now" ]; then
      [ -n "$first" ] || first=$now
      last=$now
    fi
    sleep 0.2
  done
  wait "$pid"
  echo "${first:-0} ${last:-0}"
}
