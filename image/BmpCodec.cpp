#include "image/BmpCodec.h"

#include <climits>
#include <cstring>
#include <vector>

#include "image/ImageBytes.h"

namespace {

const DWORD kFileHeaderSize = 14;
const DWORD kCoreHeaderSize = 12;

// The fields of the info header that the reader uses.
struct BmpInfo {
    DWORD headerSize = 0;
    LONG width = 0;
    LONG height = 0;
    WORD bpp = 0;
    DWORD compression = 0;
    LONG xPelsPerMeter = 0;
    LONG yPelsPerMeter = 0;
    DWORD colorsUsed = 0;
};

int CountBits(DWORD mask)
{
    int bits = 0;
    for (; mask != 0; mask >>= 1)
        bits += int(mask & 1);
    return bits;
}

// Moves to a position given as a 64-bit offset; false when the stream can't
// be placed there.
bool SeekTo(FILE* file, int64_t position)
{
    if (position < 0 || position > LONG_MAX)
        return false;
    return std::fseek(file, long(position), SEEK_SET) == 0;
}

// Reads the header after its 4-byte size; the old 12-byte header gives only
// width, height and bit count, in 16 bits.
bool ReadInfoHeader(FILE* file, BmpInfo* info)
{
    BYTE bytes[40];
    if (std::fread(bytes, 1, 4, file) != 4)
        return false;
    info->headerSize = ReadLe32(bytes);
    if (info->headerSize == kCoreHeaderSize) {
        if (std::fread(bytes + 4, 1, 8, file) != 8)
            return false;
        info->width = LONG(ReadLe16(bytes + 4));
        info->height = LONG(ReadLe16(bytes + 6));
        info->bpp = ReadLe16(bytes + 10);
        return true;
    }
    if (info->headerSize < sizeof(BITMAPINFOHEADER) || std::fread(bytes + 4, 1, 36, file) != 36)
        return false;
    info->width = LONG(ReadLe32(bytes + 4));
    info->height = LONG(ReadLe32(bytes + 8));
    info->bpp = ReadLe16(bytes + 14);
    info->compression = ReadLe32(bytes + 16);
    info->xPelsPerMeter = LONG(ReadLe32(bytes + 24));
    info->yPelsPerMeter = LONG(ReadLe32(bytes + 28));
    info->colorsUsed = ReadLe32(bytes + 32);
    return true;
}

} // namespace

bool CBmpCodec::Decode(FILE* file)
{
    if (file == nullptr)
        return false;
    long start = std::ftell(file);
    BYTE fileHeader[kFileHeaderSize];
    if (start < 0 || std::fread(fileHeader, 1, sizeof fileHeader, file) != sizeof fileHeader) {
        SetLastError("Not a BMP");
        return false;
    }
    // Without "BM" the file is taken as a bare info header (a packed DIB).
    bool hasFileHeader = fileHeader[0] == 'B' && fileHeader[1] == 'M';
    int64_t headerStart = start + (hasFileHeader ? kFileHeaderSize : 0);
    if (!hasFileHeader && std::fseek(file, start, SEEK_SET) != 0) {
        SetLastError("Not a BMP");
        return false;
    }

    BmpInfo info;
    if (!ReadInfoHeader(file, &info) || info.width <= 0 || info.height == 0) {
        SetLastError("Error reading BMP info");
        return false;
    }
    // A negative height marks a top-down file: its rows come top first.
    const bool topDown = info.height < 0;
    const int64_t height = topDown ? -int64_t(info.height) : int64_t(info.height);
    if (!IsImageSizeAllowed(uint64_t(info.width), uint64_t(height))) {
        SetLastError("Can't allocate memory");
        return false;
    }
    bool core = info.headerSize == kCoreHeaderSize;
    bool bitFields = !core && info.compression == BI_BITFIELDS;
    // Bit-field masks follow the first 40 bytes of the header, inside the
    // longer headers or just after the short one.
    DWORD masks[3] = { 0x7C00, 0x03E0, 0x001F };
    if (bitFields) {
        BYTE maskBytes[12];
        if (std::fread(maskBytes, 1, sizeof maskBytes, file) != sizeof maskBytes) {
            SetLastError("Error reading BMP info");
            return false;
        }
        for (int i = 0; i < 3; i++)
            masks[i] = ReadLe32(maskBytes + 4 * i);
    }
    int64_t palettePosition = headerStart + info.headerSize;
    if (bitFields && info.headerSize == sizeof(BITMAPINFOHEADER))
        palettePosition += 12;
    if (!SeekTo(file, palettePosition)) {
        SetLastError("Error reading BMP info");
        return false;
    }

    if (Create(DWORD(info.width), DWORD(height), info.bpp, IMAGE_FORMAT_BMP) == nullptr) {
        SetLastError("Can't allocate memory");
        return false;
    }
    SetResolution(info.xPelsPerMeter, info.yPelsPerMeter);

    // The palette: as many entries as the file lists, but never more than
    // the picture's bits can address.
    DWORD listed = info.colorsUsed;
    if (listed == 0 && info.bpp <= 8)
        listed = DWORD(1) << info.bpp;
    DWORD entrySize = core ? 3 : 4;
    DWORD used = listed < GetPaletteEntries() ? listed : GetPaletteEntries();
    if (used > 0) {
        BYTE entries[256 * 4];
        size_t got = std::fread(entries, entrySize, used, file);
        RGBQUAD* palette = GetPalette();
        for (size_t i = 0; i < got; i++) {
            const BYTE* entry = entries + i * entrySize;
            palette[i].rgbBlue = entry[0];
            palette[i].rgbGreen = entry[1];
            palette[i].rgbRed = entry[2];
            palette[i].rgbReserved = core ? 0 : entry[3];
        }
    }
    int64_t pixelPosition = hasFileHeader ? start + int64_t(ReadLe32(fileHeader + 10))
                                          : palettePosition + int64_t(listed) * entrySize;
    if (!SeekTo(file, pixelPosition)) {
        SetLastError("Error reading BMP info");
        return false;
    }

    if (!ReadPixels(file, info.bpp, info.compression, masks))
        return false;
    // The rows were stored in the order the file gave them; a top-down
    // file's first row is the top one.
    if (topDown)
        Flip();
    return true;
}

bool CBmpCodec::ReadPixels(FILE* file, WORD bpp, DWORD compression, const DWORD masks[3])
{
    size_t area = size_t(GetRowWidth()) * GetHeight();
    switch (bpp) {
    case 1:
    case 4:
    case 8:
        if (compression == BI_RGB)
            std::fread(GetPixels(), 1, area, file);
        else if (compression == BI_RLE8 && bpp == 8)
            ReadRunLengths(file, false);
        else if (compression == BI_RLE4 && bpp == 4)
            ReadRunLengths(file, true);
        else {
            SetLastError("compression type not supported");
            return false;
        }
        return true;
    case 24:
        if (compression != BI_RGB) {
            SetLastError("unknown compression");
            return false;
        }
        std::fread(GetPixels(), 1, area, file);
        return true;
    case 16:
        return ReadSixteenBits(file, masks);
    case 32:
        if (compression != BI_BITFIELDS) {
            SetLastError("unknown compression");
            return false;
        }
        return ReadThirtyTwoBits(file);
    default:
        return true;
    }
}

void CBmpCodec::ReadRunLengths(FILE* file, bool nibbles)
{
    const LONG height = LONG(GetHeight());
    // Positions per row: bytes, or nibbles, padding included.
    const LONG limit = LONG(GetRowWidth()) * (nibbles ? 2 : 1);
    LONG x = 0;
    LONG row = 0;
    auto put = [&](LONG position, int value) {
        BYTE* pixel = GetRow(row) + (nibbles ? position / 2 : position);
        if (!nibbles)
            *pixel = BYTE(value);
        else if (position % 2 == 0)
            *pixel = BYTE((*pixel & 0x0F) | ((value & 0x0F) << 4));
        else
            *pixel = BYTE((*pixel & 0xF0) | (value & 0x0F));
    };
    for (;;) {
        int count = std::fgetc(file);
        int value = std::fgetc(file);
        if (count == EOF || value == EOF)
            return;
        if (count > 0) {
            // An encoded run; RLE4 alternates the byte's high and low nibble.
            if (row >= height || x + count > limit)
                return;
            for (int k = 0; k < count; k++)
                put(x + k, nibbles ? (k % 2 == 0 ? value >> 4 : value) : value);
            x += count;
            continue;
        }
        if (value == 0) {
            // End of line.
            x = 0;
            row++;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            int dx = std::fgetc(file);
            int dy = std::fgetc(file);
            if (dx == EOF || dy == EOF)
                return;
            x += dx;
            row += dy;
            if (x > limit || row >= height)
                return;
        } else {
            // An absolute run of value pixels, padded to an even byte count.
            int bytes = nibbles ? (value + 1) / 2 : value;
            BYTE run[256];
            if (std::fread(run, 1, size_t(bytes + (bytes & 1)), file) != size_t(bytes + (bytes & 1)))
                return;
            if (row >= height || x + value > limit)
                return;
            for (int k = 0; k < value; k++)
                put(x + k, nibbles ? (k % 2 == 0 ? run[k / 2] >> 4 : run[k / 2]) : run[k]);
            x += value;
        }
    }
}

bool CBmpCodec::ReadSixteenBits(FILE* file, const DWORD masks[3])
{
    int red = CountBits(masks[0]);
    int green = CountBits(masks[1]);
    int blue = CountBits(masks[2]);
    int blueShift = 8 - red;
    int greenShift = red + green - 8;
    int redShift = red + green + blue - 8;
    if (blueShift < 0 || blueShift > 31 || greenShift < 0 || greenShift > 31 || redShift < 0 || redShift > 31) {
        SetLastError("Error reading BMP info");
        return false;
    }
    // The 16-bit rows are read into the 24-bit area and widened in place,
    // last row and last pixel first, so no source pixel is overwritten
    // before it is read.
    const DWORD width = GetWidth();
    const DWORD sourceRow = (width + 1) / 2 * 4;
    BYTE* pixels = GetPixels();
    // Rows the file did not have stay black: only those read are widened.
    size_t read = std::fread(pixels, 1, size_t(sourceRow) * GetHeight(), file);
    for (DWORD y = DWORD((read + sourceRow - 1) / sourceRow); y-- > 0;) {
        for (DWORD x = width; x-- > 0;) {
            DWORD p = ReadLe16(pixels + size_t(y) * sourceRow + 2 * x);
            BYTE* target = pixels + size_t(y) * GetRowWidth() + 3 * x;
            target[0] = BYTE((p & masks[2]) << blueShift);
            target[1] = BYTE((p & masks[1]) >> greenShift);
            target[2] = BYTE((p & masks[0]) >> redShift);
        }
    }
    return true;
}

bool CBmpCodec::ReadThirtyTwoBits(FILE* file)
{
    const DWORD width = GetWidth();
    std::vector<BYTE> row;
    try {
        row.resize(size_t(width) * 4);
    } catch (const std::bad_alloc&) {
        SetLastError("can't allocate memory");
        return false;
    }
    // The first three bytes of each pixel are blue, green and red.
    for (DWORD y = 0; y < GetHeight(); y++) {
        if (std::fread(row.data(), 4, width, file) != width)
            break;
        BYTE* target = GetRow(LONG(y));
        for (DWORD x = 0; x < width; x++)
            std::memcpy(target + 3 * x, row.data() + 4 * x, 3);
    }
    return true;
}

bool CBmpCodec::Encode(FILE* file)
{
    if (file == nullptr || !IsValid())
        return false;
    std::memcpy(GetDib(), &m_header, sizeof m_header);
    BYTE fileHeader[kFileHeaderSize] = { 'B', 'M' };
    WriteLe32(fileHeader + 2, GetDibSize() + kFileHeaderSize);
    WriteLe32(fileHeader + 10, DWORD(sizeof(BITMAPINFOHEADER) + GetPaletteEntries() * sizeof(RGBQUAD) + kFileHeaderSize));
    return std::fwrite(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
           std::fwrite(GetDib(), 1, GetDibSize(), file) == GetDibSize();
}
