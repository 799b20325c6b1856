#!/usr/bin/env bash
# The example [Checks] Commands against listeners on this machine: the curl POST reaches a
# local HTTP listener as the alarm in JSON, the curl e-mail a local SMTP listener.
set -euo pipefail
examples=$1
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir"
export TALLOWMERE_CHECK=pi TALLOWMERE_STATE=raised TALLOWMERE_EXPECTED='D3*1' TALLOWMERE_RECEIVED=D42A \
  TALLOWMERE_TIME=2025-01-01T00:00:51.129Z TALLOWMERE_PI=D42A TALLOWMERE_PS='104.6"RTL' \
  TALLOWMERE_FREQUENCY=104.6 TALLOWMERE_FOLDER=/srv/tallowmere \
  TALLOWMERE_EVIDENCE=log/evidence/2025-01-01T00-00-51Z-pi.groups

python3 - >port 2>http.err <<'PY' &
import http.server, sys
class Hook(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        open("posted.json", "wb").write(body)
        open("type", "w").write(self.headers["Content-Type"])
        self.send_response(200); self.end_headers()
server = http.server.HTTPServer(("127.0.0.1", 0), Hook)
print(server.server_address[1], flush=True)
server.handle_request()
PY
until [ -s port ]; do sleep 0.1; done
TALLOWMERE_POST_URL="http://127.0.0.1:$(cat port)/hook" "$examples/tallowmere-alarm-post"
python3 -c '
import json, sys
got = json.load(open("posted.json"))
want = {"check": "pi", "state": "raised", "expected": "D3*1", "received": "D42A",
        "time": "2025-01-01T00:00:51.129Z", "pi": "D42A", "ps": "104.6\"RTL", "frequency": "104.6",
        "folder": "/srv/tallowmere", "evidence": "log/evidence/2025-01-01T00-00-51Z-pi.groups"}
sys.exit(0 if got == want and open("type").read() == "application/json" else "posted: %r" % got)'

python3 -W ignore - >smtp.port 2>smtp.err <<'PY' &
import asyncore, smtpd
class Relay(smtpd.SMTPServer):
    def process_message(self, peer, mailfrom, rcpttos, data, **kw):
        open("mail.txt", "wb").write(data)
server = Relay(("127.0.0.1", 0), None, decode_data=False)
print(server.socket.getsockname()[1], flush=True)
asyncore.loop()
PY
until [ -s smtp.port ]; do sleep 0.1; done
TALLOWMERE_SMTP_URL="smtp://127.0.0.1:$(cat smtp.port)" TALLOWMERE_SMTP_TLS=--no-progress-meter \
  TALLOWMERE_MAIL_TO=engineer@example.org "$examples/tallowmere-alarm-mail"
grep -q '^Subject: \[tallowmere\] pi raised: D42A 104.6"RTL' mail.txt || { cat mail.txt; exit 1; }
grep -q '^Evidence: /srv/tallowmere/log/evidence/2025-01-01T00-00-51Z-pi.groups' mail.txt
echo "both examples delivered"
