#!/bin/sh
# Reads the import table of every deliverable of each build, and of every
# program and DLL in its installer's payload: each DLL imported must be part
# of Windows as it comes (from XP on) or be shipped beside the importer.
# Usage: check_imports.sh <objdump> <build folder>...
objdump=$1
shift
windows=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll comctl32.dll comdlg32.dll
 ole32.dll oleaut32.dll ws2_32.dll msvcrt.dll msacm32.dll msvfw32.dll winspool.drv "
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check <file> <shown name> <folder of the files shipped beside it, or "">
check() {
    if ! table=$("$objdump" -p "$1" 2>&1); then
        echo "$2: not readable: $table"
        status=1
        return
    fi
    for dll in $(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        case "$windows" in *[[:space:]]"$dll"[[:space:]]*) continue ;; esac
        if [ -n "$3" ] && ls "$3" | tr 'A-Z' 'a-z' | grep -qxF "$dll"; then
            continue
        fi
        echo "$2 imports $dll, neither part of Windows nor shipped beside it"
        status=1
    done
}

for build in "$@"; do
    payload=$work/$(basename "$build")
    if ! unzip -qo "$build/setup/payload.zip" -d "$payload"; then
        echo "$build: no payload to read"
        status=1
        continue
    fi
    # The installer stands alone; the others are installed from the payload.
    check "$build/setup/setup-vistrel.exe" "$build/setup/setup-vistrel.exe" ""
    check "$build/app/vistrel.exe" "$build/app/vistrel.exe" "$payload"
    for file in plugins/dvdtitles.dll plugins/mediadetect.dll plugins/streamheader.dll \
                plugins/toolbridge/toolbridge.dll tools/vidscan/vidscan.exe; do
        check "$build/$file" "$build/$file" "$payload/plugins"
    done
    count=0
    for file in $(cd "$payload" && find . -type f | sed 's|^\./||'); do
        [ "$(head -c 2 "$payload/$file")" = MZ ] || continue
        check "$payload/$file" "$build payload: $file" "$(dirname "$payload/$file")"
        count=$((count + 1))
    done
    echo "$build: 7 deliverables and $count programs and DLLs of the payload read"
done
exit $status
