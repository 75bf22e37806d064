#!/bin/sh
# Runs a Windows program under Wine on a fresh Xvfb display for a few seconds
# and writes a PNG of the whole screen.
#
#   scripts/screenshot.sh [-o out.png] [-s seconds] [-g WxHxD] PROGRAM [ARGS...]
#
# The program runs through cmake/wine-run.sh (its Wine prefix comes from
# VISTREL_WINEPREFIX or WINEPREFIX); SCREENSHOT_RUNNER names another runner.
# Only the Xvfb server and the program started here are stopped afterwards.
set -eu

out=screenshot.png
seconds=5
geometry=1024x768x24
while getopts "o:s:g:" opt; do
    case "$opt" in
        o) out=$OPTARG ;;
        s) seconds=$OPTARG ;;
        g) geometry=$OPTARG ;;
        *) echo "usage: $0 [-o out.png] [-s seconds] [-g WxHxD] PROGRAM [ARGS...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
if [ $# -lt 1 ]; then
    echo "usage: $0 [-o out.png] [-s seconds] [-g WxHxD] PROGRAM [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
runner=${SCREENSHOT_RUNNER:-$here/../cmake/wine-run.sh}
for tool in Xvfb xdpyinfo import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$0: $tool is not installed" >&2; exit 1; }
done

# A display number nobody uses.
display=80
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done

Xvfb ":$display" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

tries=0
until xdpyinfo -display ":$display" >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "$0: Xvfb :$display did not start" >&2
        exit 1
    fi
    sleep 0.1
done

DISPLAY=":$display" "$runner" "$@" &
program_pid=$!
sleep "$seconds"
if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "$0: warning: the program ended before the screenshot" >&2
fi
DISPLAY=":$display" import -window root "$out"
echo "$out"
