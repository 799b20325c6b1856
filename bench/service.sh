#!/usr/bin/env bash
# Supervision: the monitor run as a systemd service with a 1 s watchdog (WATCHDOG_USEC)
# tells it WATCHDOG=1 from its event loop every 0.5 s. The spacing of those messages over
# BENCH_SECONDS, read from a datagram socket that stands in for systemd.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

mkdir -p "$BENCH_TMP/service" && cd "$BENCH_TMP/service"
printf '[Tallowmere]\nFrequency=88.8\n[Web]\nListen=off\n' >tallowmere.ini
gaps=$(python3 - "$MONITOR" "$BENCH_SECONDS" <<'PYTHON'
import os, socket, subprocess, sys, time
manager = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
manager.bind("notify")
manager.settimeout(0.2)
env = dict(os.environ, NOTIFY_SOCKET=os.path.abspath("notify"), WATCHDOG_USEC="1000000",
           QT_QPA_PLATFORM="offscreen")
monitor = subprocess.Popen([sys.argv[1]], env=env, stderr=subprocess.DEVNULL)
times, end = [], time.monotonic() + 1 + float(sys.argv[2])
while time.monotonic() < end:
    try:
        if b"WATCHDOG=1" in manager.recv(4096).split(b"\n"):
            times.append(time.monotonic())
    except socket.timeout:
        pass
monitor.terminate()
monitor.wait()
print(" ".join("%.1f" % (1000 * (b - a)) for a, b in zip(times, times[1:])))
PYTHON
)
# shellcheck disable=SC2086
report "service: watchdog spacing (WATCHDOG_USEC 1 s)" "ms" "500" "%.0f" $gaps
