#!/usr/bin/env bash
# Decoding throughput: tallowmere-replay on 1,000,000 group lines made by repeating the
# real captures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
replay=${REPLAY:-$here/../build-release/tallowmere-replay}
captures=${CAPTURES:-$here/../../shared/captures}
groups=1000000

input=$BENCH_TMP/million.groups
if ls "$captures"/*.groups >/dev/null 2>&1; then
  while [ ! -s "$input" ] || [ "$(wc -l <"$input")" -lt $groups ]; do cat "$captures"/*.groups >>"$input"; done
else
  echo "no captures in $captures" >&2
  exit 1
fi
head -n $groups "$input" >"$input.cut" && mv "$input.cut" "$input"

cd "$BENCH_TMP"
printf '[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n' >tallowmere.ini
rates=() ns=()
for _ in 1 2 3 4 5; do
  t=$(seconds "$replay" "$input")
  rates+=("$(echo "$groups / $t" | bc -l)")
  ns+=("$(echo "$t * 1000000000 / $groups" | bc -l)")
done
read -r m s <<<"$(median_spread "${rates[@]}")"
row "decoding throughput (1,000,000 groups)" "$(printf '%.0f' "$m")" "groups/s" "$s" ">= 2,000,000"
read -r m s <<<"$(median_spread "${ns[@]}")"
row "decoding time per group" "$(printf '%.0f' "$m")" "ns/group" "$s" "<= 500"
rss=$(peak_rss_kb "$replay" "$input")
row "replay peak RSS (1,000,000 groups)" "$((rss / 1024))" "MB" "" ""
