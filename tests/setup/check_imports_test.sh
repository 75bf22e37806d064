#!/bin/sh
# The import check itself: build folders laid out as the test command's, made
# of small 32-bit files that the i686 compiler builds here, pass with imports
# that Windows XP has and fail, naming the function, with one Windows Vista
# import planted in a deliverable or only in a program of the payload.
# Usage: check_imports_test.sh <i686 objdump> <i686 C compiler>
objdump=$1
cc=$2
check=$(cd "$(dirname "$0")" && pwd)/check_imports.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# A DLL that imports GetTickCount, or in its place GetTickCount64 (not on XP).
for kind in xp vista; do
    if [ $kind = xp ]; then call=GetTickCount; type=DWORD; else call=GetTickCount64; type=ULONGLONG; fi
    printf '#include <windows.h>\n__declspec(dllimport) %s WINAPI %s(void);\n%s __declspec(dllexport) Ticks(void) { return %s(); }\n' \
        "$type" "$call" "$type" "$call" > "$work/$kind.c"
    "$cc" -shared -O2 -o "$work/$kind.dll" "$work/$kind.c" || { echo "cannot build the $kind DLL"; exit 1; }
done

# make_build <folder> <file of the deliverables> <file of the payload's plug-in>
make_build() {
    for file in setup/setup-vistrel.exe app/vistrel.exe plugins/dvdtitles.dll plugins/mediadetect.dll \
                plugins/streamheader.dll plugins/toolbridge/toolbridge.dll tools/vidscan/vidscan.exe; do
        mkdir -p "$(dirname "$1/$file")"
        cp "$2" "$1/$file"
    done
    mkdir -p "$1/payload/plugins"
    cp "$2" "$1/payload/vistrel.exe"
    cp "$3" "$1/payload/plugins/streamheader.dll"
    (cd "$1/payload" && zip -qr "$1/setup/payload.zip" .)
}

# expect <what> <expected status: 0 or 1> <output that must be there> <build folder>
expect() {
    output=$(sh "$check" "$objdump" "$4" 2>&1)
    got=$?
    [ $got -gt 1 ] && got=1
    if [ $got != "$2" ] || ! printf '%s\n' "$output" | grep -qF "$3"; then
        echo "FAILED: $1: status $got, expected $2 with \"$3\"; the check said:"
        printf '%s\n' "$output" | sed 's/^/  /'
        status=1
    else
        echo "ok: $1"
    fi
}

make_build "$work/clean" "$work/xp.dll" "$work/xp.dll"
make_build "$work/deliverable" "$work/vista.dll" "$work/xp.dll"
make_build "$work/payload-only" "$work/xp.dll" "$work/vista.dll"
expect "XP imports pass" 0 "7 deliverables and 2 programs and DLLs of the payload read; 9 32-bit files" "$work/clean"
expect "a Vista import in a deliverable fails" 1 \
    "$work/deliverable/app/vistrel.exe imports GetTickCount64 from kernel32.dll, which Windows XP SP3's kernel32.dll does not export (it came with Windows Vista)" \
    "$work/deliverable"
expect "a Vista import only in the payload fails" 1 \
    "payload: plugins/streamheader.dll imports GetTickCount64 from kernel32.dll" "$work/payload-only"
exit $status
