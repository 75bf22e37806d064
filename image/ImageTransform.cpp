// Geometric and colour transforms of CxImage. Those that make a new picture
// build it in a temporary image and take its buffers only on success.
#include "image/Image.h"
#include "image/ImageArithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

BYTE Grey(const RGBQUAD& c)
{
    return BYTE((c.rgbBlue * 11 + c.rgbGreen * 59 + c.rgbRed * 30) / 100);
}

// One in the fixed point of a turn's cosine and sine: 30 fractional bits.
// Positions times it stay far inside 64 bits for sides up to 16,384.
const int64_t kTurnOne = int64_t(1) << 30;

int ClampByte(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

// Floyd-Steinberg error rows: the row being done and the one below, with a
// spare column at each side.
class CErrorRows {
public:
    CErrorRows(size_t width, int channels)
        : m_channels(channels), m_current((width + 2) * size_t(channels)), m_below(m_current.size()) {}
    int Get(size_t x, int channel) const { return m_current[(x + 1) * size_t(m_channels) + size_t(channel)]; }
    // Spreads the error of pixel x: 7/16 right, 3/16 below left, 5/16 below
    // and 1/16 below right.
    void Spread(size_t x, int channel, int error)
    {
        size_t c = size_t(channel);
        size_t n = size_t(m_channels);
        m_current[(x + 2) * n + c] += error * 7 / 16;
        m_below[x * n + c] += error * 3 / 16;
        m_below[(x + 1) * n + c] += error * 5 / 16;
        m_below[(x + 2) * n + c] += error / 16;
    }
    void NextRow()
    {
        m_current.swap(m_below);
        std::fill(m_below.begin(), m_below.end(), 0);
    }

private:
    int m_channels;
    std::vector<int> m_current;
    std::vector<int> m_below;
};

} // namespace

bool CxImage::Flip()
{
    if (m_dib == nullptr)
        return false;
    const DWORD rowWidth = GetRowWidth();
    std::vector<BYTE> line(rowWidth);
    for (LONG top = LONG(GetHeight()) - 1, bottom = 0; bottom < top; top--, bottom++) {
        std::memcpy(line.data(), GetRow(top), rowWidth);
        std::memcpy(GetRow(top), GetRow(bottom), rowWidth);
        std::memcpy(GetRow(bottom), line.data(), rowWidth);
    }
    FlipAlpha();
    return true;
}

bool CxImage::Mirror()
{
    if (m_dib == nullptr)
        return false;
    const LONG width = LONG(GetWidth());
    for (LONG y = 0; y < LONG(GetHeight()); y++) {
        BYTE* row = GetRow(y);
        for (LONG left = 0, right = width - 1; left < right; left++, right--) {
            if (GetBpp() == 24) {
                for (int k = 0; k < 3; k++) {
                    BYTE value = row[3 * left + k];
                    row[3 * left + k] = row[3 * right + k];
                    row[3 * right + k] = value;
                }
            } else if (GetBpp() == 8) {
                BYTE value = row[left];
                row[left] = row[right];
                row[right] = value;
            } else {
                BYTE value = GetPixelIndex(left, y);
                SetPixelIndex(left, y, GetPixelIndex(right, y));
                SetPixelIndex(right, y, value);
            }
        }
    }
    MirrorAlpha();
    return true;
}

bool CxImage::Negative()
{
    if (m_dib == nullptr)
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    if (GetBpp() == 24) {
        for (LONG y = 0; y < height; y++) {
            BYTE* pixel = GetRow(y);
            for (LONG x = 0; x < width; x++, pixel += 3) {
                if (!IsSelected(x, y))
                    continue;
                pixel[0] = BYTE(255 - pixel[0]);
                pixel[1] = BYTE(255 - pixel[1]);
                pixel[2] = BYTE(255 - pixel[2]);
            }
        }
        RGBQUAD& key = m_info.transColor;
        key.rgbBlue = BYTE(255 - key.rgbBlue);
        key.rgbGreen = BYTE(255 - key.rgbGreen);
        key.rgbRed = BYTE(255 - key.rgbRed);
        return true;
    }
    const BYTE last = BYTE(GetPaletteEntries() - 1);
    if (IsGrayScale()) {
        // A grey ramp keeps its palette: the indices are turned round.
        for (LONG y = 0; y < height; y++)
            for (LONG x = 0; x < width; x++)
                SetPixelIndex(x, y, BYTE(last - GetPixelIndex(x, y)));
        if (m_info.transIndex >= 0 && m_info.transIndex <= last)
            m_info.transIndex = last - m_info.transIndex;
        return true;
    }
    RGBQUAD* palette = GetPalette();
    for (DWORD i = 0; i < GetPaletteEntries(); i++) {
        palette[i].rgbBlue = BYTE(255 - palette[i].rgbBlue);
        palette[i].rgbGreen = BYTE(255 - palette[i].rgbGreen);
        palette[i].rgbRed = BYTE(255 - palette[i].rgbRed);
    }
    return true;
}

bool CxImage::GrayScale()
{
    if (m_dib == nullptr)
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    if (GetBpp() <= 8) {
        RGBQUAD* palette = GetPalette();
        BYTE greys[256];
        for (DWORD i = 0; i < GetPaletteEntries(); i++)
            greys[i] = Grey(palette[i]);
        if (GetBpp() < 8) {
            for (DWORD i = 0; i < GetPaletteEntries(); i++)
                SetPaletteEntry(i, greys[i], greys[i], greys[i], palette[i].rgbReserved);
            return true;
        }
        // 8-bit pictures then index the grey ramp by their grey values.
        BYTE* pixels = GetPixels();
        for (DWORD i = 0; i < m_header.biSizeImage; i++)
            pixels[i] = greys[pixels[i]];
        SetGrayPalette();
        if (m_info.transIndex >= 0 && m_info.transIndex < 256)
            m_info.transIndex = greys[m_info.transIndex];
        return true;
    }
    CxImage grey;
    grey.CopyInfo(*this);
    if (grey.Create(GetWidth(), GetHeight(), 8, GetFormat()) == nullptr)
        return false;
    grey.SetGrayPalette();
    for (LONG y = 0; y < height; y++) {
        const BYTE* pixel = GetRow(y);
        BYTE* target = grey.GetRow(y);
        for (LONG x = 0; x < width; x++, pixel += 3)
            target[x] = BYTE((pixel[0] * 11 + pixel[1] * 59 + pixel[2] * 30) / 100);
    }
    if (m_info.transIndex >= 0)
        grey.m_info.transIndex = Grey(m_info.transColor);
    grey.CopyAlpha(*this);
    grey.CopySelection(*this);
    TakeBuffers(grey);
    return true;
}

bool CxImage::Rotate(double angle, CxImage* destination)
{
    if (m_dib == nullptr || !std::isfinite(angle))
        return false;
    // The cosine and sine in fixed point; after them every position is
    // integer arithmetic, so the x87 and SSE builds turn a picture alike.
    const double radians = angle * 3.14159265358979323846 / 180.0;
    const int64_t c = std::llround(std::cos(radians) * double(kTurnOne));
    const int64_t s = std::llround(std::sin(radians) * double(kTurnOne));
    const int64_t w = GetWidth();
    const int64_t h = GetHeight();
    // The bounding box of the turned corners, rounded.
    const int64_t newWidth = (std::llabs(w * c) + std::llabs(h * s) + kTurnOne / 2) / kTurnOne;
    const int64_t newHeight = (std::llabs(w * s) + std::llabs(h * c) + kTurnOne / 2) / kTurnOne;
    if (newWidth < 1 || newHeight < 1 || newWidth > kMaxImageSide || newHeight > kMaxImageSide)
        return false;
    CxImage turned;
    turned.CopyInfo(*this);
    if (turned.Create(DWORD(newWidth), DWORD(newHeight), GetBpp(), GetFormat()) == nullptr)
        return false;
    turned.SetPalette(GetPalette(), GetPaletteEntries());
    if (HasAlpha() && !turned.CreateAlpha())
        return false;
    for (int64_t y = 0; y < newHeight; y++) {
        if (GetEscape() != 0)
            return false;
        SetProgress(int32_t(y * 100 / newHeight));
        // Twice the pixel centre's offset from the middle of the picture.
        const int64_t dy = 2 * y + 1 - newHeight;
        for (int64_t x = 0; x < newWidth; x++) {
            // Each pixel takes the source pixel the turn brings onto it.
            const int64_t dx = 2 * x + 1 - newWidth;
            const int64_t sx = FloorDivide(dx * c + dy * s + w * kTurnOne, 2 * kTurnOne);
            const int64_t sy = FloorDivide(-dx * s + dy * c + h * kTurnOne, 2 * kTurnOne);
            if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                continue;
            const LONG ix = LONG(sx), iy = LONG(sy), tx = LONG(x), ty = LONG(y);
            if (GetBpp() <= 8)
                turned.SetPixelIndex(tx, ty, GetPixelIndex(ix, iy));
            else
                std::memcpy(turned.GetRow(ty) + 3 * tx, GetRow(iy) + 3 * ix, 3);
            turned.SetAlpha(tx, ty, GetAlpha(ix, iy));
        }
    }
    (destination != nullptr ? destination : this)->TakeBuffers(turned);
    return true;
}

bool CxImage::DecreaseBpp(DWORD bits, bool errorDiffusion, const RGBQUAD* palette)
{
    if (m_dib == nullptr || (bits != 1 && bits != 4 && bits != 8) || GetBpp() < bits)
        return false;
    if (GetBpp() == bits)
        return true;
    CxImage result;
    result.CopyInfo(*this);
    if (result.Create(GetWidth(), GetHeight(), bits, GetFormat()) == nullptr)
        return false;
    if (palette != nullptr)
        result.SetPalette(palette, result.GetPaletteEntries());
    else
        result.SetStandardPalette();
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    CErrorRows errors(size_t(width), 3);
    for (LONG y = height - 1; y >= 0; y--) {
        if (GetEscape() != 0)
            return false;
        SetProgress(int32_t(int64_t(height - 1 - y) * 100 / height));
        for (LONG x = 0; x < width; x++) {
            RGBQUAD color = GetPixelColor(x, y);
            if (errorDiffusion) {
                color.rgbBlue = BYTE(ClampByte(color.rgbBlue + errors.Get(size_t(x), 0)));
                color.rgbGreen = BYTE(ClampByte(color.rgbGreen + errors.Get(size_t(x), 1)));
                color.rgbRed = BYTE(ClampByte(color.rgbRed + errors.Get(size_t(x), 2)));
            }
            BYTE index = result.NearestIndex(color);
            result.SetPixelIndex(x, y, index);
            if (errorDiffusion) {
                RGBQUAD chosen = result.GetPaletteEntry(index);
                errors.Spread(size_t(x), 0, int(color.rgbBlue) - chosen.rgbBlue);
                errors.Spread(size_t(x), 1, int(color.rgbGreen) - chosen.rgbGreen);
                errors.Spread(size_t(x), 2, int(color.rgbRed) - chosen.rgbRed);
            }
        }
        errors.NextRow();
    }
    if (m_info.transIndex >= 0)
        result.m_info.transIndex = result.NearestIndex(GetTransColor());
    result.CopyAlpha(*this);
    result.CopySelection(*this);
    TakeBuffers(result);
    return true;
}

bool CxImage::IncreaseBpp(DWORD bits)
{
    if (m_dib == nullptr)
        return false;
    if (bits == GetBpp())
        return true;
    if (GetBpp() > 8 || bits < GetBpp() || (bits != 4 && bits != 8 && bits != 24))
        return false;
    CxImage result;
    result.CopyInfo(*this);
    if (result.Create(GetWidth(), GetHeight(), bits, GetFormat()) == nullptr)
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    if (bits <= 8)
        result.SetPalette(GetPalette(), GetPaletteEntries());
    else if (m_info.transIndex >= 0)
        result.m_info.transColor = GetTransColor();
    for (LONG y = 0; y < height; y++) {
        for (LONG x = 0; x < width; x++) {
            if (bits <= 8)
                result.SetPixelIndex(x, y, GetPixelIndex(x, y));
            else
                result.SetPixelColor(x, y, GetPixelColor(x, y));
        }
    }
    result.CopyAlpha(*this);
    result.CopySelection(*this);
    TakeBuffers(result);
    return true;
}

bool CxImage::Dither(long method)
{
    if (m_dib == nullptr)
        return false;
    if (GetBpp() == 1)
        return true;
    static const int kOrder[4][4] = { { 0, 8, 2, 10 }, { 12, 4, 14, 6 }, { 3, 11, 1, 9 }, { 15, 7, 13, 5 } };
    CxImage result;
    result.CopyInfo(*this);
    if (result.Create(GetWidth(), GetHeight(), 1, GetFormat()) == nullptr)
        return false;
    result.SetPaletteEntry(0, 0, 0, 0);
    result.SetPaletteEntry(1, 255, 255, 255);
    result.m_info.transIndex = -1;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    CErrorRows errors(size_t(width), 1);
    for (LONG y = height - 1; y >= 0; y--) {
        if (GetEscape() != 0)
            return false;
        SetProgress(int32_t(int64_t(height - 1 - y) * 100 / height));
        for (LONG x = 0; x < width; x++) {
            int grey = Grey(GetPixelColor(x, y));
            bool white;
            if (method == 1) {
                int level = grey * 16 / 255;
                white = level == 16 || kOrder[y % 4][x % 4] < (level & 15);
            } else {
                int value = grey + errors.Get(size_t(x), 0);
                white = value > 128;
                errors.Spread(size_t(x), 0, value - (white ? 255 : 0));
            }
            result.SetPixelIndex(x, y, white ? 1 : 0);
        }
        errors.NextRow();
    }
    result.CopyAlpha(*this);
    result.CopySelection(*this);
    TakeBuffers(result);
    return true;
}

bool CxImage::Crop(LONG left, LONG top, LONG right, LONG bottom, CxImage* destination)
{
    if (m_dib == nullptr)
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    auto clamp = [](LONG v, LONG high) { return v < 0 ? 0 : v > high ? high : v; };
    left = clamp(left, width);
    right = clamp(right, width);
    top = clamp(top, height);
    bottom = clamp(bottom, height);
    if (right <= left || bottom <= top)
        return false;
    CxImage cropped;
    cropped.CopyInfo(*this);
    if (cropped.Create(DWORD(right - left), DWORD(bottom - top), GetBpp(), GetFormat()) == nullptr)
        return false;
    cropped.SetPalette(GetPalette(), GetPaletteEntries());
    if (HasAlpha() && !cropped.CreateAlpha())
        return false;
    // The rectangle counts rows from the top; stored rows count from the
    // bottom, so its lowest stored row is height - bottom.
    const LONG first = height - bottom;
    for (LONG y = 0; y < bottom - top; y++) {
        if (GetBpp() >= 8) {
            size_t bytes = GetBpp() / 8;
            std::memcpy(cropped.GetRow(y), GetRow(first + y) + size_t(left) * bytes, size_t(right - left) * bytes);
        } else {
            for (LONG x = left; x < right; x++)
                cropped.SetPixelIndex(x - left, y, GetPixelIndex(x, first + y));
        }
        if (HasAlpha()) {
            for (LONG x = left; x < right; x++)
                cropped.SetAlpha(x - left, y, GetAlpha(x, first + y));
        }
    }
    (destination != nullptr ? destination : this)->TakeBuffers(cropped);
    return true;
}
