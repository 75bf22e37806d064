#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix, so tests never
# touch a user's Wine settings. VISTREL_WINEPREFIX is set by the test command.
# Wine's own messages stay quiet unless the caller asks for some (WINEDEBUG).
: "${WINEPREFIX:=${VISTREL_WINEPREFIX:-$HOME/.cache/vistrel-wine}}"
# The 32-bit test programs have a prefix of their own where the test command
# made one (scripts/wine-env.sh); a test that names its own prefix keeps it.
if [ -n "${VISTREL_WINEPREFIX32:-}" ] && [ "$WINEPREFIX" = "${VISTREL_WINEPREFIX:-}" ]; then
  case "$(file -b "$1" 2>/dev/null)" in
    *"PE32+"*) ;;
    *"PE32"*) WINEPREFIX=$VISTREL_WINEPREFIX32 ;;
  esac
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
case "$(file -b "$1" 2>/dev/null)" in
  *"PE32 executable"*|*"PE32 "*)
    if ! "$(dirname "$0")/can-run-32bit.sh"; then
      echo "wine-run: $1 is a 32-bit program and this machine cannot execute 32-bit code;" >&2
      echo "wine-run: run the Windows tests from the x86_64 build (cmake/mingw-x86_64.cmake)." >&2
      exit 125
    fi ;;
esac
# Dialogs ask for Tahoma and captions draw their buttons with Marlett. Wine
# ships both, but this Wine does not look in the folder it installs them to:
# the fallback font draws wider than it measures, cutting the last letter of
# a disabled button, and caption buttons show letters. The prefix's fonts
# folder (there once Wine has made the prefix) gets links to Wine's own.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d "$fonts" ]; then
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && [ ! -e "$fonts/$font" ] &&
      ln -s "/usr/share/wine/fonts/$font" "$fonts/" 2>/dev/null
  done
fi
# Each program goes straight to the loader of its own kind (the
# distribution's wine script prefers the 32-bit loader whenever it is
# installed); Wine starts the other loader for programs of the other kind.
. "$(dirname "$0")/wine-tools.sh"
loader=$(wine_loader_for "$1")
export WINELOADER="$loader"
# A test program in a Wine prefix of its own may ask for a display of its
# own too (VISTREL_PRIVATE_DISPLAY=1): windows of other test programs on a
# shared display take the input focus from its windows.
xvfb=
if [ "${VISTREL_PRIVATE_DISPLAY:-0}" = 1 ] && command -v Xvfb >/dev/null 2>&1; then
    n=200
    while [ -z "$xvfb" ] && [ $n -lt 300 ]; do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
            n=$((n + 1))
            continue
        fi
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
        xvfb=$!
        # Up to a minute: a loaded machine may be slow to start the display.
        i=0
        while [ $i -lt 600 ] && ! xdpyinfo -display ":$n" >/dev/null 2>&1; do
            # Another program took the number first: the server ends.
            kill -0 "$xvfb" 2>/dev/null || break
            sleep 0.1
            i=$((i + 1))
        done
        if kill -0 "$xvfb" 2>/dev/null; then
            export DISPLAY=":$n"
        else
            xvfb=
            n=$((n + 1))
        fi
    done
fi
# The program's output goes through a file of its own: a process Wine starts
# on the program's behalf (the desktop, a service) inherits its output and
# may outlive it, and would keep a pipe to the caller (CTest) open until it
# ends. The file is shown once the program has ended.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exec "$loader" "$@"
"$loader" "$@" >"$out" 2>&1 </dev/null &
child=$!
# Whoever stops this script stops the program.
trap 'kill "$child" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null' TERM INT HUP
wait "$child"
status=$?
while kill -0 "$child" 2>/dev/null; do
    wait "$child"
    status=$?
done
[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
cat "$out"
rm -f "$out"
exit $status
