#!/usr/bin/python3
"""One hostile client of the monitor's web server, for the benchmarks only.

    webflood.py pipeline|ping|upload URL SECONDS

pipeline: requests GET /nowhere back to back on one connection, reading the answers, as
fast as it can; ping: opens /ws/groups and sends pings without ever reading; upload: POSTs
a 20 MiB body to /api/volume. Each keeps at it (reconnecting if the server ends the
connection) for SECONDS.
"""
import socket
import sys
import time
import urllib.parse

kUpgrade = (b'GET /ws/groups HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
            b'Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n')
kPing = b'\x89\xfd\0\0\0\0' + b'p' * 125  # a masked ping with the most a control frame carries
kRequest = b'GET /nowhere HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n'


def attack(mode, address, until):
    with socket.create_connection(address) as s:
        s.settimeout(1)
        if mode == 'pipeline':
            s.setblocking(False)
            batch = kRequest * 256
            while time.monotonic() < until:
                try:
                    s.send(batch)
                except BlockingIOError:
                    pass
                try:
                    while s.recv(1 << 16):
                        pass
                except BlockingIOError:
                    pass
        elif mode == 'ping':
            s.sendall(kUpgrade)
            while time.monotonic() < until:
                s.sendall(kPing * 64)
        else:
            s.sendall(b'POST /api/volume HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: %d\r\n\r\n' % (20 << 20))
            chunk = b'8' * (1 << 16)
            for _ in range(20 << 4):
                s.sendall(chunk)


def main():
    mode, url, seconds = sys.argv[1], urllib.parse.urlsplit(sys.argv[2]), float(sys.argv[3])
    until = time.monotonic() + seconds
    while time.monotonic() < until:
        try:
            attack(mode, (url.hostname, url.port), until)
        except OSError:
            time.sleep(0.05)


if __name__ == '__main__':
    main()
