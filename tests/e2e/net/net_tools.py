#!/usr/bin/env python3
"""Raw UDP peers for the network game tests: they speak the connection
set-up and the message format byte by byte, independently of the runtime.

  net_tools.py free-port                 a UDP port free on 127.0.0.1 now
  net_tools.py handshake PORT            connect to a host; exit 0 when it answers
  net_tools.py forge PORT SECONDS READY  send forged welcomes and answers (READY: file made once connected)
  net_tools.py hostile PORT              bad datagrams, then a join that must be welcomed
  net_tools.py serve DIR PORTFILE        an HTTP/1.0 file server on 127.0.0.1 (port written to PORTFILE)
"""
import socket
import struct
import sys
import time

HOST = '127.0.0.1'
REQUEST = b'HawkNL request connection.\x00'
REPLY = b'HawkNL connection OK.\x00'


def message(kind, recipient, sender, payload=b''):
    return b'BRDN' + struct.pack('<Biii', kind, len(payload), recipient, sender) + payload


def parse(data):
    if len(data) < 17 or data[:4] != b'BRDN':
        return None
    kind, length, recipient, sender = struct.unpack('<Biii', data[4:17])
    return kind, recipient, sender, data[17:17 + length]


def handshake(port, timeout=10.0):
    """A socket connected to the host's new port for this connection."""
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind((HOST, 0))
    s.settimeout(0.5)
    deadline = time.time() + timeout
    while time.time() < deadline:
        s.sendto(REQUEST, (HOST, port))
        try:
            while True:
                data, sender = s.recvfrom(4096)
                if len(data) == 24 and data[2:] == REPLY:
                    new_port = data[0] << 8 | data[1]
                    s.connect((sender[0], new_port))
                    s.send(b'')
                    return s
        except socket.timeout:
            continue
    raise SystemExit('no answer from port %d' % port)


def player_data(name, hidden=0):
    return struct.pack('<iiB', -1, -1, hidden) + name.encode().ljust(127, b'\x00')[:127] + b'\x00' * 16


def receive(s, want, timeout):
    """The first message for which want(message) holds, or None."""
    deadline = time.time() + timeout
    s.settimeout(0.2)
    while time.time() < deadline:
        try:
            m = parse(s.recv(4096))
        except socket.timeout:
            continue
        if m and want(m):
            return m
    return None


def forge(port, seconds, ready):
    s = handshake(port)
    open(ready, 'w').close()
    end = time.time() + seconds
    while time.time() < end:
        for victim in range(101, 111):
            s.send(message(2, 777, 0))                              # a welcome with a made-up id
            s.send(message(101, victim, 0, struct.pack('<i', 99)))  # a player count answer
            s.send(message(102, victim, 0, struct.pack('<i', 777)))
        time.sleep(0.005)


def hostile(port):
    s = handshake(port)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
    bad = [
        b'', b'B', b'BRDN' + b'\x03' * 12,                          # shorter than a header
        b'XRDN' + message(3, -1, 101, b'wrong magic')[4:],
        message(3, -1, 101, b'long')[:5] + struct.pack('<i', 2048) + message(3, -1, 101, b'long')[9:],
        message(3, -1, 101, b'short')[:5] + struct.pack('<i', 1) + message(3, -1, 101, b'short')[9:],
        message(3, -1, 101)[:5] + struct.pack('<i', -5) + message(3, -1, 101)[9:],
        message(3, -1, 101)[:5] + struct.pack('<i', 0x7fffffff) + message(3, -1, 101)[9:],
        message(3, -1, 101, b'x' * 2048)[:5] + struct.pack('<i', 4000) + message(3, -1, 101, b'x' * 2048)[9:],
        message(3, 9999, 101, b'x' * 2048),                         # valid, to nobody
        message(3, 9999, 101, b'y' * 3000),                         # too long for a message
    ]
    for d in bad:
        s.send(d)
    for i in range(10000):
        try:
            s.send(message(3, 9999, 101, b'flood %d' % i) if i % 2 else b'BRDN\x03junk')
        except BlockingIOError:
            pass
    # The relay still works for this connection: a join gets its welcome
    # (sent again while the flood may still fill the host's buffer).
    for attempt in range(20):
        s.send(message(1, 0, -1, player_data('Mallory')))
        welcome = receive(s, lambda m: m[0] == 2, 1.0)
        if welcome:
            print(welcome[1])
            return
    raise SystemExit('no welcome after the flood')


def main():
    cmd = sys.argv[1]
    if cmd == 'free-port':
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.bind((HOST, 0))
        print(s.getsockname()[1])
    elif cmd == 'handshake':
        handshake(int(sys.argv[2]), float(sys.argv[3]) if len(sys.argv) > 3 else 10.0)
    elif cmd == 'forge':
        forge(int(sys.argv[2]), float(sys.argv[3]), sys.argv[4])
    elif cmd == 'hostile':
        hostile(int(sys.argv[2]))
    elif cmd == 'serve':
        import functools
        import http.server
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        handler = functools.partial(Quiet, directory=sys.argv[2])
        server = http.server.ThreadingHTTPServer((HOST, 0), handler)
        with open(sys.argv[3] + '.tmp', 'w') as f:
            f.write(str(server.server_address[1]))
        import os
        os.replace(sys.argv[3] + '.tmp', sys.argv[3])
        server.serve_forever()
    else:
        raise SystemExit(__doc__)


if __name__ == '__main__':
    main()
