#!/usr/bin/env bash
# The monitor on the simulated receiver, in run/demo: tuned to 88.8 MHz, a station with
# RadioText, clock time, TMC and a traffic announcement. With a display the window stays
# until it is closed; without one, both run under a virtual display, a screenshot is
# taken 30 s after start, and the demo ends.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
run=$top/run/demo
mkdir -p "$run"
cd "$run"
rm -f traffic.txt metadata.txt startup.png live.png
printf '[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n' >tallowmere.ini

"$build/tools/sim/tallowmere-sim" ./receiver >sim.log 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -L receiver ] && break; sleep 0.1; done

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "The monitor runs in $run; close its window to end the demo."
  echo "Its live page is at the address its 'web: serving' line gives (http://127.0.0.1:8088/ by default)."
  "$build/tallowmere"
  exit
fi

echo "No display: running under a virtual one for 30 s."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1/tallowmere" 2>monitor.log &
  monitor=$!
  sleep 2; import -window Tallowmere startup.png
  sleep 28; import -window Tallowmere live.png
  kill $monitor' demo "$build"

echo
echo "Screenshots: $run/startup.png (start-up) and $run/live.png (30 s after start)"
# Each file as its bytes: \r is CR, $ the end of the line.
show() { printf '%s holds: ' "$run/$1"; sed -n l "$1"; }
show traffic.txt
show metadata.txt
