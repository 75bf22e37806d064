// Resampling of CxImage to a new size.
#include "image/Image.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

// Per-row progress and escape of a resampling loop over the output rows.
bool ContinueRow(CxImage& source, LONG row, LONG rows)
{
    if (source.GetEscape() != 0)
        return false;
    source.SetProgress(int32_t(int64_t(row) * 100 / rows));
    return true;
}

// Source positions of the output pixels along one side, in exact integer
// arithmetic (an output pixel i sits at i x from / to source pixels): the
// whole source pixel and the remainder in units of 1 / to. Floating point
// gives a different whole pixel on x87 and SSE where the exact value is a
// whole number.
struct SourceSteps {
    std::vector<LONG> whole;
    std::vector<int64_t> rest;
    SourceSteps(LONG from, LONG to) : whole(size_t(to)), rest(size_t(to))
    {
        for (LONG i = 0; i < to; i++) {
            whole[size_t(i)] = LONG(int64_t(i) * from / to);
            rest[size_t(i)] = int64_t(i) * from % to;
        }
    }
};

bool ResizeNearest(CxImage& source, CxImage& result, const SourceSteps& columns, const SourceSteps& rows)
{
    const LONG width = LONG(result.GetWidth());
    const LONG height = LONG(result.GetHeight());
    const bool paletted = source.GetBpp() <= 8;
    for (LONG y = 0; y < height; y++) {
        if (!ContinueRow(source, y, height))
            return false;
        const LONG sourceY = rows.whole[size_t(y)];
        for (LONG x = 0; x < width; x++) {
            const LONG sourceX = columns.whole[size_t(x)];
            if (paletted)
                result.SetPixelIndex(x, y, source.GetPixelIndex(sourceX, sourceY));
            else
                std::memcpy(result.GetRow(y) + 3 * x, source.GetRow(sourceY) + 3 * sourceX, 3);
        }
    }
    return true;
}

// Adds weight thousandths of the pixel's blue, green and red to a column.
inline void AddWeighted(std::vector<int64_t>& sums, LONG column, const BYTE* pixel, int64_t weight)
{
    int64_t* sum = sums.data() + 3 * size_t(column);
    sum[0] += weight * pixel[0];
    sum[1] += weight * pixel[1];
    sum[2] += weight * pixel[2];
}

// The cells of area averaging along one side: cell k of `to` ends at source
// position (k + 1) x from / to. Positions are counted in units of 1 / to so
// that every comparison and weight is exact.
struct CellBoundary {
    int64_t from;
    int64_t to;
    // How far pixel p reaches past the end of cell k, in units of 1 / to;
    // the pixel crosses the boundary when this is above 0.
    int64_t Past(LONG p, LONG k) const { return (int64_t(p) + 1) * to - (int64_t(k) + 1) * from; }
    // The thousandths of the pixel past the boundary, truncated.
    int64_t Weight(int64_t past) const { return past <= 0 ? 0 : past >= to ? 1000 : past * 1000 / to; }
};

// Area averaging of a 24-bit picture that gets smaller both ways. Each
// output pixel is a cell of from / to source pixels each way; a source pixel
// crossed by a cell boundary splits its weight (in thousandths) between the
// cells. The sums are 64 bits: a cell of thousands of pixels overflows 32.
bool ResizeByArea(CxImage& source, CxImage& result)
{
    const LONG width = LONG(source.GetWidth());
    const LONG height = LONG(source.GetHeight());
    const LONG newWidth = LONG(result.GetWidth());
    const LONG newHeight = LONG(result.GetHeight());
    const CellBoundary across = { width, newWidth };
    const CellBoundary down = { height, newHeight };
    // A thousand times the pixels of a cell, truncated.
    const int64_t divisor = 1000 * int64_t(width) * height / (int64_t(newWidth) * newHeight);
    // One spare column takes what spills over the right edge.
    std::vector<int64_t> current(3 * size_t(newWidth) + 3), next(current.size());
    auto writeRow = [&](LONG row) {
        // No row past the new height, whatever the rounding of the cells.
        if (row >= newHeight)
            return;
        BYTE* target = result.GetRow(row);
        for (size_t i = 0; i < 3 * size_t(newWidth); i++) {
            int64_t value = (current[i] + divisor / 2) / divisor;
            target[i] = BYTE(value > 255 ? 255 : value);
        }
    };
    LONG row = 0;
    for (LONG y = 0; y < height; y++) {
        if (!ContinueRow(source, row < newHeight ? row : newHeight - 1, newHeight))
            return false;
        const int64_t pastRow = down.Past(y, row);
        const bool crossed = pastRow > 0;
        const int64_t v = down.Weight(pastRow);
        const BYTE* pixel = source.GetRow(y);
        LONG column = 0;
        for (LONG x = 0; x < width; x++, pixel += 3) {
            const int64_t pastColumn = across.Past(x, column);
            if (pastColumn > 0 && column < newWidth) {
                const int64_t w = across.Weight(pastColumn);
                // The four parts of a pixel on both boundaries add up to
                // the whole pixel.
                const int64_t both = v * w / 1000;
                AddWeighted(current, column, pixel, 1000 - v - w + both);
                AddWeighted(current, column + 1, pixel, w - both);
                AddWeighted(next, column, pixel, v - both);
                AddWeighted(next, column + 1, pixel, both);
                column++;
            } else {
                AddWeighted(current, column, pixel, 1000 - v);
                AddWeighted(next, column, pixel, v);
            }
        }
        if (crossed) {
            writeRow(row++);
            std::swap(current, next);
            std::fill(next.begin(), next.end(), 0);
        }
    }
    if (row < newHeight)
        writeRow(row);
    return true;
}

// Bilinear interpolation between the four source pixels around each output
// pixel; palette pictures are read through their palette and take the
// nearest entry. The fractions between the pixels are exact: dy is
// rows.rest / newHeight and dx columns.rest / newWidth, and the value is
// truncated once, from the exact product.
bool ResizeBilinear(CxImage& source, CxImage& result, const SourceSteps& columns, const SourceSteps& rows)
{
    const LONG width = LONG(source.GetWidth());
    const LONG height = LONG(source.GetHeight());
    const LONG newWidth = LONG(result.GetWidth());
    const LONG newHeight = LONG(result.GetHeight());
    const bool paletted = result.GetBpp() <= 8;
    // The nearest entries found so far, by colour: a picture repeats its
    // colours, and each is looked for in the palette once.
    const size_t kSlots = 4096;
    std::vector<uint32_t> cachedColor(paletted ? kSlots : 0, 0);
    std::vector<BYTE> cachedIndex(cachedColor.size(), 0);
    const int64_t cell = int64_t(newWidth) * newHeight;
    for (LONG y = 0; y < newHeight; y++) {
        if (!ContinueRow(source, y, newHeight))
            return false;
        const LONG y0 = rows.whole[size_t(y)];
        const LONG y1 = std::min(y0 + 1, height - 1);
        const int64_t dy = rows.rest[size_t(y)];
        for (LONG x = 0; x < newWidth; x++) {
            const LONG x0 = columns.whole[size_t(x)];
            const LONG x1 = std::min(x0 + 1, width - 1);
            const int64_t dx = columns.rest[size_t(x)];
            RGBQUAD corners[4] = { source.GetPixelColor(x0, y0), source.GetPixelColor(x0, y1),
                                   source.GetPixelColor(x1, y0), source.GetPixelColor(x1, y1) };
            const BYTE* c[4];
            for (int k = 0; k < 4; k++)
                c[k] = reinterpret_cast<const BYTE*>(&corners[k]);
            RGBQUAD value = {};
            BYTE* out = reinterpret_cast<BYTE*>(&value);
            for (int channel = 0; channel < 3; channel++) {
                // Left and right in units of 1 / newHeight, the value in
                // units of 1 / (newWidth x newHeight): never negative, and
                // at most 255 x 16384 x 16384.
                const int64_t left = c[0][channel] * int64_t(newHeight) + (int64_t(c[1][channel]) - c[0][channel]) * dy;
                const int64_t right = c[2][channel] * int64_t(newHeight) + (int64_t(c[3][channel]) - c[2][channel]) * dy;
                out[channel] = BYTE((left * newWidth + (right - left) * dx) / cell);
            }
            if (!paletted) {
                result.SetPixelColor(x, y, value);
                continue;
            }
            // Stored with 1 above the colour, so that 0 marks an empty slot.
            const uint32_t key = (uint32_t(value.rgbRed) << 16 | uint32_t(value.rgbGreen) << 8 | value.rgbBlue) + 1;
            const size_t slot = size_t((key * 2654435761u) >> 20) % kSlots;
            if (cachedColor[slot] != key) {
                cachedColor[slot] = key;
                cachedIndex[slot] = result.NearestIndex(value);
            }
            result.SetPixelIndex(x, y, cachedIndex[slot]);
        }
    }
    return true;
}

} // namespace

bool CxImage::Resize(DWORD newWidth, DWORD newHeight, int mode)
{
    if (newWidth == 0 || newHeight == 0 || m_dib == nullptr)
        return false;
    if (newWidth == GetWidth() && newHeight == GetHeight())
        return true;
    CxImage result;
    result.CopyInfo(*this);
    if (result.Create(newWidth, newHeight, GetBpp(), GetFormat()) == nullptr)
        return false;
    result.SetPalette(GetPalette(), GetPaletteEntries());
    // The working rows and tables are vectors; without memory for them the
    // picture stays as it was.
    try {
        const SourceSteps columns{ LONG(GetWidth()), LONG(newWidth) };
        const SourceSteps rows{ LONG(GetHeight()), LONG(newHeight) };
        bool done;
        if (mode != 0)
            done = ResizeNearest(*this, result, columns, rows);
        else if (GetBpp() == 24 && newWidth < GetWidth() && newHeight < GetHeight())
            done = ResizeByArea(*this, result);
        else
            done = ResizeBilinear(*this, result, columns, rows);
        if (!done)
            return false;
        if (HasAlpha()) {
            if (!result.CreateAlpha())
                return false;
            for (LONG y = 0; y < LONG(newHeight); y++)
                for (LONG x = 0; x < LONG(newWidth); x++)
                    result.SetAlpha(x, y, GetAlpha(columns.whole[size_t(x)], rows.whole[size_t(y)]));
        }
    } catch (const std::bad_alloc&) {
        SetLastError("can't allocate memory");
        return false;
    }
    TakeBuffers(result);
    return true;
}
