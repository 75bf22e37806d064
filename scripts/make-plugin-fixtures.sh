#!/bin/bash
# Makes the media files that the format plug-ins' tests read:
#   tests/data/mpeg  MPEG-1 and MPEG-2 streams from ffmpeg (VCD, SVCD and DVD
#                    targets, elementary .m1v and .m2v), copies patched to the
#                    picture rate codes 9 and 0 and one with a zero byte in
#                    front of its first sequence header, and the CD track
#                    files AVSEQ01.DAT (VCD) and MPEG2/AVSEQ01.MPG (SVCD) cut
#                    from vcdimager images with their RIFF CDXA header;
#                    ffprobe's answer beside each file (NAME.json); MPEG-4
#                    video in an AVI and an MP4, which are not MPEG-1/2;
#                    two frames of MPEG-2 at 4096x2160 (uhd.m2v), whose
#                    width lives in the sequence extension; a 352x240
#                    29.97 fps stream behind a sequence header cut after 2
#                    and after 4 bytes (cut2.m1v, cut4.m1v); system and
#                    program streams of tiny packets whose only sequence
#                    header is split between two packets (split.mpg with
#                    an audio packet between them, split_ps.mpg with a
#                    pack header).
#   tests/data/avi   two AVIs whose ffprobe answers (NAME.json) give the
#                    values of the DirectShow plug-in's stand-in media types:
#                    MPEG-4 tagged "xvid" 640x480 with MP3, MS-MPEG-4 v3
#                    tagged DIV3 352x288 with PCM.
#   tests/data/dvd   a DVD-Video folder from dvdauthor: title set 1 with
#                    German audio, an English subpicture and a second chain
#                    whose pre-command jumps away (longer than title set 2,
#                    which wins only when that chain is skipped); title set 2
#                    twice as long as the first chain of title set 1,
#                    with AC-3 and MP2 audio.
# The files are committed; run this only to make them again.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
mpeg="$root/tests/data/mpeg"
dvd="$root/tests/data/dvd"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
avi="$root/tests/data/avi"
rm -rf "$mpeg" "$dvd" "$avi"
mkdir -p "$mpeg/MPEG2" "$dvd" "$avi"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
probe() { ffprobe -v error -show_streams -show_format -of json "$1" > "$2"; }
# A test picture and a tone, the same for every file.
src() {
  echo -f lavfi -i "testsrc=size=352x288:rate=25:duration=$1" \
       -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$1"
}

ff $(src 1) -target pal-vcd -fflags +bitexact "$mpeg/vcd.mpg"
ff $(src 1) -target pal-svcd -fflags +bitexact "$mpeg/svcd.mpg"
ff $(src 2) -target pal-dvd -s 352x288 -b:v 800k -fflags +bitexact "$mpeg/dvd.mpg"
ff -f lavfi -i testsrc=size=352x288:rate=25:duration=1 -c:v mpeg1video -b:v 1000k \
   -fflags +bitexact -f mpeg1video "$mpeg/video.m1v"
ff -f lavfi -i testsrc=size=720x576:rate=25:duration=1 -c:v mpeg2video -b:v 1500k \
   -fflags +bitexact -f mpeg2video "$mpeg/video.m2v"

# Patched copies: the picture rate code is the low half of the fourth byte
# after the first sequence header code; a leading zero byte gives the search
# the sequence 00 00 00 01 B3.
python3 - "$mpeg" <<'EOF'
import sys
d = sys.argv[1]
data = open(d + "/video.m1v", "rb").read()
at = data.index(b"\x00\x00\x01\xb3") + 4 + 3
for code, name in ((9, "rate9.m1v"), (0, "rate0.m1v")):
    patched = bytearray(data)
    patched[at] = (patched[at] & 0xF0) | code
    open(d + "/" + name, "wb").write(patched)
open(d + "/extrazero.m1v", "wb").write(b"\x00" + data)
EOF

# The width of 4096 reads 0 in the sequence header's 12 bits.
ff -f lavfi -i smptebars=size=4096x2160:rate=24:duration=0.08 -c:v mpeg2video -strict -1 \
   -q:v 31 -fflags +bitexact -f mpeg2video "$mpeg/uhd.m2v"
# One sequence header only (a single group of pictures): a reader that
# misses it has no other.
ntsc="-f lavfi -i testsrc=size=352x240:rate=30000/1001:duration=0.5"
once="-g 300 -b:v 200k"
ff $ntsc $once -c:v mpeg1video -fflags +bitexact -f mpeg1video "$work/ntsc.m1v"
ff $ntsc -f lavfi -i sine=frequency=440:sample_rate=44100:duration=0.5 $once -c:v mpeg1video \
   -c:a mp2 -b:a 64k -ac 1 -fflags +bitexact -f mpeg -packetsize 56 "$mpeg/split.mpg"
ff $ntsc $once -c:v mpeg2video -fflags +bitexact -f vob -packetsize 52 "$mpeg/split_ps.mpg"
# Cut headers in front of the stream: its own first 2 bytes, and 4 bytes
# that read as 720x576 at rate code 3.
python3 - "$work/ntsc.m1v" "$mpeg" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
code = b"\x00\x00\x01\xb3"
open(sys.argv[2] + "/cut2.m1v", "wb").write(code + data[4:6] + data)
open(sys.argv[2] + "/cut4.m1v", "wb").write(code + b"\x2d\x02\x40\x23" + data)
EOF

# CD track files: vcdimager writes a disc image; the MPEG track is the second
# track of its cue sheet, raw 2352-byte sectors, which Windows presents as a
# RIFF CDXA file of those sectors.
cut_track() {  # image.cue image.bin out
  python3 - "$@" <<'EOF'
import re, struct, sys
cue, image, out = sys.argv[1:4]
tracks = []
for line in open(cue):
    m = re.match(r"\s*INDEX 01 (\d+):(\d+):(\d+)", line)
    if m:
        mm, ss, ff = map(int, m.groups())
        tracks.append(((mm * 60 + ss) * 75 + ff) * 2352)
data = open(image, "rb").read()
end = tracks[2] if len(tracks) > 2 else len(data)
sectors = data[tracks[1]:end]
fmt = struct.pack("<HHH2sB5s", 0, 0, 0x1555, b"XA", 1, b"\0" * 5)
riff = b"CDXA" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(sectors))
open(out, "wb").write(b"RIFF" + struct.pack("<I", len(riff) + len(sectors)) + riff + sectors)
EOF
}
(cd "$work" && vcdimager -q -t vcd2 -c vcd.cue -b vcd.bin "$mpeg/vcd.mpg" >/dev/null)
cut_track "$work/vcd.cue" "$work/vcd.bin" "$mpeg/AVSEQ01.DAT"
(cd "$work" && vcdimager -q -t svcd -c svcd.cue -b svcd.bin "$mpeg/svcd.mpg" >/dev/null)
cut_track "$work/svcd.cue" "$work/svcd.bin" "$mpeg/MPEG2/AVSEQ01.MPG"

for f in "$mpeg"/*.mpg "$mpeg"/*.m1v "$mpeg"/*.m2v "$mpeg/AVSEQ01.DAT" "$mpeg/MPEG2/AVSEQ01.MPG"; do
  probe "$f" "$f.json" || echo '{}' > "$f.json"
done

# MPEG-4 Part 2 video in an AVI and an MP4: its group-of-VOP headers begin
# with 00 00 01 B3 too, and must not pass for MPEG-1 sequence headers.
for f in mpeg4.avi mpeg4.mp4; do
  ff -f lavfi -i testsrc=size=64x48:rate=25:duration=0.4 -c:v mpeg4 -b:v 50k \
     -fflags +bitexact -flags:v +bitexact -map_metadata -1 "$mpeg/$f"
done

ff -f lavfi -i testsrc=size=640x480:rate=25:duration=1 \
   -f lavfi -i sine=frequency=440:sample_rate=44100:duration=1 -ac 2 \
   -c:v mpeg4 -vtag xvid -b:v 400k -c:a libmp3lame -b:a 128k -fflags +bitexact "$avi/xvid.avi"
ff -f lavfi -i testsrc=size=352x288:rate=25:duration=1 \
   -f lavfi -i sine=frequency=440:sample_rate=22050:duration=1 \
   -c:v msmpeg4v3 -vtag DIV3 -b:v 300k -c:a pcm_s16le -fflags +bitexact "$avi/div3.avi"
for f in "$avi"/*.avi; do
  probe "$f" "$f.json"
done

# The DVD: small PAL program streams, authored into two title sets.
cd "$work"
dvdsrc() {  # seconds out [stream options]
  local seconds=$1 out=$2
  shift 2
  ff $(src "$seconds") -target pal-dvd -s 352x288 -b:v 150k -maxrate 400k -bufsize 224k \
     "$@" -muxrate 800k -fflags +bitexact "$out"
}
dvdsrc 2 main1.mpg -map 0:v -map 1:a -c:a ac3 -b:a 64k
dvdsrc 3 extra1.mpg -map 0:v -map 1:a -c:a ac3 -b:a 64k
dvdsrc 4 main2.mpg -map 0:v -map 1:a -map 1:a -c:a:0 ac3 -b:a:0 64k -c:a:1 mp2 -b:a:1 64k
cat > dvd.xml <<'EOF'
<dvdauthor dest="disc">
  <vmgm/>
  <titleset>
    <titles>
      <audio lang="de"/>
      <subpicture lang="en"/>
      <pgc><vob file="main1.mpg"/></pgc>
      <pgc><pre>jump title 2;</pre><vob file="extra1.mpg"/></pgc>
    </titles>
  </titleset>
  <titleset>
    <titles>
      <audio lang="en"/>
      <audio lang="en"/>
      <pgc><vob file="main2.mpg" chapters="0,0:02"/></pgc>
    </titles>
  </titleset>
</dvdauthor>
EOF
VIDEO_FORMAT=PAL dvdauthor -x dvd.xml >/dev/null 2>&1
cp -r disc/VIDEO_TS "$dvd/"
du -sh "$mpeg" "$dvd"
