// Palette and pixel access of CxImage.
#include "image/Image.h"

#include <cstring>

namespace {

RGBQUAD MakeQuad(BYTE red, BYTE green, BYTE blue, BYTE extra = 0)
{
    RGBQUAD quad;
    quad.rgbBlue = blue;
    quad.rgbGreen = green;
    quad.rgbRed = red;
    quad.rgbReserved = extra;
    return quad;
}

// The sixteen colours of the standard 4-bit palette, red, green, blue.
const BYTE kStandard16[16][3] = {
    { 0, 0, 0 },       { 128, 0, 0 },   { 0, 128, 0 },   { 128, 128, 0 },
    { 0, 0, 128 },     { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 },
    { 128, 128, 128 }, { 255, 0, 0 },   { 0, 255, 0 },   { 255, 255, 0 },
    { 0, 0, 255 },     { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 },
};

} // namespace

bool CxImage::SetPaletteEntry(DWORD index, BYTE red, BYTE green, BYTE blue, BYTE extra)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr || index >= GetPaletteEntries())
        return false;
    palette[index] = MakeQuad(red, green, blue, extra);
    return true;
}

bool CxImage::SetPaletteColor(DWORD index, COLORREF color)
{
    return SetPaletteEntry(index, GetRValue(color), GetGValue(color), GetBValue(color));
}

RGBQUAD CxImage::GetPaletteEntry(DWORD index) const
{
    const RGBQUAD* palette = GetPalette();
    if (palette == nullptr || index >= GetPaletteEntries())
        return MakeQuad(0, 0, 0);
    return palette[index];
}

bool CxImage::GetPaletteEntry(DWORD index, BYTE* red, BYTE* green, BYTE* blue) const
{
    const RGBQUAD* palette = GetPalette();
    if (palette == nullptr || index >= GetPaletteEntries())
        return false;
    *red = palette[index].rgbRed;
    *green = palette[index].rgbGreen;
    *blue = palette[index].rgbBlue;
    return true;
}

RGBQUAD* CxImage::GetPalette() const
{
    if (m_dib == nullptr || GetPaletteEntries() == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(m_dib + sizeof(BITMAPINFOHEADER));
}

void CxImage::SetPalette(DWORD count, const BYTE* red, const BYTE* green, const BYTE* blue)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr || red == nullptr || green == nullptr || blue == nullptr)
        return;
    count = count < GetPaletteEntries() ? count : GetPaletteEntries();
    for (DWORD i = 0; i < count; i++)
        palette[i] = MakeQuad(red[i], green[i], blue[i]);
}

void CxImage::SetPalette(const BYTE* rgbTriples, DWORD count)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr || rgbTriples == nullptr)
        return;
    count = count < GetPaletteEntries() ? count : GetPaletteEntries();
    for (DWORD i = 0; i < count; i++)
        palette[i] = MakeQuad(rgbTriples[3 * i], rgbTriples[3 * i + 1], rgbTriples[3 * i + 2]);
}

void CxImage::SetPalette(const RGBQUAD* entries, DWORD count)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr || entries == nullptr)
        return;
    count = count < GetPaletteEntries() ? count : GetPaletteEntries();
    std::memcpy(palette, entries, count * sizeof(RGBQUAD));
}

void CxImage::SetGrayPalette()
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return;
    DWORD entries = GetPaletteEntries();
    for (DWORD i = 0; i < entries; i++) {
        BYTE grey = BYTE(i * 255 / (entries - 1));
        palette[i] = MakeQuad(grey, grey, grey);
    }
}

bool CxImage::IsGrayScale() const
{
    const RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return false;
    DWORD entries = GetPaletteEntries();
    for (DWORD i = 0; i < entries; i++) {
        BYTE grey = BYTE(i * 255 / (entries - 1));
        if (palette[i].rgbRed != grey || palette[i].rgbGreen != grey || palette[i].rgbBlue != grey)
            return false;
    }
    return true;
}

void CxImage::SetStandardPalette()
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return;
    DWORD entries = GetPaletteEntries();
    if (entries == 2) {
        palette[0] = MakeQuad(0, 0, 0);
        palette[1] = MakeQuad(255, 255, 255);
        return;
    }
    for (DWORD i = 0; i < 16 && i < entries; i++)
        palette[i] = MakeQuad(kStandard16[i][0], kStandard16[i][1], kStandard16[i][2]);
    if (entries < 256)
        return;
    // A 6 x 6 x 6 colour cube, then 24 greys between black and white.
    DWORD i = 16;
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 6; g++)
            for (int b = 0; b < 6; b++)
                palette[i++] = MakeQuad(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51));
    for (int k = 1; i < 256; k++, i++) {
        BYTE grey = BYTE(k * 255 / 25);
        palette[i] = MakeQuad(grey, grey, grey);
    }
}

BYTE CxImage::NearestIndex(RGBQUAD color) const
{
    const RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return 0;
    long best = 200000;
    BYTE index = 0;
    DWORD entries = GetPaletteEntries();
    for (DWORD i = 0; i < entries; i++) {
        long dr = long(palette[i].rgbRed) - color.rgbRed;
        long dg = long(palette[i].rgbGreen) - color.rgbGreen;
        long db = long(palette[i].rgbBlue) - color.rgbBlue;
        long distance = dr * dr + dg * dg + db * db;
        if (distance == 0)
            return BYTE(i);
        if (distance < best) {
            best = distance;
            index = BYTE(i);
        }
    }
    return index;
}

void CxImage::BlendPalette(COLORREF color, long percent)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return;
    long p = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    DWORD entries = GetPaletteEntries();
    for (DWORD i = 0; i < entries; i++) {
        palette[i].rgbRed = BYTE((palette[i].rgbRed * (100 - p) + GetRValue(color) * p) / 100);
        palette[i].rgbGreen = BYTE((palette[i].rgbGreen * (100 - p) + GetGValue(color) * p) / 100);
        palette[i].rgbBlue = BYTE((palette[i].rgbBlue * (100 - p) + GetBValue(color) * p) / 100);
    }
}

void CxImage::SwapIndex(BYTE a, BYTE b)
{
    RGBQUAD* palette = GetPalette();
    if (palette == nullptr || a >= GetPaletteEntries() || b >= GetPaletteEntries() || a == b)
        return;
    RGBQUAD entry = palette[a];
    palette[a] = palette[b];
    palette[b] = entry;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    for (LONG y = 0; y < height; y++) {
        for (LONG x = 0; x < width; x++) {
            BYTE index = GetPixelIndex(x, y);
            if (index == a)
                SetPixelIndex(x, y, b);
            else if (index == b)
                SetPixelIndex(x, y, a);
        }
    }
}

BYTE CxImage::GetPixelIndex(LONG x, LONG y) const
{
    if (!IsInside(x, y) || GetBpp() > 8)
        return 0;
    const BYTE* row = GetRow(y);
    switch (GetBpp()) {
    case 8:
        return row[x];
    case 4:
        return BYTE((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    default:
        return BYTE((row[x / 8] >> (7 - x % 8)) & 1);
    }
}

void CxImage::SetPixelIndex(LONG x, LONG y, BYTE index)
{
    if (!IsInside(x, y) || GetBpp() > 8)
        return;
    BYTE* row = GetRow(y);
    switch (GetBpp()) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        int shift = x % 2 == 0 ? 4 : 0;
        row[x / 2] = BYTE((row[x / 2] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    default: {
        int shift = 7 - x % 8;
        row[x / 8] = BYTE((row[x / 8] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    }
}

RGBQUAD CxImage::GetPixelColor(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return MakeQuad(0, 0, 0);
    if (GetBpp() <= 8)
        return GetPaletteEntry(GetPixelIndex(x, y));
    const BYTE* pixel = GetRow(y) + 3 * x;
    return MakeQuad(pixel[2], pixel[1], pixel[0]);
}

void CxImage::SetPixelColor(LONG x, LONG y, RGBQUAD color)
{
    if (!IsInside(x, y))
        return;
    if (GetBpp() <= 8) {
        SetPixelIndex(x, y, NearestIndex(color));
        return;
    }
    BYTE* pixel = GetRow(y) + 3 * x;
    pixel[0] = color.rgbBlue;
    pixel[1] = color.rgbGreen;
    pixel[2] = color.rgbRed;
}

RGBQUAD CxImage::GetTransColor() const
{
    if (GetBpp() <= 8 && m_info.transIndex >= 0 && DWORD(m_info.transIndex) < GetPaletteEntries())
        return GetPaletteEntry(DWORD(m_info.transIndex));
    return m_info.transColor;
}

void CxImage::Clear(BYTE value)
{
    if (m_dib != nullptr)
        std::memset(GetPixels(), value, m_header.biSizeImage);
}
