#!/bin/bash
# Makes the zip archives under tests/data/zip that the zip library's tests
# read: Info-ZIP archives (deflated, stored, empty folders, a comment, a stub
# in front with and without "zip -A", streamed output with data
# descriptors, traditional encryption, a 64 KiB split set renamed to the
# library's volume names), 7-Zip archives (one behind a stub fixed with
# "zip -A"), and hostile ones written with python3's zipfile and patched.
# The files are committed; run this only to make them again.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/tests/data/zip"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/*

# The members: text, a nested folder, an empty folder, 200 KB of noise.
cd "$work"
mkdir -p tree/docs/deep tree/empty
printf 'Hello from the archive.\r\n' > tree/hello.txt
python3 -c "print('\n'.join('line %d of a text that deflates well' % i for i in range(400)))" > tree/docs/long.txt
printf 'deep\n' > tree/docs/deep/leaf.txt
python3 -c "import random; random.seed(7); open('tree/noise.bin','wb').write(bytes(random.getrandbits(8) for _ in range(200000)))"
find tree -exec touch -d '2024-03-05 14:37:42' {} +

(cd tree && zip -qr -X "$out/deflated.zip" hello.txt docs empty && printf 'archive comment' | zip -qz "$out/deflated.zip")
(cd tree && zip -qr -X -0 "$out/stored.zip" hello.txt docs)
(cd tree && zip -qr -X - hello.txt docs | cat > "$out/streamed.zip")
(cd tree && zip -q -X -e -P secret "$out/encrypted.zip" hello.txt docs/long.txt)
(cd tree && zip -q -X "$work/plain.zip" hello.txt docs/long.txt)
printf 'MZ-this-is-a-stub-in-front-of-the-archive\n%.0s' {1..4} > stub
cat stub "$work/plain.zip" > "$out/stub.zip"
cat stub "$work/plain.zip" > "$out/stub_adjusted.zip"
zip -qA "$out/stub_adjusted.zip"
(cd tree && zip -q -X -s 64k "$work/split.zip" noise.bin hello.txt)
cp "$work/split.z01" "$out/split.000"
cp "$work/split.z02" "$out/split.001"
cp "$work/split.z03" "$out/split.002"
cp "$work/split.zip" "$out/split.zip"
(cd tree && 7z a -tzip -bd -mtc=off "$out/sevenzip.zip" hello.txt docs empty >/dev/null)
(cd tree && 7z a -tzip -bd -mtc=off "$work/seven.zip" hello.txt docs/long.txt >/dev/null)
cat stub "$work/seven.zip" > "$out/sevenzip_stub.zip"
zip -qA "$out/sevenzip_stub.zip"

python3 - "$out" <<'PY'
import struct, sys, zipfile, zlib
out = sys.argv[1]

def write(name, members, patch=None):
    path = f"{out}/{name}"
    with zipfile.ZipFile(path, "w") as z:
        for info, data in members:
            z.writestr(info, data)
    if patch:
        data = bytearray(open(path, "rb").read())
        patch(data)
        open(path, "wb").write(data)

def info(name, system=0, external=0, method=zipfile.ZIP_DEFLATED):
    i = zipfile.ZipInfo(name, (2024, 3, 5, 14, 37, 42))
    i.create_system = system
    i.external_attr = external
    i.compress_type = method
    return i

for tag, name in (("dotdot", "../x.txt"), ("rooted", "/x.txt"), ("drive", "C:\\x.txt"), ("drive_relative", "C:x.txt")):
    write(f"hostile_{tag}.zip", [(info(name), b"escaped")])

# A Unix folder stored without "/": only its mode says it is a folder.
write("unix_folder.zip", [(info("dir", system=3, external=0x41ED0000), b""),
                          (info("dir/file.txt", system=3, external=0x81A40000), b"in the folder")])
# A Unix file whose owner may not read it: hidden.
write("unix_hidden.zip", [(info("secret.txt", system=3, external=0x80240000), b"hidden")])

def central(data):
    return data.index(b"PK\x01\x02")

def bad_crc(data):
    for offset in (14, central(data) + 16):
        data[offset] ^= 0xFF
write("bad_crc.zip", [(info("a.txt"), b"some text to check")], bad_crc)

def size_mismatch(data):
    struct.pack_into("<I", data, 22, struct.unpack_from("<I", data, 22)[0] + 1)
write("size_mismatch.zip", [(info("a.txt"), b"some text to check")], size_mismatch)

# A stored member whose two sizes differ in both headers.
def stored_sizes(data):
    struct.pack_into("<I", data, 18, 5)
    struct.pack_into("<I", data, central(data) + 20, 5)
write("stored_sizes.zip", [(info("a.txt", method=zipfile.ZIP_STORED), b"0123456789")], stored_sizes)

write("bzip2.zip", [(info("a.txt", method=zipfile.ZIP_BZIP2), b"bzip2 data " * 10)])
write("amiga.zip", [(info("a.txt", system=1), b"from an Amiga")])

# A member with flag bit 3 and a descriptor without its signature.
def raw_descriptor_zip(path, signature):
    body = b"descriptor data " * 20
    comp = zlib.compressobj(6, zlib.DEFLATED, -15)
    packed = comp.compress(body) + comp.flush()
    crc = zlib.crc32(body)
    name = b"d.txt"
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 8, 8, 0x75B5, 0x5865, 0, 0, 0, len(name), 0) + name
    desc = (struct.pack("<I", 0x08074B50) if signature else b"") + struct.pack("<III", crc, len(packed), len(body))
    cd_offset = len(local) + len(packed) + len(desc)
    cd = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 8, 8, 0x75B5, 0x5865, crc, len(packed), len(body),
                     len(name), 0, 0, 0, 0, 0, 0) + name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(cd), cd_offset, 0)
    open(path, "wb").write(local + packed + desc + cd + end)
raw_descriptor_zip(f"{out}/descriptor_plain.zip", False)

# An end record that claims more members than the directory holds.
def more_entries(data):
    end = data.rindex(b"PK\x05\x06")
    struct.pack_into("<HH", data, end + 8, 3, 3)
write("bad_count.zip", [(info("a.txt"), b"text")], more_entries)
# A directory size that runs past the end record.
def bad_size(data):
    end = data.rindex(b"PK\x05\x06")
    struct.pack_into("<I", data, end + 12, 4000)
write("bad_dirsize.zip", [(info("a.txt"), b"text")], bad_size)

# The members on a volume 0 that is not there: the end record names volume 1.
def other_volume(data):
    struct.pack_into("<HH", data, data.rindex(b"PK\x05\x06") + 4, 1, 1)
write("other_volume.zip", [(info("a.txt"), b"first"), (info("b.txt"), b"second")], other_volume)
# A local name other than the central one, of the same length.
write("local_name.zip", [(info("a.txt"), b"text")], lambda data: data.__setitem__(slice(30, 35), b"b.txt"))

# Data running into the next local header, and into the directory: each
# compressed size grows by 8 in both headers.
def overlap(data):
    for offset in (18, data.index(b"PK\x03\x04", 4) + 18, central(data) + 20, data.rindex(b"PK\x01\x02") + 20):
        struct.pack_into("<I", data, offset, struct.unpack_from("<I", data, offset)[0] + 8)
write("overlap.zip", [(info("a.txt"), b"a" * 100), (info("b.txt"), b"b" * 100)], overlap)

# A zip bomb: 99 more central headers, named apart, for one member of 10 MB.
def bomb(data):
    cd, end = central(data), data.rindex(b"PK\x05\x06")
    more = b"".join(data[cd:end].replace(b"zeros00", b"zeros%02d" % i) for i in range(1, 100))
    data[end:end] = more
    struct.pack_into("<HHI", data, end + len(more) + 8, 100, 100, end - cd + len(more))
write("bomb.zip", [(info("zeros00.bin"), bytes(10000000))], bomb)
# The same with every central header under the local header's own name.
def bomb_same_name(data):
    cd, end = central(data), data.rindex(b"PK\x05\x06")
    more = data[cd:end] * 9
    data[end:end] = more
    struct.pack_into("<HHI", data, end + len(more) + 8, 10, 10, end - cd + len(more))
write("bomb_same_name.zip", [(info("zeros00.bin"), bytes(1000000))], bomb_same_name)

# An empty member whose local extra field, by its length, takes in the
# first bytes of the next local header.
write("extra_reach.zip", [(info("a.txt", method=zipfile.ZIP_STORED), b""), (info("b.txt"), b"after")],
      lambda data: struct.pack_into("<H", data, 28, 4))
PY

ls -l "$out"
mkdir -p "$root/tests/fuzz/corpus/fuzz_zip"
find "$out" -name '*.zip' -size -8k -exec cp {} "$root/tests/fuzz/corpus/fuzz_zip/" \;
