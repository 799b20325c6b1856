#!/usr/bin/env bash
# The Debian package made from a build: the files it installs and its control data, with
# dependencies found from the shared libraries the programs link, and what lintian says of it;
# then, as root, the package installed for real: the service's user, systemd's verdict on the
# template unit, and the unit keeping what the monitor needs. The hardened unit cannot run
# under systemd on the build machines (no systemd runs there), so it is checked, not started.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/tallowmere_*.deb)

fail() { echo "$deb: $*" >&2; exit 1; }
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for f in ./usr/bin/tallowmere ./usr/bin/tallowmere-replay ./usr/bin/tallowmere-sim ./usr/bin/tallowmere-log \
         ./usr/share/applications/tallowmere.desktop \
         ./usr/share/icons/hicolor/32x32/apps/tallowmere.png \
         ./usr/share/doc/tallowmere/examples/tallowmere.service \
         ./usr/share/doc/tallowmere/examples/prometheus.yml ./usr/share/doc/tallowmere/examples/tallowmere-alerts.yml \
         ./usr/share/doc/tallowmere/examples/tallowmere-targets.yml ./usr/share/doc/tallowmere/examples/tallowmere.ini \
         ./usr/lib/systemd/system/tallowmere@.service ./usr/lib/sysusers.d/tallowmere.conf; do
  grep -qxF "$f" <<<"$files" || fail "does not install $f"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tallowmere ] || fail "Package is $(field Package)"
[ "$(field Version)" = 2.03 ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
# Two blanks would make apt show a line as it stands, unwrapped.
if field Description | tail -n +2 | grep -q '^  '; then fail "Description has a verbatim line: $(field Description)"; fi
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libsystemd0; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# The menu entry's command starts the monitor in ~/Tallowmere.
dpkg-deb -x "$deb" "$out/root"
grep -qF "Exec=sh -c 'mkdir -p \"\$HOME/Tallowmere\" && cd \"\$HOME/Tallowmere\" && exec tallowmere'" \
  "$out/root/usr/share/applications/tallowmere.desktop" || fail "menu entry does not start in ~/Tallowmere"

# Debian's own checks: no error and no warning (man pages, copyright, changelog, control).
if ! dpkg-query -W -f='${Status}\n' lintian 2>/dev/null | grep -q 'install ok installed'; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian reports:"$'\n'"$report"
echo "ok: $(basename "$deb"), Depends: $depends"

if [ "$(id -u)" != 0 ] || dpkg-query -W tallowmere >/dev/null 2>&1; then
  echo "skipped: installing the package for real needs root and a machine without tallowmere installed"
  exit 0
fi
trap 'apt-get purge -y -qq -o DPkg::Lock::Timeout=600 tallowmere >/dev/null 2>&1; rm -rf "$out"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "does not install"; }
unit=/usr/lib/systemd/system/tallowmere@.service
groups=" $(id -nG tallowmere) "
[[ $groups == *" tallowmere "* && $groups == *" dialout "* ]] || fail "user tallowmere is in groups:$groups"
verify=$(systemd-analyze verify "$unit" 2>&1) && [ -z "$verify" ] || fail "systemd-analyze verify: $verify"
rating=$(systemd-analyze security --offline=true --threshold=20 "$unit" 2>&1) ||
  fail "exposure above 2.0: $(tail -n 12 <<<"$rating")"
# What the monitor needs, in the unit and as systemd reads it: its serial devices, sockets and folder.
have=$(cat "$unit"; systemd-analyze security --offline=true --json=short "$unit" | jq -r '.[] | select(.set == false) | .description')
for need in char-ttyS:rw char-ttyUSB:rw char-ttyACM:rw "RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6 AF_NETLINK" \
            "StateDirectory=tallowmere/%i" "WorkingDirectory=%S/tallowmere/%i"; do
  grep -qF "$need" <<<"$have" || fail "the unit takes away what the monitor needs: $need"
done
echo "ok: installed, user tallowmere in dialout, $(tail -n 1 <<<"$rating")"
