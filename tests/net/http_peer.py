#!/usr/bin/env python3
"""A web server on raw sockets for the HTTP client's tests.

Each path plays one kind of server, good or bad:
  /echo...            the request as it came, as the body
  /chunked            a chunked body with extensions and odd sizes
  /redirect/N         N redirects in a row, then a page
  /loop/a, /loop/b    redirects to each other
  /same               a redirect to itself
  /slashes            a redirect with doubled slashes in its path
  /nolocation         a redirect without a Location
  /status/CODE        that status code, body "status CODE"
  /version/V          status line of HTTP/V
  /nonhttp            something that is not HTTP
  /gzip               a gzip transfer encoding
  /auth               a Basic challenge; the credentials as the body
  /slow?ms=N&n=K      K body bytes, one every N ms
  /silent             reads the request, never answers, closes late
  /neverclose         a whole reply, then the connection stays open
  /truncated          half the announced body, then close
  /truncated-chunked  chunks without the last one, then close
  /big?size=N[&chunked=1]  N bytes of body
Usage: http_peer.py PORT
The other peers take its request reader and its accept loop.
"""
import base64
import socket
import sys
import threading
import time
import urllib.parse

LATE = 30  # seconds a server that never closes keeps the connection


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        part = conn.recv(65536)
        if not part:
            return None
        data += part
    head, _, body = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(body) < length:
        part = conn.recv(65536)
        if not part:
            break
        body += part
    return head + b"\r\n\r\n" + body


def header(request, name):
    head = request.split(b"\r\n\r\n")[0]
    for line in head.split(b"\r\n")[1:]:
        key, _, value = line.partition(b":")
        if key.strip().lower() == name.lower():
            return value.strip()
    return None


def reply(status, body=b"", headers=(), version=b"1.1"):
    text = b"HTTP/" + version + b" " + status + b"\r\n"
    for line in headers:
        text += line + b"\r\n"
    text += b"Content-Length: %d\r\n\r\n" % len(body)
    return text + body


def redirect(to):
    return b"HTTP/1.1 302 Found\r\nLocation: " + to + b"\r\nContent-Length: 0\r\n\r\n"


def serve(conn, port):
    request = read_request(conn)
    if request is None:
        return
    target = request.split(b" ")[1].decode("latin-1")
    parsed = urllib.parse.urlsplit(target)
    path = parsed.path
    query = dict(urllib.parse.parse_qsl(parsed.query))
    base = b"http://127.0.0.1:%d" % port

    if path.startswith("/echo"):
        conn.sendall(reply(b"200 OK", request))
    elif path == "/chunked":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                     b"7;name=value\r\nchunked\r\n1\r\n \r\n"
                     b"1B \r\n" + b"b" * 27 + b"\r\n0\r\nX-Trailer: t\r\n\r\n")
    elif path.startswith("/redirect/"):
        left = int(path.split("/")[2])
        if left > 0:
            conn.sendall(redirect(base + b"/redirect/%d" % (left - 1)))
        else:
            conn.sendall(reply(b"200 OK", b"arrived"))
    elif path == "/loop/a":
        conn.sendall(redirect(base + b"/loop/b"))
    elif path == "/loop/b":
        conn.sendall(redirect(base + b"/loop/a"))
    elif path == "/same":
        conn.sendall(redirect(base + b"/same"))
    elif path == "/slashes":
        conn.sendall(redirect(base + b"//echo//x"))
    elif path == "/nolocation":
        conn.sendall(b"HTTP/1.1 301 Moved Permanently\r\nContent-Length: 0\r\n\r\n")
    elif path.startswith("/status/"):
        code = path.split("/")[2].encode()
        conn.sendall(reply(code + b" Scripted", b"status " + code))
    elif path.startswith("/version/"):
        conn.sendall(reply(b"200 OK", b"versioned", version=path.split("/")[2].encode()))
    elif path == "/nonhttp":
        conn.sendall(b"SSH-2.0-peer\r\n\r\n")
    elif path == "/gzip":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n\x1f\x8b\x08\x00")
    elif path == "/auth":
        given = header(request, b"authorization")
        if given is None or not given.startswith(b"Basic "):
            conn.sendall(reply(b"401 Unauthorized", b"", [b'WWW-Authenticate: Basic realm="peer"']))
        else:
            conn.sendall(reply(b"200 OK", base64.b64decode(given[6:])))
    elif path == "/slow":
        count = int(query.get("n", "5"))
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % count)
        for _ in range(count):
            time.sleep(int(query.get("ms", "300")) / 1000.0)
            conn.sendall(b"s")
    elif path == "/silent":
        time.sleep(LATE)
    elif path == "/neverclose":
        conn.sendall(reply(b"200 OK", b"all of it"))
        time.sleep(LATE)
    elif path == "/truncated":
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + b"t" * 500)
    elif path == "/truncated-chunked":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")
    elif path == "/big":
        size = int(query.get("size", "0"))
        block = b"v" * 65536
        if query.get("chunked") == "1":
            conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            while size > 0:
                n = min(size, len(block))
                conn.sendall(b"%x\r\n" % n + block[:n] + b"\r\n")
                size -= n
            conn.sendall(b"0\r\n\r\n")
        else:
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size)
            while size > 0:
                n = min(size, len(block))
                conn.sendall(block[:n])
                size -= n
    else:
        conn.sendall(reply(b"404 Not Found", b"no such page"))


def listen(port=0):
    """A socket listening on 127.0.0.1 at the port (0: a free one)."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(64)
    return listener


def serve_forever(listener, answer, *args):
    """Calls answer(conn, *args) for each connection on a thread of its own;
    a connection that breaks is dropped, and each is closed at the end."""
    def handle(conn):
        try:
            answer(conn, *args)
        except OSError:
            pass
        finally:
            conn.close()

    while True:
        conn, _ = listener.accept()
        threading.Thread(target=handle, args=(conn,), daemon=True).start()


def main():
    port = int(sys.argv[1])
    serve_forever(listen(port), serve, port)


if __name__ == "__main__":
    main()
