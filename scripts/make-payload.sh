#!/bin/sh
# Packs the installer's payload with Info-ZIP's zip:
#   make-payload.sh OUT.zip STAGE MEMBER=SOURCE...
# Each SOURCE is copied to STAGE/MEMBER; the empty folders "scripts",
# "template-script/bigfile" and "template-script/files" are added. Every
# member is deflated but the tool and its manual, which are stored.
set -eu
out=$1
stage=$2
shift 2
rm -rf "$stage" "$out"
mkdir -p "$stage/scripts" "$stage/template-script/bigfile" "$stage/template-script/files" "$stage/plugins"
for pair in "$@"; do
    member=${pair%%=*}
    source=${pair#*=}
    mkdir -p "$stage/$(dirname "$member")"
    cp "$source" "$stage/$member"
done
cd "$stage"
stored=""
for name in plugins/vidscan.exe plugins/vidscan.txt; do
    [ -f "$name" ] && stored="$stored $name"
done
# Everything else first, deflated; then the stored members.
find . -mindepth 1 | sed 's|^\./||' | sort | grep -v -x -e plugins/vidscan.exe -e plugins/vidscan.txt \
    | zip -q -X -9 "$out" -@
if [ -n "$stored" ]; then
    # shellcheck disable=SC2086
    zip -q -X -0 "$out" $stored
fi
