#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix, so tests never
# touch a user's Wine settings. VISTREL_WINEPREFIX is set by the test command.
: "${WINEPREFIX:=${VISTREL_WINEPREFIX:-$HOME/.cache/vistrel-wine}}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
case "$(file -b "$1" 2>/dev/null)" in
  *"PE32 executable"*|*"PE32 "*)
    if ! "$(dirname "$0")/can-run-32bit.sh"; then
      echo "wine-run: $1 is a 32-bit program and this machine cannot execute 32-bit code;" >&2
      echo "wine-run: run the Windows tests from the x86_64 build (cmake/mingw-x86_64.cmake)." >&2
      exit 125
    fi ;;
esac
# 64-bit programs go straight to the 64-bit loader: the distribution's wine
# script prefers the 32-bit loader whenever it is installed.
loader=wine
case "$(file -b "$1" 2>/dev/null)" in
  *"PE32+"*) export WINELOADER=/usr/lib/wine/wine64; loader=/usr/lib/wine/wine64 ;;
esac
# The program's output goes through a file of its own: a process Wine starts
# on the program's behalf (the desktop, a service) inherits its output and
# may outlive it, and would keep a pipe to the caller (CTest) open until it
# ends. The file is shown once the program has ended.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exec "$loader" "$@"
"$loader" "$@" >"$out" 2>&1 </dev/null &
child=$!
# Whoever stops this script stops the program.
trap 'kill "$child" 2>/dev/null' TERM INT HUP
wait "$child"
status=$?
while kill -0 "$child" 2>/dev/null; do
    wait "$child"
    status=$?
done
cat "$out"
rm -f "$out"
exit $status
