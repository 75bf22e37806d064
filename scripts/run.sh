#!/bin/bash
# The run command: builds the main program and starts it under Wine with the
# demo catalogue (a fresh copy of samples/demo.vdb in build/run/), from a
# program folder laid out as the installer lays it out (build/run/program:
# the installer's payload unpacked: the help file, template-script/,
# scripts/, and plugins/ with the four plug-ins and the media tool).
#
# With a display (DISPLAY reachable) the program runs on it until you close
# it. Without one it runs on a fresh Xvfb display: once the main window is
# shown and idle, a screenshot is saved, its path is printed, and the
# program is closed.
#
# The 32-bit program (the deliverable) runs where this machine can execute
# 32-bit code (cmake/can-run-32bit.sh); elsewhere the same sources built for
# 64-bit Windows run instead. Settings live in a Wine prefix of their own,
# build/run-wineprefix (VISTREL_WINEPREFIX chooses another).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
run="$build/run"
title="vistrel v1.3.5.2"

# ---- whatever is missing is installed first
missing=0
for tool in cmake Xvfb xdpyinfo import i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix \
            x86_64-w64-mingw32-gcc; do
  command -v "$tool" >/dev/null 2>&1 || missing=1
done
. "$root/cmake/wine-tools.sh"
[ -n "$WINE_LOADER64" ] || missing=1
[ -f /opt/vistrel-deps/winpthreads-i686/.complete ] || missing=1
if [ "$missing" = 1 ]; then
  if [ "$(id -u)" = 0 ]; then
    "$root/scripts/bootstrap.sh"
  else
    sudo "$root/scripts/bootstrap.sh"
  fi
fi

# ---- build: the installer's payload (the program, its help file, plug-ins
# and tool), nothing else, and the program folder unpacked from it
if "$root/cmake/can-run-32bit.sh"; then
  dir="$build/win32"
  toolchain="$root/cmake/mingw-i686.cmake"
else
  dir="$build/run-win64"
  toolchain="$root/cmake/mingw-x86_64.cmake"
fi
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DVISTREL_TESTS=OFF >/dev/null
cmake --build "$dir" --target payload -j"$(nproc)" >/dev/null
folder="$run/program"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$dir/setup/payload.zip" -d "$folder"
program="$folder/vistrel.exe"

cp -f "$root/samples/demo.vdb" "$run/demo.vdb"
demo="Z:$(printf '%s' "$run/demo.vdb" | tr / '\\')"

# ---- Wine
export VISTREL_WINEPREFIX="${VISTREL_WINEPREFIX:-$build/run-wineprefix}"
export WINEPREFIX="$VISTREL_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"   # quiet unless the caller asks
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
wineserver=$WINE_SERVER

set_managed() {  # Y: a window manager places the windows; N: Wine draws them itself
  WINELOADER=$WINE_LOADER "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f \
    >/dev/null 2>&1 </dev/null
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  set_managed Y
  echo "run: starting $program with $run/demo.vdb on $DISPLAY"
  exec "$root/cmake/wine-run.sh" "$program" "$demo"
fi

# ---- no display: a fresh Xvfb, a screenshot of the main window
helper="$run/wait-main-window.exe"
if [ ! -f "$helper" ] || [ "$root/scripts/wait-main-window.c" -nt "$helper" ]; then
  x86_64-w64-mingw32-gcc -O2 -o "$helper" "$root/scripts/wait-main-window.c"
fi

display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  "$wineserver" -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
set_managed N

"$root/cmake/wine-run.sh" "$program" "$demo" >/dev/null 2>&1 </dev/null &
program_pid=$!
if ! "$root/cmake/wine-run.sh" "$helper" wait "$title" 120 </dev/null; then
  echo "run: the main window did not come up in time; the screenshot shows what there is" >&2
fi
sleep 1
shot="$run/vistrel-screenshot.png"
import -window root "$shot"
"$root/cmake/wine-run.sh" "$helper" close "$title" 30 </dev/null >/dev/null || true
wait "$program_pid" 2>/dev/null || true
program_pid=
echo "$shot"
