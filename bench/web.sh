#!/usr/bin/env bash
# The web server, each figure in BENCH_RUNS runs of BENCH_SECONDS:
# - under a flood (as live.sh makes it) with 25 WebSocket clients on /ws/state and 25 on
#   /ws/groups (tallowmere-webclient): the monitor's CPU over the middle of the flood, how
#   long a group line took from the receiver to a state client as the new lblHEX, and the
#   group lines a groups client missed;
# - the page in headless Chromium on a real station at the RDS rate: the receiver's line
#   to the page's #f-lblHEX changing;
# - at rest, on a frequency without a station: the monitor's CPU with no client, then with
#   one state client;
# - under the same flood (tallowmere-probe), a line's time from the receiver to the form
#   with one client pipelining requests on one connection as fast as it can (webflood.py),
#   against none; and the monitor's peak memory above its idle while one client floods
#   pings without reading, and while one tries to upload 20 MiB.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

# monitor_with_web: starts the monitor in this folder with its web server on a free port;
# its pid in $monitor, its start in $started, its address (http://127.0.0.1:PORT/) in $url.
monitor_with_web() {
  printf '[Web]\nListen=127.0.0.1:0\n' >>tallowmere.ini
  started=$(date +%s.%N)
  QT_QPA_PLATFORM=offscreen "$MONITOR" >/dev/null 2>monitor.err &
  monitor=$!
  serving_url monitor.err
}

# serving_url STDERR_FILE: waits for the web server's line there; its address in $url.
serving_url() {
  local i
  for i in $(seq 50); do
    url=$(sed -n 's|.*web: serving \(http://[^ ]*/\).*|\1|p' "$1")
    [ -z "$url" ] || return 0
    sleep 0.1
  done
  echo "the monitor did not say where it serves" >&2
  return 1
}

# peak_rss_above_idle_kb PID SECONDS CMD...: the process's peak VmRSS while CMD runs for
# about SECONDS, sampled every 0.1 s, less its VmRSS before.
peak_rss_above_idle_kb() {
  local pid=$1 seconds=$2 idle peak now attacker
  shift 2
  idle=$(memory_kb "$pid" VmRSS)
  peak=$idle
  "$@" &
  attacker=$!
  while kill -0 $attacker 2>/dev/null; do
    now=$(memory_kb "$pid" VmRSS)
    [ "${now:-0}" -le "$peak" ] || peak=$now
    sleep 0.1
  done
  wait $attacker || true
  echo $((peak - idle))
}

# sleep_until SECONDS: sleeps until that long after the monitor's start.
sleep_until() {
  sleep "$(calc "$1 - ($(date +%s.%N) - $started)")"
}

# change_latency_ms SENT STAMPS CHANGES: "median p99" in ms from the receiver sending a
# group line to a client seeing lblHEX show its hex. Groups repeat, so each change is
# matched with the latest line of that hex sent before it.
change_latency_ms() {
  { awk 'NR == FNR { stamp[FNR] = $1; next }
         /^>>> / { gsub(/[^0-9A-Fa-f]/, "", $2); print stamp[FNR], "sent", toupper($2) }' "$2" "$1"
    awk '{ print $1, "seen", toupper($2) }' "$3"; } | sort -n -k1,1 |
    awk '$2 == "sent" { last[$3] = $1; next } $3 in last { print ($1 - last[$3]) / 1e6 }' | median_p99
}

lines_per_second=443 # 11,520 bytes/s in lines of 26 bytes
group_lines "$BENCH_TMP/station.groups"
repeat_lines "$BENCH_TMP/station.groups" $(((BENCH_SECONDS + 2) * lines_per_second)) "$BENCH_TMP/flood.groups"
cpu=() lat_median=() lat_p99=() lost=()
for run in $(seq "$BENCH_RUNS"); do
  receiver_in "$BENCH_TMP/web$run" 88.8 --flood --groups "$BENCH_TMP/flood.groups" --once --record sent --stamps sent.stamps
  monitor_with_web
  # The flood runs from the tune, 5 s after the start, to about 7 s + BENCH_SECONDS; the
  # clients stay 2 s longer for the last lines to arrive.
  "$WEBCLIENT" "$url" 25 25 $((BENCH_SECONDS + 9)) changes >client.out &
  client=$!
  sleep_until 6
  cpu+=("$(cpu_during $monitor "$BENCH_SECONDS")")
  wait $client
  kill $monitor $sim && wait $monitor $sim || true
  read -r m p <<<"$(change_latency_ms sent sent.stamps changes)"
  lat_median+=("$m") lat_p99+=("$p")
  lost+=("$(($(grep -Eac '^>>> [0-9A-Fa-f]{4}(:[0-9A-Fa-f]{4}){3}<' sent) - $(value group_messages_min client.out)))")
done
report "web: monitor CPU, 50 WebSocket clients, flood" "% of core" "< 10" "%.2f" "${cpu[@]}"
report "web: change-to-page latency, median" "ms" "" "%.1f" "${lat_median[@]}"
report "web: change-to-page latency, p99" "ms" "< 50" "%.1f" "${lat_p99[@]}"
report "web: groups lost on /ws/groups" "lines" "0" "%.0f" "${lost[@]}"

capture=$CAPTURES/de-104.6rtl-D42A.groups
[ -e "$capture" ] || capture=$BENCH_TMP/station.groups
if command -v chromium >/dev/null && command -v chromedriver >/dev/null && /usr/bin/python3 -c 'import selenium' 2>/dev/null; then
  lat_median=() lat_p99=()
  for run in $(seq "$BENCH_RUNS"); do
    receiver_in "$BENCH_TMP/page$run" 104.6 --groups "$capture" --record sent --stamps sent.stamps
    monitor_with_web
    /usr/bin/python3 "$here/webpage.py" "$url" $((BENCH_SECONDS + 5)) changes
    kill $monitor $sim && wait $monitor $sim || true
    read -r m p <<<"$(change_latency_ms sent sent.stamps changes)"
    lat_median+=("$m") lat_p99+=("$p")
  done
  report "web: change-to-page latency in browser, median" "ms" "" "%.1f" "${lat_median[@]}"
  report "web: change-to-page latency in browser, p99" "ms" "< 100" "%.1f" "${lat_p99[@]}"
else
  row "web: change-to-page latency in browser, median" "skipped" "ms" "no chromium or selenium"
  row "web: change-to-page latency in browser, p99" "skipped" "ms" "no chromium or selenium" "< 100"
fi

cpu=() cpu_client=()
for run in $(seq "$BENCH_RUNS"); do
  receiver_in "$BENCH_TMP/webidle$run" 100.0
  monitor_with_web
  sleep_until 6
  cpu+=("$(cpu_during $monitor "$BENCH_SECONDS")")
  "$WEBCLIENT" "$url" 1 0 $((BENCH_SECONDS + 2)) >client.out &
  client=$!
  sleep 1
  cpu_client+=("$(cpu_during $monitor "$BENCH_SECONDS")")
  wait $client
  kill $monitor $sim && wait $monitor $sim || true
done
report "web: idle CPU, server on" "% of core" "< 0.2" "%.3f" "${cpu[@]}"
report "web: idle CPU, server on, one page client" "% of core" "< 0.2" "%.3f" "${cpu_client[@]}"

calm=() flooded=() ping_rss=() upload_rss=()
for run in $(seq "$BENCH_RUNS"); do
  for attack in none pipeline; do
    receiver_in "$BENCH_TMP/webflood-$attack$run" 88.8 --flood --groups "$BENCH_TMP/flood.groups" --once --record sent --stamps sent.stamps
    printf '[Web]\nListen=127.0.0.1:0\n' >>tallowmere.ini
    QT_QPA_PLATFORM=offscreen "$PROBE" $((BENCH_SECONDS + 10)) handled.stamps >probe.out 2>probe.err &
    monitor=$!
    serving_url probe.err
    [ $attack = none ] || /usr/bin/python3 "$here/webflood.py" pipeline "$url" $((BENCH_SECONDS + 8)) &
    wait $monitor
    kill $sim && wait $sim || true
    wait
    read -r _ p <<<"$(latency_ms sent.stamps handled.stamps)"
    if [ $attack = none ]; then calm+=("$p"); else flooded+=("$p"); fi
  done
  receiver_in "$BENCH_TMP/webmemory$run" 88.8
  monitor_with_web
  sleep_until 6
  ping_rss+=("$(peak_rss_above_idle_kb $monitor "$BENCH_SECONDS" /usr/bin/python3 "$here/webflood.py" ping "$url" "$BENCH_SECONDS")")
  upload_rss+=("$(peak_rss_above_idle_kb $monitor "$BENCH_SECONDS" /usr/bin/python3 "$here/webflood.py" upload "$url" "$BENCH_SECONDS")")
  kill $monitor $sim && wait $monitor $sim || true
done
report "web: line to form, p99, no web client" "ms" "" "%.3f" "${calm[@]}"
report "web: line to form, p99, pipelining flood" "ms" "< 2x above" "%.3f" "${flooded[@]}"
report "web: peak RSS above idle, ping flood" "KB" "< 64 MB" "%.0f" "${ping_rss[@]}"
report "web: peak RSS above idle, 20 MiB upload" "KB" "< 64 MB" "%.0f" "${upload_rss[@]}"
