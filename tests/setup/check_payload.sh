#!/bin/sh
# The installer's payload of each build, member for member: names and
# folders, the tool and its manual stored, every other file deflated; and
# the whole archive tested.
# Usage: check_payload.sh <build folder>...
expected="plugins/ folder
plugins/dvdtitles.dll deflated
plugins/mediadetect.dll deflated
plugins/streamheader.dll deflated
plugins/toolbridge.dll deflated
plugins/vidscan.exe stored
plugins/vidscan.txt stored
scripts/ folder
template-script/ folder
template-script/big.vsc deflated
template-script/bigfile/ folder
template-script/files/ folder
template-script/readme.txt deflated
template-script/small.vsc deflated
vistrel.chm deflated
vistrel.exe deflated"
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n' "$expected" > "$work/expected"
for build in "$@"; do
    zip=$build/setup/payload.zip
    if ! unzip -tqq "$zip"; then
        status=1
        continue
    fi
    # zipinfo's long lines: permissions, version, system, size, type, method,
    # date, time, name.
    members=$(unzip -Z "$zip" | awk '/^[-d]/ {
        kind = $9 ~ /\/$/ ? "folder" : $6 == "stor" ? "stored" : $6 ~ /^def/ ? "deflated" : $6
        print $9, kind }' | LC_ALL=C sort)
    if ! printf '%s\n' "$members" | diff "$work/expected" - >"$work/diff"; then
        echo "$zip differs from the payload's list (<: missing, >: not listed):"
        cat "$work/diff"
        status=1
    fi
done
[ $status = 0 ] && echo "payload as listed in every build"
exit $status
