#!/bin/bash
# Makes the media files that the identifier tool and the tool bridge are
# tested on, with ffmpeg (bit-exact, no varying metadata) and vcdimager, and
# beside each the answer of ffprobe that the tests compare against. The
# files under tests/data/vidscan are committed; run this only to make them
# again. The expected reports "*.report" are written by hand from ffprobe's
# answers.
#
#   make-vidscan-fixtures.sh           the committed fixtures
#   make-vidscan-fixtures.sh --bench D about 200 varied files in D for the
#                                      benchmark (not committed)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"

ff() {
  ffmpeg -v error -nostdin -y "$@"
}
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)

# ffprobe's answer beside the file, with the file named as in the folder.
probe() {
  ffprobe -v error -show_streams -show_format -of json "$1" > "$1.json"
}

# A test picture and a tone of the given length in seconds.
video_in() {
  echo -f lavfi -i "testsrc=size=$1:rate=$2:duration=$3"
}
audio_in() {
  echo -f lavfi -i "sine=frequency=440:sample_rate=$1:duration=$2"
}

if [ "${1:-}" = --bench ]; then
  out="$2"
  mkdir -p "$out"
  cd "$out"
  n=0
  # Ten sizes (multiples of 16, as RealVideo needs), two frame rates and two
  # sample rates, in each of five containers the tool reads: 200 files.
  for size in 160x128 176x144 192x144 208x160 224x176 240x176 256x192 272x208 288x224 320x240; do
    for rate in 25 30; do
      for rateAudio in 22050 44100; do
        n=$((n + 1))
        d=$((1 + n % 3))
        # shellcheck disable=SC2046
        ff $(video_in $size $rate $d) $(audio_in $rateAudio $d) -c:v mpeg4 -vtag XVID -b:v 200k \
          -c:a libmp3lame -b:a 64k "${bitexact[@]}" b$n.avi
        ff $(video_in $size $rate $d) $(audio_in $rateAudio $d) -c:v wmv2 -b:v 200k \
          -c:a wmav2 -b:a 64k "${bitexact[@]}" b$n.wmv
        ff $(video_in $size $rate $d) $(audio_in $rateAudio $d) -c:v mpeg4 -b:v 200k \
          -c:a pcm_s16be "${bitexact[@]}" b$n.mov
        ff $(video_in $size $rate $d) $(audio_in $rateAudio $d) -c:v mpeg1video -b:v 300k \
          -maxrate 300k -bufsize 480k -c:a mp2 -b:a 64k -f mpeg -v quiet "${bitexact[@]}" b$n.mpg
        ff $(video_in $size $rate $d) $(audio_in 8000 $d) -ac 1 -c:v rv10 -b:v 200k \
          -c:a real_144 "${bitexact[@]}" b$n.rm
      done
    done
  done
  ls | wc -l
  exit 0
fi

data="$root/tests/data/vidscan"
# The reports "*.report" beside the files are written by hand and stay.
mkdir -p "$data"
find "$data" -type f ! -name '*.report' -delete
cd "$data"

# AVI: MPEG-4 tagged XVID with MP3; MS-MPEG-4 v3 tagged DIV3 with PCM;
# Motion JPEG only; PCM only.
# shellcheck disable=SC2046
ff $(video_in 160x120 25 4) $(audio_in 44100 4) -c:v mpeg4 -vtag XVID -b:v 100k \
  -c:a libmp3lame -b:a 64k -ac 2 "${bitexact[@]}" xvid_mp3.avi
# shellcheck disable=SC2046
ff $(video_in 176x144 25 3) $(audio_in 22050 3) -c:v msmpeg4 -vtag DIV3 -b:v 100k \
  -c:a pcm_s16le -ac 1 "${bitexact[@]}" div3_pcm.avi
# shellcheck disable=SC2046
ff $(video_in 128x96 10 3) -c:v mjpeg -q:v 10 "${bitexact[@]}" mjpeg.avi
# shellcheck disable=SC2046
ff $(audio_in 8000 5) -c:a pcm_u8 "${bitexact[@]}" pcm.avi

# ASF: Windows Media video and audio with a content description whose
# title is not all ASCII. (This ffmpeg leaves the description text empty
# whatever it is given, so the rating stands in as the fourth text.)
# shellcheck disable=SC2046
ff $(video_in 160x120 25 4) $(audio_in 22050 4) -c:v wmv2 -b:v 100k -c:a wmav2 -b:a 32k \
  "${bitexact[@]}" -metadata title="Café Noir" -metadata author="Jane Doe" \
  -metadata copyright="(c) 2003 Example Films" -metadata rating="Family" \
  described.wmv

# QuickTime: the movie atom after the media data, and before it.
# shellcheck disable=SC2046
ff $(video_in 160x120 25 4) $(audio_in 11025 4) -c:v mpeg4 -b:v 100k -c:a pcm_s16be -ac 2 \
  "${bitexact[@]}" moov_last.mov
# shellcheck disable=SC2046
ff $(video_in 160x120 30 3) $(audio_in 11025 3) -c:v mpeg4 -b:v 100k -c:a pcm_s16be -ac 1 \
  -movflags +faststart "${bitexact[@]}" faststart.mov
# Compressed and high-rate sound, whose sample counts are packets or whose
# 16.16 rate field cannot hold the rate: AAC in an ISO MP4 with MPEG-4
# video and alone in an M4A at 96 kHz (the rate field is 0 there), IMA4 at
# 16 kHz and 96 kHz PCM (a version 2 sound description) in QuickTime.
# shellcheck disable=SC2046
ff $(video_in 64x48 25 0.4) $(audio_in 48000 0.4) -c:v mpeg4 -b:v 50k -c:a aac -b:a 32k -ac 2 \
  "${bitexact[@]}" aac.mp4
# shellcheck disable=SC2046
ff $(audio_in 96000 0.1) -c:a aac -b:a 32k -ac 2 "${bitexact[@]}" aac96.m4a
# shellcheck disable=SC2046
ff $(video_in 64x48 25 0.4) $(audio_in 16000 0.4) -c:v mpeg4 -b:v 50k -c:a adpcm_ima_qt \
  "${bitexact[@]}" ima4.mov
# shellcheck disable=SC2046
ff $(audio_in 96000 0.05) -c:a pcm_s16le "${bitexact[@]}" lpcm96.mov

# RealMedia: RealVideo 1.0 with RealAudio 1.0.
# shellcheck disable=SC2046
ff $(video_in 176x144 25 4) $(audio_in 8000 4) -ac 1 -c:v rv10 -b:v 100k -c:a real_144 \
  "${bitexact[@]}" rv10.rm

# MPEG: a VCD system stream, a DVD program stream, an elementary video
# stream, a system stream with 24 kHz MP2 audio, and two system streams of
# unequal mux rates joined (the second's clocks go on from the first's end).
# A maximum rate keeps ffmpeg from writing a mux rate hundreds of times
# the real one.
# shellcheck disable=SC2046
ff $(video_in 352x288 25 1) $(audio_in 44100 1) -target pal-vcd "${bitexact[@]}" vcd.mpg
# shellcheck disable=SC2046
ff $(video_in 176x144 25 3) $(audio_in 48000 3) -c:v mpeg2video -b:v 300k -maxrate 300k \
  -bufsize 480k -c:a mp2 -b:a 128k -f dvd "${bitexact[@]}" dvd.mpg
# shellcheck disable=SC2046
ff $(video_in 160x120 25 3) -c:v mpeg1video -b:v 200k -f mpeg1video "${bitexact[@]}" video.m1v
# shellcheck disable=SC2046
ff $(video_in 160x120 25 3) $(audio_in 24000 3) -c:v mpeg1video -b:v 200k -maxrate 200k \
  -bufsize 320k -c:a mp2 -b:a 64k -ac 1 -f mpeg "${bitexact[@]}" lsf_mp2.mpg
# MPEG-4 Part 2 video in an MPEG-1 system stream: its group-of-VOP headers
# begin with the sequence header's code 00 00 01 B3.
# shellcheck disable=SC2046
ff -f lavfi -i smptebars=size=352x288:rate=25:duration=1 $(audio_in 44100 1) -c:v mpeg4 \
  -b:v 100k -c:a mp2 -b:a 64k -f mpeg "${bitexact[@]}" mpeg4.mpg
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# shellcheck disable=SC2046
ff $(video_in 160x120 25 3) $(audio_in 44100 3) -c:v mpeg1video -b:v 300k -c:a mp2 -b:a 64k \
  -muxrate 100000 -f mpeg -v quiet "${bitexact[@]}" "$tmp/a.mpg"
# shellcheck disable=SC2046
ff $(video_in 160x120 25 3) $(audio_in 44100 3) -c:v mpeg1video -b:v 300k -c:a mp2 -b:a 64k \
  -timecode 00:00:03:00 -output_ts_offset 3 -muxrate 2000000 -f mpeg "${bitexact[@]}" "$tmp/b.mpg"
cat "$tmp/a.mpg" "$tmp/b.mpg" > joined.mpg

# A VCD's track file as the system shows it: a RIFF CDXA header, then the
# file's raw 2352-byte sectors, found through the ISO 9660 directory of an
# image that vcdimager makes.
(cd "$tmp" && vcdimager -t vcd2 -c vcd.cue -b vcd.bin "$data/vcd.mpg" >/dev/null 2>&1)
python3 - "$tmp/vcd.bin" AVSEQ01.DAT <<'EOF'
import struct, sys
image, out = sys.argv[1:3]
raw = open(image, "rb").read()
def sector(n):  # the 2048 user bytes of a mode 2 form 1 sector
    return raw[n * 2352 + 24:n * 2352 + 24 + 2048]
def entries(record):  # name -> directory record, for a directory's records
    lba, size = struct.unpack("<I", record[2:6])[0], struct.unpack("<I", record[10:14])[0]
    found = {}
    for n in range((size + 2047) // 2048):
        block, i = sector(lba + n), 0
        while i < 2048 and block[i]:
            rec = block[i:i + block[i]]
            found[rec[33:33 + rec[32]]] = rec
            i += block[i]
    return found
folder = entries(sector(16)[156:190])[b"MPEGAV"]
track = entries(folder)[b"AVSEQ01.DAT;1"]
first, length = struct.unpack("<I", track[2:6])[0], struct.unpack("<I", track[10:14])[0]
data = raw[first * 2352:(first + (length + 2047) // 2048) * 2352]
fmt = struct.pack("<HHH2sB5s", 0, 0, 0x5511, b"XA", 1, b"\0" * 5)
header = b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"CDXA"
header += b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data))
open(out, "wb").write(header + data)
EOF

# Texts: plain, with one byte 127, and an empty file.
printf 'A plain text file.\r\n\tWith a tab, and a second line.\n' > text.txt
printf 'Almost plain text \177 with one DEL byte.\n' > del.txt
: > empty.dat

for f in *.avi *.wmv *.mov *.mp4 *.m4a *.rm *.mpg *.m1v AVSEQ01.DAT; do
  probe "$f"
done
ls -l "$data"
