#!/usr/bin/env bash
# Every benchmark, one table: bench/run.sh [BUILD_DIR [BENCH...]]   (default build-release,
# every one of: decode log soak startup idle station live web service)
# BENCH_RUNS runs of each live figure (default 3), each BENCH_SECONDS long (default 60).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-release}" && pwd)
[ $# -eq 0 ] || shift
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(decode log soak startup idle station live web service)
export REPLAY=$build/tallowmere-replay SIM=$build/tools/sim/tallowmere-sim
export PROBE=$build/bench/tallowmere-probe STATIONCOST=$build/bench/tallowmere-stationcost MONITOR=$build/tallowmere WEBCLIENT=$build/bench/tallowmere-webclient
export CAPTURES=${CAPTURES:-$here/../../shared/captures}
export BENCH_RUNS=${BENCH_RUNS:-3} BENCH_SECONDS=${BENCH_SECONDS:-60}
BENCH_TMP=$(mktemp -d)
export BENCH_TMP
trap 'rm -rf "$BENCH_TMP"' EXIT
source "$here/lib.sh"

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), \
$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$BENCH_RUNS runs of ${BENCH_SECONDS} s for the live figures; spread is min - max"
echo
header
for bench in "${benches[@]}"; do
  "$here/$bench.sh"
done
