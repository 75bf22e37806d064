#!/bin/sh
# The peers of the HTTP client's tests, on free ports of 127.0.0.1:
#   start DIR  starts the web server (http_peer.py), the scripted SOCKS peer
#              (socks_peer.py), tinyproxy without and with a login,
#              microsocks without and with a login and dante's SOCKS server,
#              and writes their ports to DIR/ports ("name=port" lines);
#   stop DIR   stops the processes it started, by the pids it kept.
# Logins: user "vistrel", password "secret".
set -u
command=$1
dir=$2
here=$(cd "$(dirname "$0")" && pwd)

stop() {
    for pidfile in "$dir"/*.pid; do
        [ -f "$pidfile" ] || continue
        kill "$(cat "$pidfile")" 2>/dev/null
        rm -f "$pidfile"
    done
}

# Runs a peer in the background, its output in a log of its own so that
# CTest never waits on a pipe the peer keeps.
run() {
    name=$1
    shift
    "$@" >"$dir/$name.log" 2>&1 </dev/null &
    echo $! >"$dir/$name.pid"
}

case "$command" in
stop)
    stop
    exit 0
    ;;
start)
    ;;
*)
    echo "usage: peers.sh start|stop DIR" >&2
    exit 2
    ;;
esac

mkdir -p "$dir"
stop
rm -f "$dir/ports" "$dir/socks_script" "$dir/socks_record"
set -- $(python3 -c '
import socket
held = []
for _ in range(7):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))')
http=$1 socks=$2 tiny=$3 tinyauth=$4 micro=$5 microauth=$6 dante=$7

tinyproxy_conf() {
    cat <<EOF
Port $1
Listen 127.0.0.1
Timeout 60
MaxClients 20
Allow 127.0.0.1
DisableViaHeader Yes
User nobody
Group nogroup
EOF
}
tinyproxy_conf "$tiny" >"$dir/tinyproxy.conf"
tinyproxy_conf "$tinyauth" >"$dir/tinyproxy-auth.conf"
echo "BasicAuth vistrel secret" >>"$dir/tinyproxy-auth.conf"

cat >"$dir/danted.conf" <<EOF
logoutput: stderr
internal: 127.0.0.1 port = $dante
external: 127.0.0.1
clientmethod: none
socksmethod: none
user.privileged: root
user.unprivileged: nobody
client pass {
    from: 127.0.0.0/8 to: 0.0.0.0/0
}
socks pass {
    from: 127.0.0.0/8 to: 0.0.0.0/0
    protocol: tcp
    command: connect
}
EOF

run http python3 "$here/http_peer.py" "$http"
run socks python3 "$here/socks_peer.py" "$socks" "$http" "$dir"
run tinyproxy tinyproxy -d -c "$dir/tinyproxy.conf"
run tinyproxy-auth tinyproxy -d -c "$dir/tinyproxy-auth.conf"
run microsocks microsocks -i 127.0.0.1 -p "$micro"
run microsocks-auth microsocks -i 127.0.0.1 -p "$microauth" -u vistrel -P secret
run danted danted -f "$dir/danted.conf" -p "$dir/danted.own"

# Ready once every port takes a connection; a loaded machine may take a
# while to start them all.
python3 - "$http" "$socks" "$tiny" "$tinyauth" "$micro" "$microauth" "$dante" <<'EOF' || { stop; exit 1; }
import socket, sys, time
deadline = time.monotonic() + 60
for port in map(int, sys.argv[1:]):
    while True:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=5).close()
            break
        except OSError:
            if time.monotonic() > deadline:
                sys.exit("peers.sh: nothing listens on port %d" % port)
            time.sleep(0.1)
EOF

cat >"$dir/ports" <<EOF
http=$http
socks=$socks
tinyproxy=$tiny
tinyproxy_auth=$tinyauth
microsocks=$micro
microsocks_auth=$microauth
dante=$dante
EOF
