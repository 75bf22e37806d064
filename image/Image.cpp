#include "image/Image.h"

#include <cstdlib>
#include <cstring>

#include "image/BmpCodec.h"
#include "image/GifCodec.h"
#include "image/ImageArithmetic.h"
#include "image/JpegCodec.h"
#include "image/PngCodec.h"

namespace {

// Pels per metre of a resolution in dots per inch, rounded half up, and held
// in a 32-bit value whatever resolution a file claimed. Integer arithmetic:
// the same on every build.
LONG PelsPerMetre(int32_t dpi)
{
    const int64_t pels = FloorDivide(int64_t(dpi) * 10000 + 127, 254);
    return pels > 2147483647 ? LONG(2147483647) : pels < -2147483647 - 1 ? LONG(-2147483647 - 1) : LONG(pels);
}

int32_t DotsPerInch(LONG pelsPerMetre)
{
    return int32_t(FloorDivide(int64_t(pelsPerMetre) * 254 + 5000, 10000));
}

} // namespace

CxImage::CxImage(DWORD format)
{
    Reset(format);
}

CxImage::CxImage(DWORD width, DWORD height, DWORD bpp, DWORD format)
{
    Reset(format);
    Create(width, height, bpp, IMAGE_FORMAT_BMP);
}

CxImage::CxImage(const CxImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    Reset(source.GetFormat());
    Copy(source, copyPixels, copySelection, copyAlpha);
}

CxImage::CxImage(const char* fileName, DWORD format)
{
    Reset(format);
    Load(fileName, format);
}

CxImage::CxImage(FILE* file, DWORD format)
{
    Reset(format);
    Decode(file, format);
}

CxImage::~CxImage()
{
    FreeBuffers();
}

CxImage& CxImage::operator=(const CxImage& source)
{
    Copy(source, true, true, true);
    return *this;
}

void CxImage::Reset(DWORD format)
{
    m_dib = nullptr;
    m_selection = nullptr;
    m_alpha = nullptr;
    std::memset(&m_header, 0, sizeof m_header);
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_info = CxImageInfo();
    m_info.format = format;
    m_info.jpegQuality = 75;
    m_info.alphaMax = 255;
    m_info.transIndex = -1;
    m_info.enabled = 1;
    SetXDpi(72);
    SetYDpi(72);
}

void CxImage::FreeBuffers()
{
    if (m_info.ghost == nullptr) {
        std::free(m_dib);
        std::free(m_selection);
        std::free(m_alpha);
    }
    m_dib = nullptr;
    m_selection = nullptr;
    m_alpha = nullptr;
    m_info.ghost = nullptr;
    m_info.pixels = nullptr;
}

void CxImage::SetLastError(const char* text)
{
    std::strncpy(m_info.lastError, text, sizeof m_info.lastError - 1);
    m_info.lastError[sizeof m_info.lastError - 1] = '\0';
}

void CxImage::CopyInfo(const CxImage& source)
{
    if (&source == this)
        return;
    m_info = source.m_info;
    m_info.ghost = nullptr;
    m_info.pixels = nullptr;
    m_info.rowWidth = 0;
}

void CxImage::Copy(const CxImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (&source == this)
        return;
    FreeBuffers();
    CopyInfo(source);
    std::memset(&m_header, 0, sizeof m_header);
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    if (source.m_dib == nullptr)
        return;
    if (Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.GetFormat()) == nullptr)
        return;
    if (copyPixels) {
        std::memcpy(m_dib, source.m_dib, GetDibSize());
    } else {
        DWORD entries = GetPaletteEntries() < 256 ? GetPaletteEntries() : 256;
        if (entries > 0)
            std::memcpy(GetPalette(), source.GetPalette(), entries * sizeof(RGBQUAD));
    }
    size_t area = size_t(GetWidth()) * GetHeight();
    if (copySelection && source.m_selection != nullptr) {
        m_selection = static_cast<BYTE*>(std::malloc(area));
        if (m_selection != nullptr) {
            std::memcpy(m_selection, source.m_selection, area);
            m_info.selectionBox = source.m_info.selectionBox;
        }
    }
    if (copyAlpha && source.m_alpha != nullptr) {
        m_alpha = static_cast<BYTE*>(std::malloc(area));
        if (m_alpha != nullptr) {
            std::memcpy(m_alpha, source.m_alpha, area);
            if (GetBpp() == 24)
                m_info.colorKind = IMAGE_KIND_ALPHA;
        }
    }
}

BYTE* CxImage::Create(DWORD width, DWORD height, DWORD bpp, DWORD format)
{
    bool hadSelection = m_selection != nullptr;
    bool hadAlpha = m_alpha != nullptr;
    FreeBuffers();
    std::memset(&m_header, 0, sizeof m_header);
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_info.rowWidth = 0;
    if (!IsImageSizeAllowed(width, height))
        return nullptr;

    bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
    DWORD entries = bpp == 24 ? 0 : DWORD(1) << bpp;
    // At most 16384 * 24 bits per row and 64M pixels: well inside 32 bits.
    DWORD rowWidth = DWORD((uint64_t(bpp) * width + 31) / 32 * 4);
    size_t size = sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD) + size_t(rowWidth) * height;
    // Zero-filled: a short read leaves black pixels, never stale memory.
    m_dib = static_cast<BYTE*>(std::calloc(1, size));
    if (m_dib == nullptr)
        return nullptr;

    m_header.biWidth = LONG(width);
    m_header.biHeight = LONG(height);
    m_header.biPlanes = 1;
    m_header.biBitCount = WORD(bpp);
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = rowWidth * height;
    m_header.biXPelsPerMeter = PelsPerMetre(m_info.xDpi);
    m_header.biYPelsPerMeter = PelsPerMetre(m_info.yDpi);
    m_header.biClrUsed = entries;
    m_header.biClrImportant = 0;
    m_info.rowWidth = rowWidth;
    m_info.pixels = m_dib + sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD);
    m_info.format = format;
    m_info.colorKind = bpp <= 8 ? IMAGE_KIND_PALETTE : IMAGE_KIND_RGB;
    if (hadSelection)
        CreateSelection();
    if (hadAlpha)
        CreateAlpha();
    std::memcpy(m_dib, &m_header, sizeof m_header);
    return m_dib;
}

void CxImage::TakeBuffers(CxImage& source)
{
    if (&source == this)
        return;
    if (source.m_info.ghost != nullptr) {
        // Borrowed buffers can't change owner: take a copy instead.
        Copy(source);
        return;
    }
    FreeBuffers();
    m_header = source.m_header;
    m_info = source.m_info;
    m_dib = source.m_dib;
    m_selection = source.m_selection;
    m_alpha = source.m_alpha;
    source.m_dib = nullptr;
    source.m_selection = nullptr;
    source.m_alpha = nullptr;
    std::memset(&source.m_header, 0, sizeof source.m_header);
    source.m_info = CxImageInfo();
}

void CxImage::Ghost(const CxImage& source)
{
    if (&source == this)
        return;
    FreeBuffers();
    m_header = source.m_header;
    m_info = source.m_info;
    m_dib = source.m_dib;
    m_selection = source.m_selection;
    m_alpha = source.m_alpha;
    m_info.ghost = &source;
}

bool CxImage::Load(const char* fileName, DWORD format)
{
    return LoadFile(fileName != nullptr ? std::fopen(fileName, "rb") : nullptr, format);
}

bool CxImage::Save(const char* fileName, DWORD format)
{
    return SaveFile(fileName != nullptr ? std::fopen(fileName, "wb") : nullptr, format);
}

bool CxImage::LoadFile(FILE* file, DWORD format)
{
    if (file == nullptr)
        return false;
    bool ok = Decode(file, format);
    std::fclose(file);
    return ok;
}

bool CxImage::SaveFile(FILE* file, DWORD format)
{
    if (file == nullptr)
        return false;
    bool ok = Encode(file, format);
    // A close that fails has lost buffered bytes.
    if (std::fclose(file) != 0)
        ok = false;
    return ok;
}

template <class Codec>
bool CxImage::RunCodec(FILE* file, bool decode)
{
    Codec codec;
    bool ok;
    if (decode) {
        codec.SetFrame(GetFrame());
        ok = codec.Decode(file);
    } else {
        codec.Ghost(*this);
        ok = codec.Encode(file);
    }
    if (!ok) {
        SetLastError(codec.GetLastError());
        return false;
    }
    if (decode)
        TakeBuffers(codec);
    return true;
}

bool CxImage::RunCodec(FILE* file, DWORD format, bool decode)
{
    if (file == nullptr)
        return false;
    switch (format) {
    case IMAGE_FORMAT_BMP:
        return RunCodec<CBmpCodec>(file, decode);
    case IMAGE_FORMAT_GIF:
        return RunCodec<CGifCodec>(file, decode);
    case IMAGE_FORMAT_JPEG:
        return RunCodec<CJpegCodec>(file, decode);
    case IMAGE_FORMAT_PNG:
        return RunCodec<CPngCodec>(file, decode);
    }
    SetLastError("Unsupported operation for this format");
    return false;
}

bool CxImage::Decode(FILE* file, DWORD format)
{
    return RunCodec(file, format, true);
}

bool CxImage::Encode(FILE* file, DWORD format)
{
    return RunCodec(file, format, false);
}

DWORD CxImage::GetDibSize() const
{
    if (m_dib == nullptr)
        return 0;
    return DWORD(sizeof(BITMAPINFOHEADER) + GetPaletteEntries() * sizeof(RGBQUAD) + m_header.biSizeImage);
}

bool CxImage::IsInside(LONG x, LONG y) const
{
    return m_dib != nullptr && x >= 0 && y >= 0 && x < m_header.biWidth && y < m_header.biHeight;
}

BYTE* CxImage::GetRow(LONG y) const
{
    if (m_dib == nullptr || y < 0 || y >= m_header.biHeight)
        return nullptr;
    return m_info.pixels + size_t(y) * m_info.rowWidth;
}

void CxImage::SetXDpi(int32_t dpi)
{
    m_info.xDpi = dpi;
    m_header.biXPelsPerMeter = PelsPerMetre(dpi);
    if (m_dib != nullptr && m_info.ghost == nullptr)
        reinterpret_cast<BITMAPINFOHEADER*>(m_dib)->biXPelsPerMeter = m_header.biXPelsPerMeter;
}

void CxImage::SetYDpi(int32_t dpi)
{
    m_info.yDpi = dpi;
    m_header.biYPelsPerMeter = PelsPerMetre(dpi);
    if (m_dib != nullptr && m_info.ghost == nullptr)
        reinterpret_cast<BITMAPINFOHEADER*>(m_dib)->biYPelsPerMeter = m_header.biYPelsPerMeter;
}

void CxImage::SetResolution(LONG xPelsPerMetre, LONG yPelsPerMetre)
{
    SetXDpi(DotsPerInch(xPelsPerMetre));
    SetYDpi(DotsPerInch(yPelsPerMetre));
}
