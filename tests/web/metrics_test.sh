#!/usr/bin/env bash
# /metrics of the monitor on the simulated receiver playing a real station: promtool finds
# nothing wrong in it, and a real Prometheus scraping it every second holds the level, the
# traffic state and the group count the window shows, once before and once during the
# station's traffic announcement. The simulator is stopped (SIGSTOP) at each of the two
# moments, so that the window stays as it is until Prometheus has scraped it.
set -euo pipefail
monitor=$1 sim=$2 capture=$3/de-mdr-thueringen-D6F1.groups
[ -r "$capture" ] || { echo "$capture is absent: skipped"; exit 77; }
dir=$(mktemp -d)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null && kill "$pid" 2>/dev/null; done
  wait || true
  rm -rf "$dir"
}
trap stop_all EXIT
fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$dir"/*.err >&2 || true
  exit 1
}
# eventually COMMAND...: polls COMMAND until it succeeds; false after 60 s.
eventually() {
  local deadline=$((SECONDS + 60))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}
cd "$dir"

printf '[Tallowmere]\nCOMport=./receiver\nFrequency=104.6\n[Web]\nListen=127.0.0.1:0\n' >tallowmere.ini
"$sim" --groups "$capture" receiver >sim.out 2>sim.err &
sim_pid=$!
pids+=("$sim_pid")
eventually test -e receiver || fail "the simulator made no ./receiver"
QT_QPA_PLATFORM=offscreen "$monitor" 2>monitor.err &
pids+=($!)
serving() { grep -o 'web: serving http://127\.0\.0\.1:[0-9]*/' monitor.err >serving; }
eventually serving || fail "the monitor did not say where it serves"
web=$(grep -o 'http://[0-9.:]*' serving)

# Prometheus on a random free port; another one if it was taken meanwhile.
printf 'global: {scrape_interval: 1s}\nscrape_configs:\n  - job_name: tallowmere\n' >prometheus.yml
printf '    static_configs: [{targets: ["%s"]}]\n' "${web#http://}" >>prometheus.yml
for _ in 1 2 3 4 5; do
  prom=http://127.0.0.1:$((20000 + RANDOM % 40000))
  prometheus --config.file=prometheus.yml --storage.tsdb.path=tsdb --web.listen-address="${prom#http://}" \
    2>prometheus.err &
  prom_pid=$!
  ready() { curl -sf "$prom/-/ready" >/dev/null || ! kill -0 "$prom_pid" 2>/dev/null; }
  eventually ready
  kill -0 "$prom_pid" 2>/dev/null && break
  wait "$prom_pid" || true
done
pids+=("$prom_pid")
curl -sf "$prom/-/ready" >/dev/null || fail "Prometheus did not start"

# window: "LEVEL TRAFFIC GROUPS" as /api/state shows them ("RSSI: 07 dBuV" gives 7).
window() {
  curl -sf "$web/api/state" |
    jq -r '"\(.fields.lblRSSI.shown | capture("RSSI: *(?<n>[0-9]+)").n | tonumber) \(.fields.lblTraffic.shown) \(.counters.groups)"'
}
# scraped: the four values Prometheus holds, one "name=value" each, sorted by name.
scraped() {
  curl -sfG "$prom/api/v1/query" \
    --data-urlencode 'query={__name__=~"tallowmere_(signal_level_dbuv|traffic_(announcement|state_known)|groups_total)"}' |
    jq -r '.data.result | map("\(.metric.__name__)=\(.value[1])") | sort | join(" ")'
}
shows() { window 2>/dev/null | grep -q " $1 "; }
settled() {
  local before
  before=$(window) && sleep 1 && [ "$(window)" = "$before" ]
}
agrees() { [ "$(scraped)" = "$expected" ]; }

for row in "NORMAL BROADCAST:0" "TRAFFIC ANNOUNCEMENT:1"; do
  text=${row%:*} ta=${row#*:}
  eventually shows "$text" || fail "the window never showed $text: $(window)"
  kill -STOP $sim_pid
  eventually settled || fail "the window kept changing with the receiver stopped"
  read -r level _ <<<"$(window)"
  groups=$(window | awk '{ print $NF }')
  [ "$groups" -gt 0 ] || fail "no group decoded before $text"
  expected="tallowmere_groups_total=$groups tallowmere_signal_level_dbuv=$level"
  expected+=" tallowmere_traffic_announcement=$ta tallowmere_traffic_state_known=1"
  eventually agrees || fail "with $text shown, Prometheus holds '$(scraped)', not '$expected'"
  if [ "$ta" = 1 ]; then
    curl -sf "$web/metrics" | promtool check metrics || fail "promtool rejects /metrics"
  fi
  kill -CONT $sim_pid
done
echo "ok: Prometheus agrees with the window before and during the traffic announcement"
