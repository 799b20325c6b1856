#!/usr/bin/env bash
# Start-up: from launching tallowmere-probe (the monitor with time stamps) to its window's
# first paint being done, with the simulated receiver on its port, on a warm cache: one
# run to warm it, then 5 * BENCH_RUNS timed ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

receiver_in "$BENCH_TMP/startup" 88.8
shown=()
for run in $(seq 0 $((5 * BENCH_RUNS))); do
  TALLOWMERE_PROBE_T0=$(date +%s%N) QT_QPA_PLATFORM=offscreen "$PROBE" 0.5 >probe.out 2>/dev/null
  [ "$run" = 0 ] || shown+=("$(value shown_ms probe.out)")
done
kill $sim && wait $sim || true
report "start-up: launch to window shown" "ms" "< 300" "%.1f" "${shown[@]}"
