#!/usr/bin/env bash
# The monitor at full line rate: tallowmere-sim --flood sends real group lines as fast as
# a 115200-baud line carries them, over a pseudo-terminal, to the monitor (tallowmere-probe,
# the monitor with time stamps) on the offscreen platform, for BENCH_SECONDS in each of
# BENCH_RUNS runs. CPU and memory are sampled over the middle of the flood.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

lines_per_second=443  # 11,520 bytes/s in lines of 26 bytes
group_lines "$BENCH_TMP/station.groups"
# The flood starts when the monitor tunes, 5 s after its start, and ends by itself after
# the last line: the CPU window [6 s, 6 s + BENCH_SECONDS] lies inside it, and the monitor
# runs on for a few seconds after it.
repeat_lines "$BENCH_TMP/station.groups" $(((BENCH_SECONDS + 2) * lines_per_second)) "$BENCH_TMP/flood.groups"

cpu=() rss_start=() rss_end=() lost=() sent=() waits=() wait_max=() lat_median=() lat_p99=()
for run in $(seq "$BENCH_RUNS"); do
  receiver_in "$BENCH_TMP/live$run" 88.8 --flood --groups "$BENCH_TMP/flood.groups" --once --record sent --stamps sent.stamps
  QT_QPA_PLATFORM=offscreen "$PROBE" $((BENCH_SECONDS + 10)) handled.stamps >probe.out 2>probe.err &
  monitor=$!
  sleep 6
  ticks=$(cpu_ticks $monitor)
  rss_start+=("$(memory_kb $monitor VmRSS)")
  sleep "$BENCH_SECONDS"
  cpu+=("$(cpu_percent "$ticks" "$(cpu_ticks $monitor)" "$BENCH_SECONDS")")
  rss_end+=("$(memory_kb $monitor VmRSS)")
  wait $monitor
  kill $sim && wait $sim || true

  sent+=("$(grep -ac '^>>> ' sent)")
  lost+=("$((${sent[-1]} - $(value group_lines probe.out)))")
  waits+=("$(value press_wait_median_ms probe.out)")
  wait_max+=("$(value press_wait_max_ms probe.out)")
  latency=$(latency_ms sent.stamps handled.stamps)
  read -r m p <<<"$latency"
  lat_median+=("$m") lat_p99+=("$p")
done

report "flood: monitor CPU" "% of core" "< 5" "%.2f" "${cpu[@]}"
report "flood: group lines sent in ${BENCH_SECONDS}+ s" "lines" "" "%.0f" "${sent[@]}"
report "flood: group lines not handled" "lines" "0" "%.0f" "${lost[@]}"
report "flood: RSS 6 s after start" "KB" "< 60 MB" "%.0f" "${rss_start[@]}"
report "flood: RSS ${BENCH_SECONDS} s later" "KB" "< 60 MB, flat" "%.0f" "${rss_end[@]}"
report "flood: line in terminal to form, median" "ms" "" "%.3f" "${lat_median[@]}"
report "flood: line in terminal to form, p99" "ms" "< 5" "%.3f" "${lat_p99[@]}"
report "flood: button press to handler, median" "ms" "" "%.3f" "${waits[@]}"
report "flood: button press to handler, worst" "ms" "< 100" "%.3f" "${wait_max[@]}"
