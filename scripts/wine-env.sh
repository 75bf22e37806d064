# Sourced by the scripts that run Windows programs: starts a private Xvfb
# display and a persistent wineserver in the build's own Wine prefix.

wine_env_start() {
  local build="$1"
  export VISTREL_WINEPREFIX="$build/wineprefix"
  export WINEPREFIX="$VISTREL_WINEPREFIX"
  export WINEDEBUG="${WINEDEBUG:--all}"   # quiet unless the caller asks
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  # The prefix is made and served by 64-bit Wine where it is installed: it
  # runs the 32-bit test programs too (cmake/wine-tools.sh).
  . "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-tools.sh"
  export WINELOADER="$WINE_LOADER"
  export WINESERVER="$WINE_SERVER"

  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_ENV_XVFB=$!
  export DISPLAY=":$n"
  # Wait for the display to answer (a loaded machine may take a while).
  local waited=0
  until xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; do
    if [ "$waited" -ge 600 ] || ! kill -0 "$WINE_ENV_XVFB" 2>/dev/null; then
      echo "wine-env.sh: the display $DISPLAY did not start" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done

  wine_prefix_up "$WINEPREFIX"
}

# Makes the prefix if it is new and starts its persistent server.
wine_prefix_up() {
  local WINEPREFIX="$1"
  export WINEPREFIX
  # Wine's first start in a new prefix takes several seconds: do it once.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits for one each time a window is
    # hidden; unmanaged windows draw their own captions and don't wait.
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINESERVER" -w
  fi
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  # Start Wine's own services now, with their output going nowhere: started
  # by the first test instead, they would inherit its output pipe and keep
  # CTest waiting for it to close.
  "$WINELOADER" wineboot >/dev/null 2>&1 </dev/null
}

# A second prefix for the 32-bit test programs (cmake/wine-run.sh takes it
# for them): they run beside the 64-bit ones, whose files in the temporary
# folder and settings in the registry they must not meet.
wine_env_add_prefix32() {
  export VISTREL_WINEPREFIX32="$1"
  wine_prefix_up "$VISTREL_WINEPREFIX32"
}

wine_env_stop() {
  # Wait for each server's end: the next start must not meet it still ending.
  local prefix
  for prefix in "$VISTREL_WINEPREFIX" ${VISTREL_WINEPREFIX32:+"$VISTREL_WINEPREFIX32"}; do
    WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1
    WINEPREFIX="$prefix" "$WINESERVER" -w >/dev/null 2>&1
  done
  [ -n "${WINE_ENV_XVFB:-}" ] && kill "$WINE_ENV_XVFB" 2>/dev/null
  return 0
}
