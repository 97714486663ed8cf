#!/usr/bin/env python3
"""Raw UDP peers for the network game tests: they speak the connection
set-up and the message format byte by byte, independently of the runtime.

  net_tools.py free-port                 a UDP port free on 127.0.0.1 now
  net_tools.py handshake PORT            connect to a host; exit 0 when it answers
  net_tools.py forge PORT SECONDS READY  send forged welcomes and answers (READY: file made once connected)
  net_tools.py hostile PORT              bad datagrams, then a join that must be welcomed
  net_tools.py serve DIR PORTFILE        an HTTP/1.0 file server on 127.0.0.1 (port written to PORTFILE)
  net_tools.py hostile-host PORTFILE     a host that lies to the one program joining it (port written to PORTFILE)
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


def write_port(port_file, port):
    with open(port_file + '.tmp', 'w') as f:
        f.write(str(port))
    import os
    os.replace(port_file + '.tmp', port_file)


def junk_kinds(valid):
    """Datagrams that are not messages, made from a valid one."""
    return [
        b'', b'z', valid[:16], b'XRDN' + valid[4:],
        valid[:5] + struct.pack('<i', len(valid) - 16) + valid[9:],   # longer than what came
        valid[:5] + struct.pack('<i', len(valid) - 18) + valid[9:],   # shorter
        valid[:5] + struct.pack('<i', -1) + valid[9:],
        valid[:5] + struct.pack('<i', 0x7fffffff) + valid[9:],
        message(3, 0, 0, b'x' * 3000),                                # too long for a message
    ]


def hostile_host(port_file):
    """Welcomes ids nobody asked for (-2 and others below 101) around each
    real one (150, 151, ...), answers requests with payloads of the wrong
    size, and on the joiner's text "junk" or "flood" sends junk (lying
    lengths among it) or a flood of 10000 datagrams, then a real message
    back ("after-junk" with a hidden part after a NUL, "after-flood"),
    again every 0.1 s until the joiner's text "got" (the junk may fill the
    joiner's buffer). Ends on the text "bye"."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    listener.bind((HOST, 0))
    write_port(port_file, listener.getsockname()[1])
    listener.settimeout(120)
    while True:
        data, peer = listener.recvfrom(4096)
        if data[:26] == REQUEST[:26]:
            break
    conn = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
    conn.bind((HOST, 0))
    listener.sendto(struct.pack('>H', conn.getsockname()[1]) + REPLY, peer)
    conn.connect(peer)
    conn.send(b'')
    next_id = 150
    pending = None  # the real message sent again until the joiner has it
    while True:
        if pending:
            conn.send(pending)
        conn.settimeout(0.1 if pending else 120)
        try:
            m = parse(conn.recv(65536))
        except socket.timeout:
            continue
        if not m:
            continue
        kind, recipient, sender, payload = m
        if kind == 1:
            for bad in (-2, -1, -3, 0, 5, 100):
                conn.send(message(2, bad, 0))
            conn.send(message(2, next_id, 0))
            next_id += 1
            for bad in (-2, 7, next_id + 5):  # nobody waits for these
                conn.send(message(2, bad, 0))
        elif kind == 101:
            conn.send(message(101, sender, 0))                    # no count in it
        elif kind == 102:
            conn.send(message(102, sender, 0, b'\x01\x02\x03'))  # three bytes
        elif kind == 103:
            conn.send(message(103, sender, 0, b'N' * 2048))       # no terminator
        elif kind == 104:
            conn.send(message(104, sender, 0, struct.pack('<i', 1)))
        elif kind == 3 and payload == b'junk':
            for d in junk_kinds(message(3, sender, 150, b'v')) * 50:
                conn.send(d)
            pending = message(3, sender, 150, b'after-junk\x00hidden')  # ends at its NUL
        elif kind == 3 and payload == b'flood':
            for i in range(10000):
                conn.send(b'z')
            pending = message(3, sender, 150, b'after-flood')
        elif kind == 3 and payload == b'got':
            pending = None
        elif kind == 3 and payload == b'bye':
            return


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
    elif cmd == 'hostile-host':
        hostile_host(sys.argv[2])
    elif cmd == 'serve':
        import functools
        import http.server
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        handler = functools.partial(Quiet, directory=sys.argv[2])
        server = http.server.ThreadingHTTPServer((HOST, 0), handler)
        write_port(sys.argv[3], server.server_address[1])
        server.serve_forever()
    else:
        raise SystemExit(__doc__)


if __name__ == '__main__':
    main()
