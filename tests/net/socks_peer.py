#!/usr/bin/env python3
"""A scripted SOCKS4/4A/5 proxy for the HTTP client's tests.

Before each connection it reads DIR/socks_script, lines of key=value:
  version  the first byte of its answers (default 5, or 0 for SOCKS4)
  method   the SOCKS5 method it picks, in hex (default 00, or 02 when offered)
  auth     the SOCKS5 login status it answers (default 0)
  code     the reply code (default 0 for SOCKS5, 90 for SOCKS4)
  bound    the SOCKS5 bound address type, 1, 3 or 4 (default 1)
It writes everything the client sent before the tunnel, in hex, to
DIR/socks_record, then tunnels to the web server at 127.0.0.1:HTTP_PORT
whatever address the client asked for.
Usage: socks_peer.py PORT HTTP_PORT DIR
"""
import os
import socket
import sys
import threading

# The peers run from the source tree, which stays free of byte code.
sys.dont_write_bytecode = True
from http_peer import listen, serve_forever


class Record(list):
    """What the client sent, written out before every answer so that the
    test finds it as soon as the answer has come."""

    def __init__(self, folder):
        super().__init__()
        self.path = os.path.join(folder, "socks_record")

    def answer(self, conn, data):
        with open(self.path, "w") as f:
            f.write(b"".join(self).hex())
        conn.sendall(data)


def read_exact(conn, n, record):
    data = b""
    while len(data) < n:
        part = conn.recv(n - len(data))
        if not part:
            raise OSError("closed")
        data += part
    record.append(data)
    return data


def read_until_nul(conn, record):
    data = b""
    while not data.endswith(b"\0"):
        data += read_exact(conn, 1, record)
    return data


def load_script(folder):
    script = {}
    try:
        with open(os.path.join(folder, "socks_script")) as f:
            for line in f:
                key, _, value = line.strip().partition("=")
                if key:
                    script[key] = value
    except OSError:
        pass
    return script


def pump(source, sink):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            sink.sendall(data)
    except OSError:
        pass
    finally:
        try:
            sink.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def socks5(conn, script, record):
    count = read_exact(conn, 1, record)[0]
    methods = read_exact(conn, count, record)
    version = int(script.get("version", "5"))
    method = int(script.get("method", "02" if 2 in methods else "00"), 16)
    record.answer(conn, bytes([version, method]))
    if version != 5 or method not in (0, 2):
        return False
    if method == 2:
        read_exact(conn, 1, record)
        read_exact(conn, read_exact(conn, 1, record)[0], record)
        read_exact(conn, read_exact(conn, 1, record)[0], record)
        status = int(script.get("auth", "0"))
        record.answer(conn, bytes([1, status]))
        if status != 0:
            return False
    read_exact(conn, 3, record)
    kind = read_exact(conn, 1, record)[0]
    if kind == 1:
        read_exact(conn, 4, record)
    elif kind == 3:
        read_exact(conn, read_exact(conn, 1, record)[0], record)
    elif kind == 4:
        read_exact(conn, 16, record)
    read_exact(conn, 2, record)
    code = int(script.get("code", "0"))
    bound = int(script.get("bound", "1"))
    if bound == 3:
        address = bytes([3, 9]) + b"bound.any"
    elif bound == 4:
        address = bytes([4]) + bytes(16)
    else:
        address = bytes([1, 127, 0, 0, 1])
    record.answer(conn, bytes([version, code, 0]) + address + b"\x1f\x90")
    return code == 0


def socks4(conn, script, record):
    read_exact(conn, 7, record)
    address = record[-1][3:7]
    read_until_nul(conn, record)
    if address[:3] == b"\0\0\0" and address[3] != 0:
        read_until_nul(conn, record)
    code = int(script.get("code", "90"))
    record.answer(conn, bytes([int(script.get("version", "0")), code, 0, 0, 0, 0, 0, 0]))
    return code == 90


def handle(conn, http_port, folder):
    record = Record(folder)
    script = load_script(folder)
    first = read_exact(conn, 1, record)[0]
    if not (socks5(conn, script, record) if first == 5 else socks4(conn, script, record)):
        return
    server = socket.create_connection(("127.0.0.1", http_port))
    back = threading.Thread(target=pump, args=(server, conn), daemon=True)
    back.start()
    pump(conn, server)
    back.join()
    server.close()


def main():
    port, http_port, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    serve_forever(listen(port), handle, http_port, folder)


if __name__ == "__main__":
    main()
