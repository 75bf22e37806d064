#!/usr/bin/env python3
"""The movie information site of the retrieval tests, on 127.0.0.1.

  site.py start DIR   starts the site in the background on a free port and
                      writes DIR/imdb_port; DIR/imdb_requests gets a line per
                      request ("GET target" or "POST target body")
  site.py stop DIR    stops it
  site.py serve DIR   runs it in the foreground

It answers the pages of routes.txt beside it; everything else is 404.
Any target whose path starts with /hold/ is answered after HOLD seconds
(what follows /hold is answered then), so that a test can cancel a
retrieval while it waits.
"""
import os
import signal
import socket
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
HOLD = 20


def load_routes():
    routes = {}
    with open(os.path.join(HERE, "routes.txt")) as table:
        for line in table:
            words = line.split()
            if len(words) == 3 and words[0] == "GET":
                routes[("GET", words[1], "")] = words[2]
            elif len(words) == 4 and words[0] == "POST":
                routes[("POST", words[1], words[2])] = words[3]
    return routes


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
    return head, body


def answer(conn, routes, log, lock):
    request = read_request(conn)
    if request is None:
        return
    head, body = request
    method, target = head.split(b" ")[:2]
    method, target, body = method.decode(), target.decode("latin-1"), body.decode("latin-1")
    with lock:
        log.write("%s %s%s\n" % (method, target, " " + body if body else ""))
        log.flush()
    if target.startswith("/hold/"):
        time.sleep(HOLD)
        target = target[len("/hold"):]
    name = routes.get((method, target, body if method == "POST" else ""))
    if name is None:
        conn.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 12\r\n\r\nno such page")
        return
    with open(os.path.join(HERE, name), "rb") as page:
        data = page.read()
    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(data) + data)


def handle(conn, routes, log, lock):
    try:
        answer(conn, routes, log, lock)
    except OSError:
        pass
    finally:
        conn.close()


def serve(folder):
    routes = load_routes()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    log = open(os.path.join(folder, "imdb_requests"), "a")
    lock = threading.Lock()
    port_file = os.path.join(folder, "imdb_port")
    with open(port_file + ".new", "w") as out:
        out.write("%d\n" % listener.getsockname()[1])
    os.replace(port_file + ".new", port_file)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=handle, args=(conn, routes, log, lock), daemon=True).start()


def stop(folder):
    pid_file = os.path.join(folder, "imdb_site.pid")
    try:
        with open(pid_file) as f:
            os.kill(int(f.read()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("imdb_site.pid", "imdb_port"):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass


def start(folder):
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    with open(os.path.join(folder, "imdb_site.log"), "w") as out:
        child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", folder],
                                 stdin=subprocess.DEVNULL, stdout=out, stderr=out, start_new_session=True)
    with open(os.path.join(folder, "imdb_site.pid"), "w") as f:
        f.write(str(child.pid))
    for _ in range(100):
        if os.path.exists(os.path.join(folder, "imdb_port")):
            return 0
        time.sleep(0.1)
    stop(folder)
    return 1


if __name__ == "__main__":
    command, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    if command == "start":
        sys.exit(start(folder))
    elif command == "stop":
        stop(folder)
    else:
        serve(folder)
