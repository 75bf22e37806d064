// The picture size and rate code of an MPEG-1 or MPEG-2 video sequence
// header, shared by the identifier tool and the stream-header plug-in, and
// the de-packetising that both need to read a header that a system or
// program stream has split between two packets.
#pragma once

#include <cstddef>
#include <cstdint>

struct MpegSequence {
    int width;
    int height;
    int rateCode;  // 1..8: 23.976 to 60 frames per second
};

// Video bytes a header needs after its code: the fixed part, both
// quantiser matrices, some zero stuffing and the MPEG-2 sequence extension
// that carries the high bits of the picture size.
const size_t kMpegSequenceBytes = 8 + 64 + 64 + 32 + 8;

// Reads the video bytes p[0..count) after a 00 00 01 B3 start code. Only a
// sound sequence header counts: at least its 8 fixed bytes, no start code
// beginning inside them, its marker bit set, a rate code of 1 to 8 and a
// picture of at least 16 x 16. MPEG-4 video uses the same code for its
// group-of-VOP header, a few bytes followed by the next start code, and a
// header cut short is followed by the next one's code. The 12-bit size
// fields take their high bits from a sequence extension right after the
// header (4096 wide reads 0 without it).
bool ReadMpegSequence(const uint8_t* p, size_t count, MpegSequence* sequence);

// The payload of an MPEG-1 or MPEG-2 packet whose start code ends at p
// (p[0..1] is its length): [*begin, *end) relative to p, inside room
// bytes. False when the header does not fit.
bool PacketPayload(const uint8_t* p, size_t room, size_t* begin, size_t* end);

// Copies to out up to want bytes of the video stream that follow the start
// code ending at buf[at]. When that code lies inside a video packet of a
// system or program stream, the stream goes on in the next packet of that
// video stream: pack headers, other packets, the packet headers and what
// lies between packets (a CD sector's own header) are left out. Otherwise
// the bytes are copied as they are. Returns the count copied.
size_t GatherVideoBytes(const uint8_t* buf, size_t length, size_t at, uint8_t* out, size_t want);
