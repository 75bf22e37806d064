#include "core/CoverSize.h"

namespace {

unsigned BigEndian16(const BYTE* p)
{
    return (unsigned(p[0]) << 8) | p[1];
}

unsigned long BigEndian32(const BYTE* p)
{
    return (static_cast<unsigned long>(p[0]) << 24) | (static_cast<unsigned long>(p[1]) << 16) |
           (static_cast<unsigned long>(p[2]) << 8) | p[3];
}

unsigned LittleEndian16(const BYTE* p)
{
    return p[0] | (unsigned(p[1]) << 8);
}

long LittleEndian32(const BYTE* p)
{
    unsigned long u = p[0] | (static_cast<unsigned long>(p[1]) << 8) |
                      (static_cast<unsigned long>(p[2]) << 16) |
                      (static_cast<unsigned long>(p[3]) << 24);
    // Two's complement without relying on the conversion of large values.
    return u & 0x80000000UL ? -static_cast<long>(~u & 0x7FFFFFFFUL) - 1 : static_cast<long>(u);
}

// Walks the JPEG markers up to the first start-of-frame segment, which holds
// the picture's height and width. Segments before it (APPn with a thumbnail,
// tables) are skipped by their length.
bool MeasureJpeg(const BYTE* data, size_t length, long* width, long* height)
{
    size_t pos = 2;
    while (pos < length) {
        if (data[pos] != 0xFF)
            return false;
        // Any number of 0xFF fill bytes may precede the marker code.
        while (pos < length && data[pos] == 0xFF)
            pos++;
        if (pos >= length)
            return false;
        BYTE marker = data[pos++];
        // Markers without a segment.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        // End of image or start of scan before any frame header.
        if (marker == 0xD9 || marker == 0xDA)
            return false;
        if (pos + 2 > length)
            return false;
        size_t segment = BigEndian16(data + pos);
        if (segment < 2)
            return false;
        bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
        if (isFrame) {
            // length(2) precision(1) height(2) width(2)
            if (segment < 7 || pos + 7 > length)
                return false;
            *height = long(BigEndian16(data + pos + 3));
            *width = long(BigEndian16(data + pos + 5));
            return true;
        }
        if (segment > length - pos)
            return false;
        pos += segment;
    }
    return false;
}

} // namespace

bool MeasurePicture(const BYTE* data, size_t length, long* width, long* height)
{
    if (data == NULL)
        return false;
    if (length >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return MeasureJpeg(data, length, width, height);
    if (length >= 10 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8' &&
        (data[4] == '7' || data[4] == '9') && data[5] == 'a') {
        *width = long(LittleEndian16(data + 6));
        *height = long(LittleEndian16(data + 8));
        return true;
    }
    static const BYTE kPngSignature[8] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    if (length >= 24) {
        bool png = true;
        for (int i = 0; i < 8; i++)
            png = png && data[i] == kPngSignature[i];
        if (png) {
            if (data[12] != 'I' || data[13] != 'H' || data[14] != 'D' || data[15] != 'R')
                return false;
            unsigned long w = BigEndian32(data + 16);
            unsigned long h = BigEndian32(data + 20);
            if (w > 0x7FFFFFFFUL || h > 0x7FFFFFFFUL)
                return false;
            *width = long(w);
            *height = long(h);
            return true;
        }
    }
    if (length >= 18 && data[0] == 'B' && data[1] == 'M') {
        long headerSize = LittleEndian32(data + 14);
        if (headerSize == 12) {
            // The old core header: 16-bit width and height.
            if (length < 14 + 12)
                return false;
            *width = long(LittleEndian16(data + 18));
            *height = long(LittleEndian16(data + 20));
            return true;
        }
        if (headerSize < 40 || length < 14 + 12)
            return false;
        long w = LittleEndian32(data + 18);
        long h = LittleEndian32(data + 22);
        // A negative height marks a top-down picture of the same size.
        if (w <= 0 || h == 0 || h == -2147483647L - 1)
            return false;
        *width = w;
        *height = h < 0 ? -h : h;
        return true;
    }
    return false;
}
