// The alpha layer of CxImage: width x height bytes, 0 transparent to 255
// opaque, scaled as a whole by the alpha maximum.
#include "image/Image.h"

#include <cstdlib>
#include <cstring>
#include <vector>

bool CxImage::CreateAlpha()
{
    if (m_dib == nullptr)
        return false;
    DeleteAlpha();
    m_alpha = static_cast<BYTE*>(std::calloc(size_t(GetWidth()) * GetHeight(), 1));
    if (m_alpha == nullptr)
        return false;
    if (GetBpp() == 24)
        m_info.colorKind = IMAGE_KIND_ALPHA;
    return true;
}

void CxImage::DeleteAlpha()
{
    // A ghost only forgets the borrowed layer.
    if (m_info.ghost == nullptr)
        std::free(m_alpha);
    m_alpha = nullptr;
    if (GetBpp() == 24)
        m_info.colorKind = IMAGE_KIND_RGB;
}

void CxImage::SetAllAlpha(BYTE value)
{
    if (m_alpha != nullptr)
        std::memset(m_alpha, value, size_t(GetWidth()) * GetHeight());
}

void CxImage::InvertAlpha()
{
    if (m_alpha == nullptr)
        return;
    size_t area = size_t(GetWidth()) * GetHeight();
    for (size_t i = 0; i < area; i++)
        m_alpha[i] = BYTE(~m_alpha[i]);
}

bool CxImage::CopyAlpha(const CxImage& from)
{
    if (&from == this || from.m_alpha == nullptr || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (m_alpha == nullptr && !CreateAlpha())
        return false;
    std::memcpy(m_alpha, from.m_alpha, size_t(GetWidth()) * GetHeight());
    m_info.alphaMax = from.m_info.alphaMax;
    return true;
}

BYTE CxImage::GetAlpha(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return 0;
    if (m_alpha == nullptr)
        return 255;
    return m_alpha[size_t(y) * GetWidth() + size_t(x)];
}

void CxImage::SetAlpha(LONG x, LONG y, BYTE value)
{
    if (m_alpha != nullptr && IsInside(x, y))
        m_alpha[size_t(y) * GetWidth() + size_t(x)] = value;
}

void CxImage::FlipAlpha()
{
    if (m_alpha == nullptr)
        return;
    const size_t width = GetWidth();
    std::vector<BYTE> line(width);
    for (size_t top = 0, bottom = GetHeight() - 1; top < bottom; top++, bottom--) {
        std::memcpy(line.data(), m_alpha + top * width, width);
        std::memcpy(m_alpha + top * width, m_alpha + bottom * width, width);
        std::memcpy(m_alpha + bottom * width, line.data(), width);
    }
}

void CxImage::MirrorAlpha()
{
    if (m_alpha == nullptr)
        return;
    const size_t width = GetWidth();
    for (size_t y = 0; y < GetHeight(); y++) {
        BYTE* row = m_alpha + y * width;
        for (size_t left = 0, right = width - 1; left < right; left++, right--) {
            BYTE value = row[left];
            row[left] = row[right];
            row[right] = value;
        }
    }
}

bool CxImage::HasPaletteAlpha() const
{
    const RGBQUAD* palette = GetPalette();
    if (palette == nullptr)
        return false;
    for (DWORD i = 0; i < GetPaletteEntries(); i++) {
        if (palette[i].rgbReserved != 0)
            return true;
    }
    return false;
}

void CxImage::StripAlpha()
{
    if (m_dib == nullptr)
        return;
    const bool paletteAlpha = GetBpp() <= 8 && GetPaletteAlphaFlag();
    if (m_alpha == nullptr && !paletteAlpha && m_info.alphaMax == 255)
        return;
    const RGBQUAD background = GetTransColor();
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    // Each pixel's alpha, with the palette's alpha multiplied in, taken
    // before a palette image becomes 24 bits.
    std::vector<BYTE> alpha(size_t(width) * size_t(height));
    for (LONG y = 0; y < height; y++) {
        for (LONG x = 0; x < width; x++) {
            unsigned a = m_alpha != nullptr ? m_alpha[size_t(y) * size_t(width) + size_t(x)] : 255;
            if (paletteAlpha)
                a = a * GetPaletteEntry(GetPixelIndex(x, y)).rgbReserved / 255;
            alpha[size_t(y) * size_t(width) + size_t(x)] = BYTE(a * m_info.alphaMax / 255);
        }
    }
    if (GetBpp() <= 8 && !IncreaseBpp(24))
        return;
    for (LONG y = 0; y < height; y++) {
        BYTE* pixel = GetRow(y);
        for (LONG x = 0; x < width; x++, pixel += 3) {
            unsigned a = alpha[size_t(y) * size_t(width) + size_t(x)];
            pixel[0] = BYTE((pixel[0] * a + background.rgbBlue * (255 - a)) / 255);
            pixel[1] = BYTE((pixel[1] * a + background.rgbGreen * (255 - a)) / 255);
            pixel[2] = BYTE((pixel[2] * a + background.rgbRed * (255 - a)) / 255);
        }
    }
    DeleteAlpha();
    m_info.alphaMax = 255;
    m_info.paletteAlpha = 0;
}
