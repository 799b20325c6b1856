#!/usr/bin/env bash
# Runs each fuzzing harness for a fixed time on a copy of its seed corpus, in build-fuzz/run.
# A crash stops the run and leaves its input there; keep it under tests/fuzz/findings/ once
# the fault is mended, so the ordinary tests replay it.
set -euo pipefail
seconds=${1:-600}
top=$(cd "$(dirname "$0")/../.." && pwd)
run=$top/build-fuzz/run
mkdir -p "$run"
printf '[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n' >"$run/tallowmere.ini"
for harness in Receive Ini; do
  corpus=$(echo "$harness" | tr '[:upper:]' '[:lower:]')
  mkdir -p "$run/$corpus"
  cp -n "$top/tests/fuzz/corpus/$corpus/"* "$run/$corpus/"
  echo "== $harness: $seconds s"
  (cd "$run" && "$top/build-fuzz/tests/fuzz/${harness}Fuzzer" -max_len=512 -max_total_time="$seconds" \
      -print_final_stats=1 "$corpus" 2>"$harness.log") || { tail -40 "$run/$harness.log"; exit 1; }
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$run/$harness.log"
done
