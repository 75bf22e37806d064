#!/bin/sh
# The dialogs' test program runs in a Wine prefix of its own, with a drive of
# each kind that disc scanning meets:
#   m:  CD-ROM     the test disc (tests/data/disc) plus a sparse 5,000,000,000-byte BIG.AVI
#   e:  CD-ROM     an empty disc (not even a label file)
#   s:  CD-ROM     a disc of its own ("REREAD") whose files the tests change
#   r:  removable  h:  fixed hard disc  n:  network
# Wine reads its drive table only when its services start, so the server of
# the prefix must be restarted after the table changes. Doing that in the
# shared prefix would kill every other test program running beside this one;
# a prefix of our own keeps the restart private.
#
#   wine-drives.sh setup PREFIX DISC-DATA DRIVES-FOLDER
#   wine-drives.sh cleanup PREFIX
set -u

command=$1
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# The loader and server that make and serve a prefix for programs of both
# kinds where 64-bit Wine is installed, else 32-bit ones.
. "$(dirname "$0")/../../cmake/wine-tools.sh"
export WINELOADER="$WINE_LOADER" WINESERVER="$WINE_SERVER"

# Wine's programs run with no input and their output going nowhere: a
# process left running must not hold CTest's output pipe open.
wine_quiet() {
  "$WINELOADER" "$@" >/dev/null 2>&1 </dev/null
}

case "$command" in
  cleanup)
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    exit 0 ;;
  setup) ;;
  *)
    echo "usage: $0 setup PREFIX DISC-DATA DRIVES-FOLDER | cleanup PREFIX" >&2
    exit 2 ;;
esac
data=$3
drives=$4

# A server that an earlier run left behind goes first, and is waited for:
# Wine's programs started next must not meet it still ending.
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1

# The prefix is made once per build folder; later runs only redo the drives.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine_quiet wineboot -i || { echo "wine-drives: cannot make $WINEPREFIX" >&2; exit 1; }
  # Without a window manager, unmanaged windows don't wait for one.
  wine_quiet reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || exit 1
fi

rm -rf "$drives"
mkdir -p "$drives"
cp -R "$data" "$drives/cdrom" || exit 1
truncate -s 5000000000 "$drives/cdrom/BIG.AVI" || exit 1
mkdir -p "$drives/empty" "$drives/removable" "$drives/fixed" "$drives/network" "$drives/reread"
printf 'REREAD' > "$drives/reread/.windows-label"
printf '5eed0042' > "$drives/reread/.windows-serial"
printf 'CARD' > "$drives/removable/.windows-label"
printf 'Data' > "$drives/fixed/.windows-label"
printf '0badcafe' > "$drives/fixed/.windows-serial"
printf 'Share' > "$drives/network/.windows-label"
printf '12345678' > "$drives/network/.windows-serial"

for drive in m:cdrom:cdrom e:cdrom:empty s:cdrom:reread r:floppy:removable h:hd:fixed n:network:network; do
  letter=${drive%%:*}
  rest=${drive#*:}
  kind=${rest%%:*}
  folder=${rest#*:}
  ln -sfn "$drives/$folder" "$WINEPREFIX/dosdevices/$letter:" || exit 1
  wine_quiet reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$kind" /f || exit 1
done

# Let the server end, which writes the registry, then start it again with
# Wine's services for the tests; it stays until cleanup.
"$WINESERVER" -w
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
wine_quiet wineboot
exit 0
