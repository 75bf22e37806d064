// Resampling of CxImage to a new size.
#include "image/Image.h"

#include <algorithm>
#include <cstring>
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

bool ResizeNearest(CxImage& source, CxImage& result, double sx, double sy)
{
    const LONG width = LONG(result.GetWidth());
    const LONG height = LONG(result.GetHeight());
    const bool paletted = source.GetBpp() <= 8;
    for (LONG y = 0; y < height; y++) {
        if (!ContinueRow(source, y, height))
            return false;
        LONG sourceY = LONG(y * sy);
        for (LONG x = 0; x < width; x++) {
            LONG sourceX = LONG(x * sx);
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

// Area averaging of a 24-bit picture that gets smaller both ways. Each
// output pixel is a cell of sx x sy source pixels; a source pixel crossed by
// a cell boundary splits its weight (in thousandths) between the cells. The
// sums are 64 bits: a cell of thousands of pixels overflows 32.
bool ResizeByArea(CxImage& source, CxImage& result, double sx, double sy)
{
    const LONG width = LONG(source.GetWidth());
    const LONG height = LONG(source.GetHeight());
    const LONG newWidth = LONG(result.GetWidth());
    const LONG newHeight = LONG(result.GetHeight());
    const int64_t divisor = int64_t(1000.0 * sx * sy);
    // One spare column takes what spills over the right edge.
    std::vector<int64_t> current(3 * size_t(newWidth) + 3), next(current.size());
    auto weightPast = [](double position, double boundary) {
        int64_t weight = int64_t((position - boundary) * 1000.0);
        return weight < 0 ? 0 : weight > 1000 ? 1000 : weight;
    };
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
    double rowBoundary = sy - 1.0;
    for (LONG y = 0; y < height; y++) {
        if (!ContinueRow(source, row < newHeight ? row : newHeight - 1, newHeight))
            return false;
        const bool crossed = y > rowBoundary;
        const int64_t v = crossed ? weightPast(y, rowBoundary) : 0;
        const BYTE* pixel = source.GetRow(y);
        LONG column = 0;
        double columnBoundary = sx - 1.0;
        for (LONG x = 0; x < width; x++, pixel += 3) {
            if (x > columnBoundary && column < newWidth) {
                const int64_t w = weightPast(x, columnBoundary);
                // The four parts of a pixel on both boundaries add up to
                // the whole pixel.
                const int64_t both = v * w / 1000;
                AddWeighted(current, column, pixel, 1000 - v - w + both);
                AddWeighted(current, column + 1, pixel, w - both);
                AddWeighted(next, column, pixel, v - both);
                AddWeighted(next, column + 1, pixel, both);
                column++;
                columnBoundary = (column + 1) * sx - 1.0;
            } else {
                AddWeighted(current, column, pixel, 1000 - v);
                AddWeighted(next, column, pixel, v);
            }
        }
        if (crossed) {
            writeRow(row++);
            std::swap(current, next);
            std::fill(next.begin(), next.end(), 0);
            rowBoundary = (row + 1) * sy - 1.0;
        }
    }
    if (row < newHeight)
        writeRow(row);
    return true;
}

// Bilinear interpolation between the four source pixels around each output
// pixel; palette pictures are read through their palette and take the
// nearest entry.
bool ResizeBilinear(CxImage& source, CxImage& result, double sx, double sy)
{
    const LONG width = LONG(source.GetWidth());
    const LONG height = LONG(source.GetHeight());
    const LONG newWidth = LONG(result.GetWidth());
    const LONG newHeight = LONG(result.GetHeight());
    for (LONG y = 0; y < newHeight; y++) {
        if (!ContinueRow(source, y, newHeight))
            return false;
        const double fy = y * sy;
        const LONG y0 = LONG(fy);
        const LONG y1 = std::min(y0 + 1, height - 1);
        const double dy = fy - y0;
        for (LONG x = 0; x < newWidth; x++) {
            const double fx = x * sx;
            const LONG x0 = LONG(fx);
            const LONG x1 = std::min(x0 + 1, width - 1);
            const double dx = fx - x0;
            RGBQUAD corners[4] = { source.GetPixelColor(x0, y0), source.GetPixelColor(x0, y1),
                                   source.GetPixelColor(x1, y0), source.GetPixelColor(x1, y1) };
            const BYTE* c[4];
            for (int k = 0; k < 4; k++)
                c[k] = reinterpret_cast<const BYTE*>(&corners[k]);
            RGBQUAD value = {};
            BYTE* out = reinterpret_cast<BYTE*>(&value);
            for (int channel = 0; channel < 3; channel++) {
                // Written as a start plus a step, so equal neighbours give
                // their value exactly.
                double left = c[0][channel] + (double(c[1][channel]) - c[0][channel]) * dy;
                double right = c[2][channel] + (double(c[3][channel]) - c[2][channel]) * dy;
                out[channel] = BYTE(left + (right - left) * dx);
            }
            result.SetPixelColor(x, y, value);
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
    const double sx = double(GetWidth()) / newWidth;
    const double sy = double(GetHeight()) / newHeight;
    CxImage result;
    result.CopyInfo(*this);
    if (result.Create(newWidth, newHeight, GetBpp(), GetFormat()) == nullptr)
        return false;
    result.SetPalette(GetPalette(), GetPaletteEntries());
    bool done;
    if (mode != 0)
        done = ResizeNearest(*this, result, sx, sy);
    else if (GetBpp() == 24 && newWidth < GetWidth() && newHeight < GetHeight())
        done = ResizeByArea(*this, result, sx, sy);
    else
        done = ResizeBilinear(*this, result, sx, sy);
    if (!done)
        return false;
    if (HasAlpha()) {
        if (!result.CreateAlpha())
            return false;
        for (LONG y = 0; y < LONG(newHeight); y++)
            for (LONG x = 0; x < LONG(newWidth); x++)
                result.SetAlpha(x, y, GetAlpha(LONG(x * sx), LONG(y * sy)));
    }
    TakeBuffers(result);
    return true;
}
