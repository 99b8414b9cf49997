"""A hostile or a scripted client of the web panel without a browser: a login
over TLS, a live page's WebSocket that sends what it is told, and
connections that never speak. Only for loopback addresses on this machine."""
import base64
import os
import re
import select
import socket
import ssl
import struct
import urllib.parse


def tls(port, source='127.0.0.1', handshake=True):
    raw = socket.create_connection(('127.0.0.1', port), timeout=5, source_address=(source, 0))
    if not handshake:
        return raw
    context = ssl.create_default_context()
    context.check_hostname = False
    context.verify_mode = ssl.CERT_NONE
    return context.wrap_socket(raw)


def log_in(port, name, password):
    """The session cookie of a good login."""
    s = tls(port)
    body = urllib.parse.urlencode({'name': name, 'password': password}).encode()
    s.sendall(f'POST /login HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: https://127.0.0.1:{port}\r\n'
              f'Content-Type: application/x-www-form-urlencoded\r\nContent-Length: {len(body)}\r\n'
              f'Connection: close\r\n\r\n'.encode() + body)
    answer = b''
    while b'\r\n\r\n' not in answer:
        chunk = s.recv(4096)
        if not chunk:
            break
        answer += chunk
    s.close()
    found = re.search(rb'tavrin_session=([^;]*);', answer)
    if not found:
        raise RuntimeError(f'{name} could not log in: {answer[:80]!r}')
    return found.group(1).decode()


class RawPage:
    """A live page: the WebSocket of a logged-in session, sending text."""

    def __init__(self, port, cookie):
        self.sock = tls(port)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(f'GET /ws HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: https://127.0.0.1:{port}\r\n'
                          f'Cookie: tavrin_session={cookie}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
                          f'Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n'.encode())
        head = b''
        while b'\r\n\r\n' not in head:
            head += self.sock.recv(1)
        if b' 101 ' not in head.split(b'\r\n')[0]:
            raise RuntimeError(f'no live page: {head[:80]!r}')
        self.closed = False
        self.heard = b''

    def send(self, text):
        """False once the server has closed the page."""
        data = text.encode()
        mask = os.urandom(4)
        if len(data) < 126:
            header = bytes([0x81, 0x80 | len(data)])
        elif len(data) < 65536:
            header = bytes([0x81, 0x80 | 126]) + struct.pack('>H', len(data))
        else:
            header = bytes([0x81, 0x80 | 127]) + struct.pack('>Q', len(data))
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(data))
        try:
            self.sock.sendall(header + mask + masked)
            self.drain()
        except OSError:
            self.closed = True
        return not self.closed

    def drain(self):
        """Reads what the server sent, so that it never takes the page for one that stopped reading."""
        while not self.closed and (self.sock.pending() or select.select([self.sock], [], [], 0)[0]):
            data = self.sock.recv(65536)
            if not data:
                self.closed = True
            self.heard = (self.heard + data)[-65536:]

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass
