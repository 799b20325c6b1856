#!/usr/bin/env bash
# Idle cost: the monitor (tallowmere itself) tuned to a frequency where the simulated
# receiver has no station, so that all it receives is the answer to its 2 s signal poll.
# CPU and wake-ups over BENCH_SECONDS, from 5 s after its start, in each of BENCH_RUNS runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

cpu=() wakes=()
for run in $(seq "$BENCH_RUNS"); do
  receiver_in "$BENCH_TMP/idle$run" 100.0
  QT_QPA_PLATFORM=offscreen "$MONITOR" >/dev/null 2>&1 &
  monitor=$!
  sleep 5
  ticks=$(cpu_ticks $monitor) woken=$(wakeups $monitor)
  sleep "$BENCH_SECONDS"
  cpu+=("$(cpu_percent "$ticks" "$(cpu_ticks $monitor)" "$BENCH_SECONDS")")
  wakes+=("$(calc "($(wakeups $monitor) - $woken) / $BENCH_SECONDS")")
  kill $monitor $sim && wait $monitor $sim || true
done
report "idle: monitor CPU" "% of core" "< 0.2" "%.3f" "${cpu[@]}"
report "idle: monitor wake-ups" "per s" "" "%.1f" "${wakes[@]}"
