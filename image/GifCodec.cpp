#include "image/GifCodec.h"

#include <cstring>

#include "image/ImageBytes.h"

namespace {

const int kMaxCodes = 4096;   // 12-bit codes
const int kMaxCodeBits = 12;
const int kHashSize = 5003;   // a prime a little above the code count
const int kHashShift = 4;     // spreads an 8-bit pixel over the hash slots
const int kMaxPacket = 254;

// Interlaced rows: every 8th from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1.
const LONG kPassStart[4] = { 0, 4, 2, 1 };
const LONG kPassStep[4] = { 8, 8, 4, 2 };

void SkipSubBlocks(FILE* file)
{
    for (;;) {
        int length = std::fgetc(file);
        if (length == EOF || length == 0)
            return;
        BYTE skipped[255];
        if (std::fread(skipped, 1, size_t(length), file) != size_t(length))
            return;
    }
}

} // namespace

CGifCodec::CGifCodec()
    : CxImage(IMAGE_FORMAT_GIF), m_blockLength(0), m_blockPosition(0), m_dataEnded(false),
      m_terminatorRead(false), m_bitBuffer(0), m_bitCount(0), m_x(0), m_topRow(0), m_pass(0),
      m_interlaced(false), m_initialBits(0), m_codeBits(0), m_maxCode(0), m_clearCode(0), m_endCode(0),
      m_freeCode(0), m_clearPending(false), m_accumulator(0), m_accumulatorBits(0), m_packetLength(0)
{
}

bool CGifCodec::Decode(FILE* file)
{
    if (file == nullptr)
        return false;
    BYTE screen[13];
    if (std::fread(screen, 1, sizeof screen, file) != sizeof screen || std::memcmp(screen, "GIF8", 4) != 0)
        return false;
    BYTE global[256 * 3] = {};
    int globalSize = 2 << (screen[10] & 7);
    if (screen[10] & 0x80)
        std::fread(global, 3, size_t(globalSize), file);

    int passed = 0;
    for (;;) {
        int block = std::fgetc(file);
        if (block == '!') {
            ReadExtension(file);
            continue;
        }
        // The trailer, the end of the file or a byte that starts no block.
        if (block != ',')
            break;
        BYTE descriptor[9];
        if (std::fread(descriptor, 1, sizeof descriptor, file) != sizeof descriptor)
            break;
        const BYTE* table = global;
        int tableSize = globalSize;
        BYTE local[256 * 3] = {};
        if (descriptor[8] & 0x80) {
            tableSize = 2 << (descriptor[8] & 7);
            if (std::fread(local, 3, size_t(tableSize), file) != size_t(tableSize))
                break;
            table = local;
        }
        if (passed < GetFrame()) {
            // An image before the one to load: its data is skipped.
            if (std::fgetc(file) == EOF)
                break;
            SkipSubBlocks(file);
            passed++;
            continue;
        }
        ReadImage(file, descriptor, table, tableSize);
        break;
    }
    // A file without the image asked for has no picture to give.
    return IsValid();
}

void CGifCodec::ReadExtension(FILE* file)
{
    int label = std::fgetc(file);
    if (label == EOF)
        return;
    if (label == 0xF9) {
        int size = std::fgetc(file);
        if (size == EOF || size == 0)
            return;
        BYTE control[255];
        if (std::fread(control, 1, size_t(size), file) != size_t(size))
            return;
        if (size == 4) {
            SetTransIndex((control[0] & 1) ? control[3] : -1);
            SetFrameDelay(ReadLe16(control + 1));
        }
    }
    SkipSubBlocks(file);
}

void CGifCodec::ReadImage(FILE* file, const BYTE* descriptor, const BYTE* table, int tableSize)
{
    DWORD width = ReadLe16(descriptor + 4);
    DWORD height = ReadLe16(descriptor + 6);
    DWORD bpp = tableSize <= 2 ? 1 : tableSize <= 16 ? 4 : 8;
    // Create refuses an empty frame, and one above the size limits before
    // allocating anything.
    if (Create(width, height, bpp, IMAGE_FORMAT_GIF) == nullptr) {
        if (width > 0 && height > 0)
            SetLastError("Can't allocate memory");
        return;
    }
    for (int i = 0; i < tableSize && DWORD(i) < GetPaletteEntries(); i++)
        SetPaletteEntry(DWORD(i), table[3 * i], table[3 * i + 1], table[3 * i + 2]);
    // With transparency the entries the table leaves unused are white.
    if (GetTransIndex() >= 0) {
        for (DWORD i = DWORD(tableSize); i < GetPaletteEntries(); i++)
            SetPaletteEntry(i, 255, 255, 255);
    }
    DecodeImageData(file, (descriptor[8] & 0x40) != 0);
}

int CGifCodec::NextDataByte(FILE* file)
{
    if (m_blockPosition == m_blockLength) {
        if (m_dataEnded)
            return -1;
        int length = std::fgetc(file);
        if (length == EOF || length == 0) {
            m_dataEnded = true;
            m_terminatorRead = length == 0;
            return -1;
        }
        if (std::fread(m_block, 1, size_t(length), file) != size_t(length)) {
            m_dataEnded = true;
            return -1;
        }
        m_blockLength = length;
        m_blockPosition = 0;
    }
    return m_block[m_blockPosition++];
}

int CGifCodec::ReadCode(FILE* file, int width)
{
    while (m_bitCount < width) {
        int byte = NextDataByte(file);
        if (byte < 0)
            return -1;
        m_bitBuffer |= uint32_t(byte) << m_bitCount;
        m_bitCount += 8;
    }
    int code = int(m_bitBuffer & ((1u << width) - 1));
    m_bitBuffer >>= width;
    m_bitCount -= width;
    return code;
}

void CGifCodec::StoreLine()
{
    BYTE* row = GetRow(LONG(GetHeight()) - 1 - m_topRow);
    if (row == nullptr)
        return;
    const DWORD width = GetWidth();
    switch (GetBpp()) {
    case 8:
        std::memcpy(row, m_line.data(), width);
        break;
    case 4:
        for (DWORD x = 0; x < width; x++)
            row[x / 2] |= BYTE(m_line[x] << (x % 2 == 0 ? 4 : 0));
        break;
    default:
        for (DWORD x = 0; x < width; x++)
            row[x / 8] |= BYTE(m_line[x] << (7 - x % 8));
        break;
    }
}

bool CGifCodec::PutPixel(BYTE value)
{
    if (m_topRow >= LONG(GetHeight()))
        return false;
    // Values beyond the picture's bits would spill into the next pixel.
    m_line[m_x++] = BYTE(value & ((1u << GetBpp()) - 1));
    if (m_x < GetWidth())
        return true;
    StoreLine();
    std::memset(m_line.data(), 0, m_line.size());
    m_x = 0;
    if (!m_interlaced) {
        m_topRow++;
    } else {
        // Rows past the height are skipped, passes too.
        m_topRow += kPassStep[m_pass];
        while (m_topRow >= LONG(GetHeight()) && m_pass < 3) {
            m_pass++;
            m_topRow = kPassStart[m_pass];
        }
    }
    return m_topRow < LONG(GetHeight());
}

void CGifCodec::DecodeImageData(FILE* file, bool interlaced)
{
    m_blockLength = m_blockPosition = 0;
    m_dataEnded = m_terminatorRead = false;
    m_bitBuffer = 0;
    m_bitCount = 0;
    m_line.assign(GetWidth(), 0);
    m_x = 0;
    m_topRow = 0;
    m_pass = 0;
    m_interlaced = interlaced;
    m_prefix.assign(kMaxCodes, 0);
    m_suffix.assign(kMaxCodes, 0);
    m_stack.assign(kMaxCodes + 1, 0);

    int codeSize = std::fgetc(file);
    if (codeSize == EOF)
        return;
    if (codeSize >= 1 && codeSize <= 11) {
        const int clear = 1 << codeSize;
        const int end = clear + 1;
        int width = codeSize + 1;
        int next = clear + 2;
        int old = -1;
        BYTE first = 0;
        bool more = true;
        while (more) {
            int code = ReadCode(file, width);
            if (code < 0 || code == end)
                break;
            if (code == clear) {
                width = codeSize + 1;
                next = clear + 2;
                old = -1;
                continue;
            }
            if (old < 0) {
                // The first code after a clear must be a pixel.
                if (code > clear)
                    break;
                first = BYTE(code);
                old = code;
                more = PutPixel(first);
                continue;
            }
            // A code the table can't have yet ends the image.
            if (code > next)
                break;
            int in = code;
            size_t depth = 0;
            if (code == next) {
                m_stack[depth++] = first;
                code = old;
            }
            while (code > clear && depth < m_stack.size() - 1) {
                m_stack[depth++] = m_suffix[size_t(code)];
                code = m_prefix[size_t(code)];
            }
            if (code > clear)
                break;
            first = BYTE(code);
            m_stack[depth++] = first;
            while (depth > 0 && more)
                more = PutPixel(m_stack[--depth]);
            if (next < kMaxCodes) {
                m_prefix[size_t(next)] = WORD(old);
                m_suffix[size_t(next)] = first;
                next++;
                if (next == (1 << width) && width < kMaxCodeBits)
                    width++;
            }
            old = in;
        }
    }
    // A row the data ended in keeps the pixels it got.
    if (m_x > 0 && m_topRow < LONG(GetHeight()))
        StoreLine();
    // The rest of the data, up to its terminator.
    if (!m_dataEnded)
        SkipSubBlocks(file);
}

bool CGifCodec::Encode(FILE* file)
{
    if (file == nullptr) {
        SetLastError("Can't open GIF for writing");
        return false;
    }
    if (GetBpp() > 8) {
        SetLastError("GIF Images must be 8 bit or less");
        return false;
    }
    if (!IsValid())
        return false;
    const DWORD bpp = GetBpp();
    BYTE header[13] = { 'G', 'I', 'F', '8', '7', 'a' };
    WriteLe16(header + 6, GetWidth());
    WriteLe16(header + 8, GetHeight());
    header[10] = BYTE(0x80 | ((bpp - 1) << 5) | (bpp - 1));
    std::fwrite(header, 1, sizeof header, file);
    for (DWORD i = 0; i < GetPaletteEntries(); i++) {
        RGBQUAD entry = GetPaletteEntry(i);
        BYTE rgb[3] = { entry.rgbRed, entry.rgbGreen, entry.rgbBlue };
        std::fwrite(rgb, 1, 3, file);
    }
    // The graphic control extension carries the delay and transparency.
    BYTE control[8] = { 0x21, 0xF9, 4, BYTE(GetTransIndex() >= 0 ? 1 : 0), 0, 0, BYTE(GetTransIndex()), 0 };
    WriteLe16(control + 4, DWORD(GetFrameDelay()));
    std::fwrite(control, 1, sizeof control, file);
    BYTE descriptor[10] = { ',' };
    WriteLe16(descriptor + 5, GetWidth());
    WriteLe16(descriptor + 7, GetHeight());
    std::fwrite(descriptor, 1, sizeof descriptor, file);
    int codeSize = bpp < 2 ? 2 : int(bpp);
    std::fputc(codeSize, file);
    Compress(file, codeSize + 1);
    std::fputc(0, file);
    std::fputc(';', file);
    if (std::ferror(file)) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

void CGifCodec::ClearHash()
{
    m_hash.assign(kHashSize, -1);
}

void CGifCodec::Compress(FILE* file, int initialBits)
{
    m_initialBits = initialBits;
    m_codeBits = initialBits;
    m_maxCode = (1 << m_codeBits) - 1;
    m_clearCode = 1 << (initialBits - 1);
    m_endCode = m_clearCode + 1;
    m_freeCode = m_clearCode + 2;
    m_clearPending = false;
    m_accumulator = 0;
    m_accumulatorBits = 0;
    m_packetLength = 0;
    m_codes.assign(kHashSize, 0);
    ClearHash();
    Output(file, m_clearCode);

    // Pixels from the top row of the picture, left to right.
    const DWORD width = GetWidth();
    const WORD bpp = GetBpp();
    int prefix = -1;
    for (LONG y = LONG(GetHeight()) - 1; y >= 0; y--) {
        const BYTE* row = GetRow(y);
        for (DWORD x = 0; x < width; x++) {
            int pixel = bpp == 8 ? row[x] : bpp == 4 ? (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F
                                                     : (row[x / 8] >> (7 - x % 8)) & 1;
            if (prefix < 0) {
                prefix = pixel;
                continue;
            }
            int32_t key = (int32_t(pixel) << kMaxCodeBits) + prefix;
            int slot = (pixel << kHashShift) ^ prefix;
            if (m_hash[size_t(slot)] == key) {
                prefix = m_codes[size_t(slot)];
                continue;
            }
            if (m_hash[size_t(slot)] >= 0) {
                // Secondary probing; the table always has empty slots.
                int step = slot == 0 ? 1 : kHashSize - slot;
                bool found = false;
                do {
                    slot -= step;
                    if (slot < 0)
                        slot += kHashSize;
                    if (m_hash[size_t(slot)] == key) {
                        found = true;
                        break;
                    }
                } while (m_hash[size_t(slot)] >= 0);
                if (found) {
                    prefix = m_codes[size_t(slot)];
                    continue;
                }
            }
            Output(file, prefix);
            prefix = pixel;
            if (m_freeCode < kMaxCodes) {
                m_codes[size_t(slot)] = WORD(m_freeCode++);
                m_hash[size_t(slot)] = key;
            } else {
                // The table is full: start again after a clear code.
                ClearHash();
                m_freeCode = m_clearCode + 2;
                m_clearPending = true;
                Output(file, m_clearCode);
            }
        }
    }
    Output(file, prefix);
    Output(file, m_endCode);
}

void CGifCodec::Output(FILE* file, int code)
{
    // Codes are packed least significant bit first.
    m_accumulator |= uint32_t(code) << m_accumulatorBits;
    m_accumulatorBits += m_codeBits;
    while (m_accumulatorBits >= 8) {
        PutByte(file, BYTE(m_accumulator));
        m_accumulator >>= 8;
        m_accumulatorBits -= 8;
    }
    if (m_freeCode > m_maxCode || m_clearPending) {
        if (m_clearPending) {
            m_codeBits = m_initialBits;
            m_maxCode = (1 << m_codeBits) - 1;
            m_clearPending = false;
        } else {
            m_codeBits++;
            m_maxCode = m_codeBits == kMaxCodeBits ? kMaxCodes : (1 << m_codeBits) - 1;
        }
    }
    if (code == m_endCode) {
        while (m_accumulatorBits > 0) {
            PutByte(file, BYTE(m_accumulator));
            m_accumulator >>= 8;
            m_accumulatorBits -= 8;
        }
        FlushPacket(file);
    }
}

void CGifCodec::PutByte(FILE* file, BYTE value)
{
    m_packet[m_packetLength++] = value;
    if (m_packetLength >= kMaxPacket)
        FlushPacket(file);
}

void CGifCodec::FlushPacket(FILE* file)
{
    if (m_packetLength == 0)
        return;
    std::fputc(m_packetLength, file);
    std::fwrite(m_packet, 1, size_t(m_packetLength), file);
    m_packetLength = 0;
}
