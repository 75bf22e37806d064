#!/usr/bin/env python3
"""The movie information site of the retrieval tests, on 127.0.0.1.

  imdb_site.py start DIR   starts the site in the background on a free port and
                           writes DIR/imdb_port; DIR/imdb_requests gets a line
                           per request ("GET target" or "POST target body")
  imdb_site.py stop DIR    stops it
  imdb_site.py serve DIR   runs it in the foreground

It answers the pages of tests/data/imdb/routes.txt; everything else is 404.
Any target whose path starts with /hold/ is answered after HOLD seconds
(what follows /hold is answered then), so that a test can cancel a
retrieval while it waits.
"""
import os
import signal
import subprocess
import sys
import threading
import time

# The peers run from the source tree, which stays free of byte code.
sys.dont_write_bytecode = True
from http_peer import listen, read_request, serve_forever

PAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "imdb")
HOLD = 20


def load_routes():
    routes = {}
    with open(os.path.join(PAGES, "routes.txt")) as table:
        for line in table:
            words = line.split()
            if len(words) == 3 and words[0] == "GET":
                routes[("GET", words[1], "")] = words[2]
            elif len(words) == 4 and words[0] == "POST":
                routes[("POST", words[1], words[2])] = words[3]
    return routes


def answer(conn, routes, log, lock):
    request = read_request(conn)
    if request is None:
        return
    head, _, body = request.partition(b"\r\n\r\n")
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
    with open(os.path.join(PAGES, name), "rb") as page:
        data = page.read()
    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(data) + data)


def serve(folder):
    routes = load_routes()
    listener = listen()
    log = open(os.path.join(folder, "imdb_requests"), "a")
    lock = threading.Lock()
    port_file = os.path.join(folder, "imdb_port")
    with open(port_file + ".new", "w") as out:
        out.write("%d\n" % listener.getsockname()[1])
    os.replace(port_file + ".new", port_file)
    serve_forever(listener, answer, routes, log, lock)


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
    # The port file appears once the site listens; a loaded machine may take
    # a while to start Python, so wait on the file (or the child's end).
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and child.poll() is None:
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
