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
