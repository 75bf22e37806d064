#!/bin/bash
# Writes the example export scripts the installer carries in its folder
# "template-script": big.vsc (a three-part script: one HTML table of every
# movie with its cover), small.vsc (one HTML page per movie) and readme.txt.
# Lines end in CR LF; the parts of big.vsc are separated by the bytes
# FF 01, FF 02 and FF 03. The files are committed; run this only to make
# them again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources/scripts/template-script"
mkdir -p "$out"
crlf() { sed 's/$/\r/'; }

style='<style type="text/css">
body { font-family: Verdana, Arial, sans-serif; font-size: 10pt; color: #202020; background: #f4f1ea; }
h1 { color: #1d3f8f; }
table.list { border-collapse: collapse; }
table.list th { background: #1d3f8f; color: #ffffff; text-align: left; padding: 4px 8px; }
table.list td { border-bottom: 1px solid #c8c0b0; padding: 4px 8px; vertical-align: top; }
</style>'

# ---- big.vsc: head, body (one row per movie), foot
{
  printf '\377\001'
  crlf <<EOF
<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>My movies</title>
$style
</head>
<body>
<h1>My movies</h1>
<p>%nr_of_movies movies, exported on %date_year-%date_month-%date_day.</p>
<table class="list">
<tr><th>#</th><th>Cover</th><th>Title</th><th>Year</th><th>Genre</th><th>Director</th><th>Rating</th><th>Length</th></tr>
EOF
  printf '\377\002'
  crlf <<'EOF'
<tr><td>%movie_number</td><td><img src="%movie_cover_file" width="62" height="87" alt=""></td><td><b>%movie_name</b><br><i>%movie_tagline</i></td><td>%movie_year</td><td>%movie_genre</td><td>%movie_director</td><td>%movie_rate2.1</td><td>%movie_length_only_min min</td></tr>
EOF
  printf '\377\003'
  crlf <<'EOF'
</table>
<p>Made with Vistrel.</p>
</body>
</html>
EOF
} > "$out/big.vsc"

# ---- small.vsc: one page per movie
crlf > "$out/small.vsc" <<EOF
<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>%movie_name</title>
$style
</head>
<body>
<h1>%movie_name (%movie_year)</h1>
<table>
<tr><td><img src="%movie_cover_file" alt=""></td>
<td>
<p><i>%movie_tagline</i></p>
<p>%movie_plot</p>
<table class="list">
<tr><th>Genre</th><td>%movie_genre</td></tr>
<tr><th>Director</th><td>%movie_director</td></tr>
<tr><th>Country</th><td>%movie_country</td></tr>
<tr><th>Rating</th><td>%movie_rate2.1</td></tr>
<tr><th>Length</th><td>%movie_length_only_min min</td></tr>
<tr><th>Actors</th><td>%movie_actor1_name (%movie_actor1_char)<br>%movie_actor2_name (%movie_actor2_char)<br>%movie_actor3_name (%movie_actor3_char)</td></tr>
<tr><th>Video</th><td>%movie_video_comp, %movie_width x %movie_height</td></tr>
<tr><th>Audio</th><td>%movie_audio_comp, %movie_audio_channels channels</td></tr>
<tr><th>Files</th><td>%movie_nr_of_files</td></tr>
<tr><th>Seen</th><td>%movie_have_seen_it</td></tr>
<tr><th>Lent to</th><td>%movie_is_borrowed_by</td></tr>
</table>
</td></tr>
</table>
<p>Movie %movie_number of %nr_of_movies.</p>
</body>
</html>
EOF

# ---- readme.txt
crlf > "$out/readme.txt" <<'EOF'
Vistrel example export scripts
==============================

big.vsc    A script for "Export to one big file for all movies.": one HTML
           page with a table of every movie and its cover. Load it on the
           "Edit scripts for big list" page with "Load scripts".

small.vsc  A script for "Export one file for each movie.": one HTML page per
           movie with its cover, plot, cast and technical data. Load it on
           the "Enter export script for small files" page with "Load script".

Export the big list into the folder "bigfile" and the small files into the
folder "files", each with its covers in the same folder or in a folder of
their own; the scripts link the covers wherever they were written.

Tokens such as %movie_name are shown in red in the script editor; the help
file lists them all.
EOF
