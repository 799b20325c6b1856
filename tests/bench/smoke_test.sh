#!/usr/bin/env bash
# The benchmark table, made short (one run of 1 s per live figure) so that every script
# keeps working: every row is printed, and no line of the flood is left unhandled by the
# monitor or missed by a /ws/groups client.
set -euo pipefail
build=$1
table=$(BENCH_RUNS=1 BENCH_SECONDS=1 BENCH_LOG_DAYS=1 "$(dirname "$0")/../../bench/run.sh" "$build")
echo "$table"
rows=$(grep -c '^| [a-z]' <<<"$table")
[ "$rows" -eq 44 ] || { echo "expected 44 rows, got $rows" >&2; exit 1; }
grep -q '^| flood: group lines not handled  *|  *0 |' <<<"$table" ||
  { echo "the monitor left flood lines unhandled" >&2; exit 1; }
grep -q '^| web: groups lost on /ws/groups  *|  *0 |' <<<"$table" ||
  { echo "a /ws/groups client missed flood lines" >&2; exit 1; }
