#!/usr/bin/python3
"""Figures for the web door under attack: runs each attack against a fresh
zelbowin-server (four robots playing, or three and a player for the seat
case, on free loopback ports) and prints what the server did: its resident
memory growth at the peak, how many bytes it took before closing, whether
it closed, and how long a desktop join over TCP and a browser join over
WebSocket took right after.

usage: door_attacks.py SERVER [ATTACK ...]   (attacks: see ATTACKS below)
"""

import base64
import os
import re
import resource
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

SERVER = sys.argv[1]
GREETING = b'ZelboWin\0'
MSG_IDLE, MSG_JOIN, MSG_CHAT, MSG_SIT = 0, 1, 3, 4
SOUTH = 0
GROWTH_CAP_MB = 512  # an attack stops once the server has grown this much


def frame(kind, payload=b''):
    return bytes([len(payload) + 2, kind]) + payload


def hello(handle):
    return GREETING + frame(MSG_JOIN, handle.encode())


class Server:
    def __init__(self, robots=4, fd_limit=None):
        self.dir = tempfile.mkdtemp(prefix='door-bench-')
        hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
        limit = (lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (fd_limit, hard))) if fd_limit else None
        env = dict(os.environ, ASAN_OPTIONS='detect_leaks=0')
        self.proc = subprocess.Popen([SERVER, '--port', '0', '--web', '0', '--robots', str(robots), '--seed', '3',
                                      '--dir', self.dir], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                     text=True, preexec_fn=limit, env=env)
        self.out = []
        threading.Thread(target=lambda: [self.out.append(l) for l in self.proc.stdout], daemon=True).start()
        while not (self.find(r'table open on port (\d+)') and self.find(r'browsers on port (\d+)') and
                   self.find(r'is sitting ' + ('East' if robots >= 3 else 'West'))):
            time.sleep(0.05)
        self.port = int(self.find(r'table open on port (\d+)').group(1))
        self.web = int(self.find(r'browsers on port (\d+)').group(1))
        time.sleep(1)  # the game under way
        self.base = self.rss()
        self.peak = self.base
        self.sampling = True
        threading.Thread(target=self.sample, daemon=True).start()

    def find(self, pattern):
        for line in list(self.out):
            m = re.search(pattern, line)
            if m:
                return m
        return None

    def rss(self):
        try:
            with open(f'/proc/{self.proc.pid}/status') as f:
                return int(re.search(r'VmRSS:\s+(\d+)', f.read()).group(1)) // 1024
        except (OSError, AttributeError):
            return 0

    def sample(self):
        while self.sampling and self.proc.poll() is None:
            self.peak = max(self.peak, self.rss())
            time.sleep(0.02)

    def growth(self):
        return self.peak - self.base

    def alive(self):
        return self.proc.poll() is None

    def stop(self):
        self.sampling = False
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def connect(port):
    s = socket.create_connection(('127.0.0.1', port), timeout=5)
    s.setblocking(False)
    return s


def wait_for(s, needle, seconds):
    got, end = b'', time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            b = s.recv(65536)
            if not b:
                return None
            got += b
            if needle in got:
                return got
        except BlockingIOError:
            time.sleep(0.005)
        except OSError:
            return None
    return None


def upgrade(origin=None, extra=''):
    key = base64.b64encode(os.urandom(16)).decode()
    return (f'GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
            f'Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n' +
            (f'Origin: {origin}\r\n' if origin else '') + extra + '\r\n').encode()


def ws_message(payload, opcode=2):
    return bytes([0x80 | opcode, 0x80 | len(payload)]) + b'\0\0\0\0' + payload  # masked, key 0


def join_ms(srv, tag):
    """Milliseconds for a TCP join and a WebSocket join, or None each."""
    try:
        return join_times(srv, tag)
    except OSError as e:
        return f'failed: {e}'


def join_times(srv, tag):
    t0 = time.monotonic()
    tcp = connect(srv.port)
    tcp.sendall(hello('Desk ' + tag))
    tcp_ms = wait_for(tcp, f'Desk {tag} has joined'.encode(), 10) and round((time.monotonic() - t0) * 1000)
    t0 = time.monotonic()
    ws = connect(srv.web)
    ws.sendall(upgrade())
    ok = wait_for(ws, b'\r\n\r\n', 10)
    ws_ms = None
    if ok and b' 101 ' in ok:
        ws.sendall(ws_message(hello('Web ' + tag)))
        ws_ms = wait_for(ws, f'Web {tag} has joined'.encode(), 10) and round((time.monotonic() - t0) * 1000)
    tcp.close()
    ws.close()
    return tcp_ms, ws_ms


def push(s, data, seconds, srv):
    """Sends `data` over and over for `seconds`, never reading; the bytes
    taken and whether the server closed."""
    sent, end = 0, time.monotonic() + seconds
    while time.monotonic() < end and srv.growth() < GROWTH_CAP_MB:
        try:
            sent += s.send(data)
        except BlockingIOError:
            time.sleep(0.001)
        except OSError:
            return sent, True
    return sent, False


def flood(srv, head, chunk, seconds):
    s = connect(srv.web)
    s.sendall(head)
    sent, closed = push(s, chunk, seconds, srv)
    return s, f'{sent / 1e6:.1f} MB taken, closed: {closed}'


def pipelined(srv):
    # The largest file: the WebAssembly, by the hashed name the page gives it.
    page = urllib.request.urlopen(f'http://127.0.0.1:{srv.web}/').read().decode()
    found = re.search(r'href="([\w.]+\.wasm)"', page)
    path = '/' + found.group(1) if found else '/'
    s = connect(srv.web)
    s.sendall(f'HEAD {path} HTTP/1.1\r\nHost: x\r\n\r\n'.encode())
    if b' 200 ' not in (wait_for(s, b'\r\n\r\n', 5) or b''):
        path = '/'
    s.close()
    return flood(srv, b'', f'GET {path} HTTP/1.1\r\nHost: x\r\n\r\n'.encode() * 5000, 10)


def pings(srv):
    s = connect(srv.web)
    s.sendall(upgrade())
    sent, closed = push(s, ws_message(b'p' * 125, 9) * 64, 5, srv)
    return s, f'{sent / 1e6:.1f} MB of pings taken, closed: {closed}'


def header_lines(srv):
    return flood(srv, b'GET / HTTP/1.1\r\nHost: x\r\n', b'X-Fill: ' + b'a' * 1000 + b'\r\n', 10)


def body(srv):
    return flood(srv, b'POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 1000000000\r\n\r\n', b'b' * 65536, 10)


def request_line(srv):
    s = connect(srv.web)
    s.sendall(b'GET /')
    sent, closed = push(s, b'a' * 65536, 10, srv)
    return s, f'{sent / 1e6:.1f} MB taken, closed: {closed}'


def slow_partials(srv):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    held = []
    for _ in range(1100):
        try:
            s = connect(srv.web)
            s.send(b'G')
            held.append(s)
        except OSError:
            break
    time.sleep(2)
    def still_open():  # nothing come back yet: neither an answer nor the close
        n = 0
        for s in held:
            try:
                s.recv(1, socket.MSG_PEEK)
            except BlockingIOError:
                n += 1
            except OSError:
                pass
        return n
    at_2s = still_open()
    joins = join_ms(srv, 'mid')
    time.sleep(10)  # past the request deadline
    return held, f'{len(held)} opened, held after 2 s: {at_2s}, after 12 s: {still_open()}; joins meanwhile (ms): {joins}'


def foreign_origin(srv):
    s = connect(srv.web)
    s.sendall(upgrade('http://evil.example'))
    answer = (wait_for(s, b'\r\n\r\n', 5) or b'').decode(errors='replace')
    acao = re.search(r'Access-Control-Allow-Origin: [^\r]*', answer)
    return s, f'{answer.splitlines()[0] if answer else "no answer"}; {acao.group(0) if acao else "no ACAO"}'


def seat_lockout(srv):
    player = connect(srv.port)
    player.sendall(hello('Player') + frame(MSG_SIT, bytes([SOUTH, 0])))
    wait_for(player, b'Player is sitting South', 10)
    watchers = []
    for i in range(28):
        w = connect(srv.port)
        w.sendall(hello(f'W{i}'))
        wait_for(w, f'W{i} has joined'.encode(), 10)
        watchers.append(w)
    player.close()
    time.sleep(0.5)
    w = connect(srv.port)
    w.sendall(hello('W28'))
    wait_for(w, b'W28 has joined', 10)
    watchers.append(w)
    for w in watchers:
        w.sendall(frame(MSG_IDLE, b'\0\0'))
    t0 = time.monotonic()
    back = connect(srv.port)
    back.sendall(hello('Player') + frame(MSG_SIT, bytes([SOUTH, 0])))
    got = wait_for(back, b'Player is sitting South', 10)
    return watchers + [back], (f'seat back after {round((time.monotonic() - t0) * 1000)} ms' if got
                               else 'refused (connection closed or no seat)')


def join_churn(srv):
    watcher = connect(srv.port)
    watcher.sendall(hello('Watcher'))
    wait_for(watcher, b'Watcher has joined', 10)
    t0, n = time.monotonic(), 0
    while n < 1000:
        s = connect(srv.port)
        s.sendall(hello('Churn'))
        wait_for(s, b'Churn has joined', 10)
        s.close()
        n += 1
    took = time.monotonic() - t0
    time.sleep(11)  # a summary line's interval
    heard = b''
    try:
        while True:
            b = watcher.recv(1 << 20)
            if not b:
                break
            heard += b
    except BlockingIOError:
        pass
    lines = heard.count(b'Churn has joined') + heard.count(b'Churn has left')
    return watcher, (f'{n} joins in {took:.1f} s ({n / took * 60:.0f}/min); the watcher heard {lines} '
                     f'joined/left lines, {heard.count(b"people joined and left")} summary lines')


ATTACKS = {'pipelined': pipelined, 'pings': pings, 'headers': header_lines, 'body': body,
           'request-line': request_line, 'slow': slow_partials, 'origin': foreign_origin,
           'seat': seat_lockout, 'churn': join_churn}

for name in sys.argv[2:] or ATTACKS:
    srv = Server(robots=3 if name == 'seat' else 4, fd_limit=1024)
    t0 = time.monotonic()
    held, what = ATTACKS[name](srv)
    took = time.monotonic() - t0
    joins = join_ms(srv, 'after') if srv.alive() else ('server gone', srv.proc.returncode)
    print(f'{name}: {what}; peak RSS growth {srv.growth()} MB in {took:.1f} s; '
          f'joins after (TCP ms, WebSocket ms): {joins}; server alive: {srv.alive()}', flush=True)
    del held
    srv.stop()
