#!/bin/bash
# Makes the test disc under tests/data/disc that the dialogs' tests map as a
# CD-ROM drive: a tiny real AVI made with ffmpeg, empty files whose names the
# disc search must take or pass over, in nested folders, and the volume label
# and serial number that Wine reports for the drive. The files are committed;
# run this only to make them again. The 5,000,000,000-byte file is not here:
# the tests make it as a sparse file when they map the drive.
set -euo pipefail

disc="$(cd "$(dirname "$0")/.." && pwd)/tests/data/disc"
rm -rf "$disc"
mkdir -p "$disc"
cd "$disc"

# One 16x16 frame, Motion JPEG in an AVI container, without varying metadata.
ffmpeg -v error -f lavfi -i color=c=navy:s=16x16:r=1 -frames:v 1 -c:v mjpeg \
  -fflags +bitexact -flags:v +bitexact -f avi -y MOVIE.AVI

printf 'THE_MATRIX' > .windows-label
printf '1a2b3c4d' > .windows-serial

# Taken: the six extensions in any case and a DVD's first title set.
mkdir -p VIDEO_TS Extras/dvd "Series/Season 1" MPEGAV
touch VIDEO_TS/VTS_01_0.IFO Extras/dvd/vts_01_0.ifo \
  "Series/Season 1/Show cd1.mpg" "Series/Season 1/Show cd2.MPEG" \
  MPEGAV/AVSEQ01.DAT Clip.DivX trailer.asf
# Passed over: other extensions, no extension, other DVD files, hidden names.
touch MOVIE.AVI.TXT README VIDEO_TS/VTS_01_0.BUP VIDEO_TS/VTS_01_1.VOB \
  VIDEO_TS/VIDEO_TS.IFO .hidden.avi
ls -lAR "$disc"
