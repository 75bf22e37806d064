#include "tools/vidscan/MpegSequence.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsPrefix(const uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 1;
}

// Largest distance from a packet's start code to a byte of its payload.
const size_t kMaxPacket = 6 + 65535;

// The size extension of the sequence extension that follows a header of
// headerBytes (after zero stuffing): 2 high bits each of width and height.
bool ReadSizeExtension(const uint8_t* p, size_t count, size_t headerBytes, int* highWidth,
                       int* highHeight)
{
    size_t at = headerBytes;
    while (at + 2 < count && !IsPrefix(p + at)) {
        if (p[at] != 0)
            return false;
        at++;
    }
    if (at + 7 > count || !IsPrefix(p + at) || p[at + 3] != 0xB5 || (p[at + 4] >> 4) != 1)
        return false;
    *highWidth = (p[at + 5] & 1) << 1 | p[at + 6] >> 7;
    *highHeight = p[at + 6] >> 5 & 3;
    return true;
}

}  // namespace

bool ReadMpegSequence(const uint8_t* p, size_t count, MpegSequence* sequence)
{
    if (count < 8)
        return false;
    for (size_t i = 0; i < 8 && i + 2 < count; i++) {
        if (IsPrefix(p + i))
            return false;
    }
    sequence->width = p[0] << 4 | p[1] >> 4;
    sequence->height = (p[1] & 0x0F) << 8 | p[2];
    sequence->rateCode = p[3] & 0x0F;
    if ((p[6] & 0x20) == 0)
        return false;
    // The header's length: the intra matrix follows the flag in bit 1 of
    // byte 7, and the non-intra flag follows the intra matrix.
    size_t length = 8;
    bool nonIntra = (p[7] & 1) != 0;
    if (p[7] & 2) {
        length += 64;
        nonIntra = count >= length && (p[length - 1] & 1) != 0;
    }
    if (nonIntra)
        length += 64;
    int highWidth = 0, highHeight = 0;
    if (count >= length && ReadSizeExtension(p, count, length, &highWidth, &highHeight)) {
        sequence->width |= highWidth << 12;
        sequence->height |= highHeight << 12;
    }
    return sequence->rateCode >= 1 && sequence->rateCode <= 8 && sequence->width >= 16 &&
           sequence->height >= 16;
}

bool PacketPayload(const uint8_t* p, size_t room, size_t* begin, size_t* end)
{
    if (room < 2)
        return false;
    *end = std::min(room, size_t(2) + (size_t(p[0]) << 8 | p[1]));
    size_t at = 2;
    if (at < *end && (p[at] & 0xC0) == 0x80) {
        if (at + 3 > *end)
            return false;
        at += 3 + p[at + 2];
    } else {
        for (int i = 0; i < 16 && at < *end && p[at] == 0xFF; i++)
            at++;
        if (at < *end && (p[at] & 0xC0) == 0x40)
            at += 2;
        if (at < *end && (p[at] & 0xF0) == 0x20)
            at += 5;
        else if (at < *end && (p[at] & 0xF0) == 0x30)
            at += 10;
        else if (at < *end && p[at] == 0x0F)
            at += 1;
    }
    *begin = at;
    return at <= *end;
}

size_t GatherVideoBytes(const uint8_t* buf, size_t length, size_t at, uint8_t* out, size_t want)
{
    if (at < 4 || at > length)
        return 0;
    // The nearest video packet start before the code, if the code lies in it.
    size_t code = at - 4;
    size_t low = code > kMaxPacket ? code - kMaxPacket : 0;
    size_t packetEnd = 0;
    uint8_t stream = 0;
    for (size_t j = code; j-- > low;) {
        if (IsPrefix(buf + j) && (buf[j + 3] & 0xF0) == 0xE0) {
            size_t begin, end;
            if (j + 6 <= code && PacketPayload(buf + j + 4, code - (j + 4), &begin, &end) &&
                j + 6 + (size_t(buf[j + 4]) << 8 | buf[j + 5]) > code) {
                packetEnd = j + 6 + (size_t(buf[j + 4]) << 8 | buf[j + 5]);
                stream = buf[j + 3];
            }
            break;
        }
    }
    if (stream == 0) {
        size_t n = std::min(want, length - at);
        memcpy(out, buf + at, n);
        return n;
    }

    size_t n = 0, pos = at;
    for (;;) {
        size_t end = std::min(packetEnd, length);
        while (pos < end && n < want)
            out[n++] = buf[pos++];
        if (n == want || packetEnd >= length)
            return n;
        // The next packet of the stream.
        pos = packetEnd;
        bool found = false;
        while (!found && pos + 6 <= length && pos - packetEnd < kMaxPacket) {
            if (!IsPrefix(buf + pos) || buf[pos + 3] < 0xB9) {
                pos++;  // not a code of the system layer: between packets
            } else if (buf[pos + 3] == 0xB9) {
                return n;  // the end of the stream
            } else if (buf[pos + 3] == 0xBA) {
                // A pack header, whose marker bits keep a start code out of
                // its fields: the search goes on after its code.
                pos += 4;
            } else if (buf[pos + 3] == stream) {
                size_t begin, end;
                if (!PacketPayload(buf + pos + 4, length - (pos + 4), &begin, &end))
                    return n;
                packetEnd = pos + 6 + (size_t(buf[pos + 4]) << 8 | buf[pos + 5]);
                pos += 4 + begin;
                found = true;
            } else {
                pos += 6 + (size_t(buf[pos + 4]) << 8 | buf[pos + 5]);
            }
        }
        if (!found)
            return n;
    }
}
