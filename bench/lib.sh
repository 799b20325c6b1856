# Helpers shared by the benchmark scripts: runs, medians and the result table.

# median_spread V1 V2 ...: prints "median min max" of the numbers.
median_spread() {
  printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {
    m = (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2;
    printf "%.12g %.12g %.12g\n", m, v[1], v[NR] }'
}

# calc EXPRESSION: the value of an arithmetic expression.
calc() {
  awk "BEGIN { printf \"%.12g\\n\", $1 }"
}

# report FIGURE UNIT TARGET FORMAT V1 V2 ...: one row with the median and spread of the
# runs' values, each printed with the printf FORMAT.
report() {
  local figure=$1 unit=$2 target=$3 format=$4 m low high
  shift 4
  read -r m low high <<<"$(median_spread "$@")"
  local spread=""
  [ $# -lt 2 ] || spread="$(printf "$format" "$low") - $(printf "$format" "$high")"
  row "$figure" "$(printf "$format" "$m")" "$unit" "$spread" "$target"
}

# row FIGURE VALUE UNIT [SPREAD] [TARGET]: one row of the result table.
row() {
  printf '| %-48s | %10s | %-9s | %-23s | %-13s |\n' "$1" "$2" "$3" "${4:-}" "${5:-}"
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

# cpu_seconds CMD...: runs the command and prints its user plus system CPU time in seconds,
# which other work on a busy machine disturbs less than the wall time.
cpu_seconds() {
  /usr/bin/time -f '%U %S' -o "$BENCH_TMP/cpu" "$@" >/dev/null 2>&1
  awk '{ print $1 + $2 }' "$BENCH_TMP/cpu"
}

# seconds CMD...: runs the command and prints its wall time in seconds.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  calc "$end - $start"
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

# cpu_ticks PID: user plus system CPU time of the process so far, in clock ticks.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# cpu_percent TICKS_BEFORE TICKS_AFTER SECONDS: the share of one core used in between.
cpu_percent() {
  calc "($2 - $1) * 100 / $(getconf CLK_TCK) / $3"
}

# cpu_during PID SECONDS: the share of one core the process uses over the next SECONDS.
cpu_during() {
  local ticks
  ticks=$(cpu_ticks "$1")
  sleep "$2"
  cpu_percent "$ticks" "$(cpu_ticks "$1")" "$2"
}

# wakeups PID: voluntary context switches of all the process's threads so far: each is
# the process going to sleep, so their rate is the rate at which something woke it.
wakeups() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '$1 == "voluntary_ctxt_switches:" { n += $2 } END { print n + 0 }'
}

# wait_for PATH: waits up to 5 s for PATH to appear.
wait_for() {
  local i
  for i in $(seq 50); do
    [ -e "$1" ] && return 0
    sleep 0.1
  done
  echo "$1 did not appear" >&2
  return 1
}

# settings FOLDER FREQUENCY: a working folder whose monitor tunes FREQUENCY on ./receiver.
settings() {
  mkdir -p "$1"
  printf '[Tallowmere]\nCOMport=./receiver\nFrequency=%s\nVolume=8\n' "$2" >"$1/tallowmere.ini"
}

# receiver_in FOLDER FREQUENCY [SIM_OPTION...]: goes into a working folder whose monitor
# tunes FREQUENCY, with the simulated receiver started on its ./receiver; its pid in $sim.
receiver_in() {
  local dir=$1 frequency=$2
  shift 2
  settings "$dir" "$frequency"
  cd "$dir"
  "$SIM" "$@" receiver >/dev/null &
  sim=$!
  wait_for receiver
}

# group_lines OUT: the group lines of the real captures, each ended by CR as received;
# where the captures are absent, those of ten seconds of the simulated receiver's station.
# An OUT made before is kept.
group_lines() {
  if [ -s "$1" ]; then return 0; fi
  if ls "$CAPTURES"/*.groups >/dev/null 2>&1; then
    cat "$CAPTURES"/*.groups | grep -a '^>>> ' >"$1"
    return
  fi
  local dir=$BENCH_TMP/recording
  mkdir -p "$dir"
  "$SIM" --flood --record "$dir/sent" "$dir/receiver" >/dev/null &
  local sim=$!
  wait_for "$dir/receiver"
  exec 3<>"$dir/receiver"
  printf 'f8880\r\n' >&3
  timeout 10 cat <&3 >/dev/null || true
  exec 3>&-
  kill "$sim" && wait "$sim" || true
  grep -a '^>>> ' "$dir/sent" >"$1"
}

# repeat_lines IN COUNT OUT: the lines of IN, over and over, COUNT of them.
repeat_lines() {
  awk -v n="$2" '{ line[NR] = $0 } END { for (i = 0; i < n; i++) print line[i % NR + 1] }' "$1" >"$3"
}

# latency_ms SENT_STAMPS HANDLED_STAMPS: "median p99" in ms from each line's LF going into
# the terminal to the form having handled it, the n-th handled chunk being the n-th line.
latency_ms() {
  paste "$1" "$2" | awk 'NF == 2 { print ($2 - $1) / 1e6 }' | median_p99
}

# median_p99: "median p99" of the numbers on stdin, one a line.
median_p99() {
  sort -g | awk '{ v[NR] = $1 }
    END { if (NR == 0) { print "no line was timed" > "/dev/stderr"; exit 1 }
          i = int(NR * 0.99); if (i < 1) i = 1; printf "%.3f %.3f\n", v[int((NR + 1) / 2)], v[i] }'
}

# value KEY FILE: the value of a key=value line.
value() {
  sed -n "s/^$1=//p" "$2"
}
