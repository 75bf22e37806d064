#!/bin/sh
# The help file lists every topic the program opens, and each page is
# well-formed HTML: check_help.sh HELP.chm PAGES_FOLDER
set -eu
chm=$1
pages=$2
listing=$(chmls "$chm")
status=0
for page in $(cd "$pages" && find . -name '*.html' | sed 's|^\./||'); do
    echo "$listing" | grep -q " /$page\$" || { echo "missing from the help file: $page"; status=1; }
    xmllint --html --noout "$pages/$page" || status=1
done
for topic in index.html dialog/add_cdrom_dvd_dialog.html dialog/import_dialog.html dialog/export_2_2_1.html; do
    echo "$listing" | grep -q " /$topic\$" || { echo "missing topic: $topic"; status=1; }
done
exit $status
