#!/usr/bin/env bash
# Latency at the rate a station sends, about 11.4 groups a second: the simulated
# receiver's own station to tallowmere-probe, for BENCH_SECONDS after it tunes at 5 s.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

receiver_in "$BENCH_TMP/station" 88.8 --stamps sent.stamps
QT_QPA_PLATFORM=offscreen "$PROBE" $((BENCH_SECONDS + 5)) handled.stamps >probe.out 2>probe.err
kill $sim && wait $sim || true
latency=$(latency_ms sent.stamps handled.stamps)
read -r m p <<<"$latency"
report "station rate: line in terminal to form, median" "ms" "" "%.3f" "$m"
report "station rate: line in terminal to form, p99" "ms" "< 5" "%.3f" "$p"
report "station rate: lines timed" "lines" "" "%.0f" "$(wc -l <handled.stamps)"
