#!/bin/sh
# Compares the outputs that compare_dump wrote in each build of the test run
# with those of the first build: every file must be there, byte for byte.
#
#   compare.sh [-s LABEL REASON]... LABEL=FOLDER LABEL=FOLDER...
#
# -s names a build that this run leaves out, and why.
status=0
while [ "${1:-}" = -s ]; do
    echo "compare: $2 skipped: $3"
    shift 3
done
if [ $# -lt 2 ]; then
    echo "usage: $0 [-s LABEL REASON]... LABEL=FOLDER LABEL=FOLDER..." >&2
    exit 2
fi
first=${1%%=*}
reference=${1#*=}
shift
files=$(cd "$reference" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
if [ -z "$files" ]; then
    echo "compare: $first wrote nothing in $reference"
    exit 1
fi
for build in "$@"; do
    label=${build%%=*}
    folder=${build#*=}
    differing=0
    others=$(cd "$folder" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
    for file in $(printf '%s\n%s\n' "$files" "$others" | sort -u); do
        if [ ! -f "$reference/$file" ] || [ ! -f "$folder/$file" ]; then
            echo "compare: $file: written by only one of $first and $label"
        elif ! cmp -s "$reference/$file" "$folder/$file"; then
            case "$file" in
                *.bmp) echo "compare: $file: $label's picture differs from $first's in" \
                            "$(cmp -l "$reference/$file" "$folder/$file" | wc -l) bytes" ;;
                *) echo "compare: $file: $label's text differs from $first's:"
                   diff "$reference/$file" "$folder/$file" | head -12 | sed 's/^/  /' ;;
            esac
        else
            continue
        fi
        differing=$((differing + 1))
    done
    count=$(printf '%s\n' "$files" | wc -l)
    if [ "$differing" = 0 ]; then
        echo "compare: $label matches $first in all $count files"
    else
        echo "compare: $label differs from $first in $differing of $count files"
        status=1
    fi
done
exit $status
