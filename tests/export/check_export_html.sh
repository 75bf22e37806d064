#!/bin/sh
# Checks the demo catalogue's exported big list: well-formed HTML to xmllint
# and python3's parser, fifty table rows whose pictures are all there, and a
# page that a headless browser paints as more than a blank:
#   check_export_html.sh EXPORT_FOLDER   (with list/movies.html and covers/)
set -eu
dir=$(cd "$1" && pwd)
page=$dir/list/movies.html
xmllint --html --noout "$page"
python3 - "$page" <<'PY'
import html.parser, os, sys
page = sys.argv[1]
class Page(html.parser.HTMLParser):
    rows = 0
    images = []
    def handle_starttag(self, tag, attrs):
        if tag == "img":
            self.images.append(dict(attrs)["src"])
        if tag == "td" and self.first_cell:
            self.rows += 1
            self.first_cell = False
        if tag == "tr":
            self.first_cell = True
    first_cell = False
parser = Page()
parser.feed(open(page, encoding="latin-1").read())
parser.close()
folder = os.path.dirname(page)
missing = [src for src in parser.images if not os.path.isfile(os.path.join(folder, src))]
if parser.rows != 50 or len(parser.images) != 50 or missing:
    sys.exit("rows %d, images %d, missing %s" % (parser.rows, len(parser.images), missing))
PY
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium is not installed (scripts/bootstrap.sh installs it)"; exit 1; }
shot=$dir/movies.png
rm -f "$shot"
home=$(mktemp -d)
HOME=$home timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --window-size=1024,1400 --screenshot="$shot" "file://$page" >/dev/null 2>&1
rm -rf "$home"
[ -s "$shot" ] || { echo "no screenshot"; exit 1; }
colours=$(convert "$shot" -format '%k' info:)
[ "$colours" -gt 50 ] || { echo "the page looks blank ($colours colours)"; exit 1; }
echo "export page: $shot ($colours colours)"
