#!/bin/bash
# Writes the delimited text files under tests/data/import that the import
# tests read, with python3's csv module: ";" with '"' quoting (fields that
# hold ";" and doubled quotes), "," and tab dialects, CR LF, LF and CR line
# ends, empty lines between rows, long lines, an open string on the first
# line, the same accented titles in UTF-8 with and without a byte-order mark
# and in Windows-1252, and id fields of every kind. The files are committed;
# run this only to make them again. They also seed the import fuzz target.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/tests/data/import"
corpus="$root/tests/fuzz/corpus/fuzz_import"
mkdir -p "$out" "$corpus"

python3 - "$out" <<'PY'
import csv, io, sys
out = sys.argv[1]

def write(name, rows, encoding="ascii", bom=False, blank_lines=False, **dialect):
    text = io.StringIO()
    writer = csv.writer(text, **dialect)
    for row in rows:
        writer.writerow(row)
        if blank_lines:
            text.write(dialect.get("lineterminator", "\r\n") * 2)
    data = text.getvalue().encode(encoding)
    if bom:
        data = b"\xef\xbb\xbf" + data
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)

movies = [
    ["1", "Alien", "Horror", "A classic", "http://example.invalid/title/tt0078748/"],
    ["2", "Dinner; with friends", "Drama", 'She said "no"', ""],
    ["3", "The Thing", "Horror", "", "http://example.invalid/title/tt0084787/"],
]
write("semicolon.txt", movies, delimiter=";", quotechar='"', lineterminator="\r\n", blank_lines=True)
write("comma.txt", movies, delimiter=",", quotechar='"', lineterminator="\n")
write("tab.txt", movies, delimiter="\t", quotechar='"', lineterminator="\r")

long_title = "A" * 200
huge_comment = "x" * 70000
write("long.txt", [["10", long_title, "Drama", "short"], ["11", "Huge", "Drama", huge_comment]],
      delimiter=";", lineterminator="\r\n")

write("open_string.txt", [["1", "Broken\ntitle", "Drama"], ["2", "Fine", "Drama"]],
      delimiter=";", lineterminator="\r\n")

accented = [["1", "Amélie", "Comedy"], ["2", "Léon", "Thriller"]]
write("utf8.txt", accented, encoding="utf-8", delimiter=";", lineterminator="\r\n")
write("utf8_bom.txt", accented, encoding="utf-8", bom=True, delimiter=";", lineterminator="\r\n")
write("cp1252.txt", accented, encoding="cp1252", delimiter=";", lineterminator="\r\n")

ids = [["", "Empty id"], ["abc", "Letters"], ["-3", "Negative"], ["0", "Zero"],
       ["123456789012", "Twelve digits"], [" 42 ", "Padded"]]
write("ids.txt", ids, delimiter=";", lineterminator="\n")

# The sample line is the one with the most filled fields, here the third.
write("sample.txt", [["1", "Short"], ["2", "", ""], ["3", "Full", "Drama", "Note"]],
      delimiter=";", lineterminator="\r\n")
PY

find "$out" -name "*.txt" -size -4k -exec cp {} "$corpus"/ \;
ls -l "$out"
