// The selection mask of CxImage: width x height bytes, non-zero inside, with
// a bounding box whose rows are counted from the bottom (top > bottom).
#include "image/Image.h"
#include "image/ImageArithmetic.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

LONG Clamp(LONG value, LONG low, LONG high)
{
    return value < low ? low : value > high ? high : value;
}

// Widens the bounding box (rows counted from the bottom) to take in the
// columns left..right and the rows bottom..top.
void GrowBox(RECT& box, LONG left, LONG right, LONG bottom, LONG top)
{
    box.left = std::min(box.left, left);
    box.right = std::max(box.right, right);
    box.bottom = std::min(box.bottom, bottom);
    box.top = std::max(box.top, top);
}

// The farthest a polygon's point may lie from the picture's corner, each
// way.
const long kFarthestPoint = 1L << 28;

// A 128-bit unsigned number, high and low halves.
struct Wide {
    uint64_t high;
    uint64_t low;
};

Wide Square(uint64_t v)
{
    const uint64_t a = v >> 32, b = v & 0xFFFFFFFFu, ab = a * b;
    // v^2 is a^2 2^64 + 2ab 2^32 + b^2.
    Wide square = { a * a + (ab >> 31), b * b };
    const uint64_t middle = ab << 33;
    square.low += middle;
    square.high += square.low < middle ? 1 : 0;
    return square;
}

// Whether a^2 + b^2 <= c^2, exactly.
bool SquaresWithin(uint64_t a, uint64_t b, uint64_t c)
{
    const Wide x = Square(a), y = Square(b), z = Square(c);
    const uint64_t low = x.low + y.low;
    const uint64_t high = x.high + y.high + (low < x.low ? 1 : 0);
    // A sum past 2^128 wraps below x.high; it is above any c^2.
    if (high < x.high)
        return false;
    return high < z.high || (high == z.high && low <= z.low);
}

} // namespace

bool CxImage::CreateSelection()
{
    if (m_dib == nullptr)
        return false;
    DeleteSelection();
    m_selection = static_cast<BYTE*>(std::calloc(size_t(GetWidth()) * GetHeight(), 1));
    if (m_selection == nullptr)
        return false;
    ClearSelection();
    return true;
}

void CxImage::DeleteSelection()
{
    if (m_info.ghost == nullptr)
        std::free(m_selection);
    m_selection = nullptr;
}

void CxImage::ClearSelection()
{
    if (m_selection != nullptr)
        std::memset(m_selection, 0, size_t(GetWidth()) * GetHeight());
    m_info.selectionBox.left = LONG(GetWidth());
    m_info.selectionBox.top = 0;
    m_info.selectionBox.right = 0;
    m_info.selectionBox.bottom = LONG(GetHeight());
}

bool CxImage::IsSelected(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return false;
    return m_selection == nullptr || m_selection[size_t(y) * GetWidth() + size_t(x)] != 0;
}

bool CxImage::AddSelectionRect(LONG left, LONG top, LONG right, LONG bottom)
{
    if (m_dib == nullptr || (m_selection == nullptr && !CreateSelection()))
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    LONG x0 = Clamp(std::min(left, right), 0, width);
    LONG x1 = Clamp(std::max(left, right), 0, width);
    LONG y0 = Clamp(std::min(top, bottom), 0, height);
    LONG y1 = Clamp(std::max(top, bottom), 0, height);
    for (LONG y = y0; y < y1; y++)
        std::memset(m_selection + size_t(y) * size_t(width) + size_t(x0), 255, size_t(x1 - x0));
    GrowBox(m_info.selectionBox, x0, x1, y0, y1);
    return true;
}

bool CxImage::AddSelectionEllipse(const RECT& rect)
{
    if (m_dib == nullptr || (m_selection == nullptr && !CreateSelection()))
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    // Twice the radii, and twice the centre's coordinates.
    const int64_t rx = std::llabs(int64_t(rect.right) - rect.left);
    const int64_t ry = std::llabs(int64_t(rect.top) - rect.bottom);
    const int64_t cx = int64_t(rect.left) + rect.right;
    const int64_t cy = int64_t(rect.top) + rect.bottom;
    if (rx == 0 || ry == 0)
        return false;
    LONG x0 = Clamp(std::min(rect.left, rect.right), 0, width);
    LONG x1 = Clamp(std::max(rect.left, rect.right), 0, width);
    LONG y0 = Clamp(std::min(rect.top, rect.bottom), 0, height);
    LONG y1 = Clamp(std::max(rect.top, rect.bottom), 0, height);
    // A pixel centre at twice the offsets px, py from the centre is inside
    // when (px / rx)^2 + (py / ry)^2 <= 1, that is when
    // (px ry)^2 + (py rx)^2 <= (rx ry)^2, compared exactly.
    for (LONG y = y0; y < y1; y++) {
        const int64_t py = std::llabs(2 * int64_t(y) + 1 - cy);
        for (LONG x = x0; x < x1; x++) {
            const int64_t px = std::llabs(2 * int64_t(x) + 1 - cx);
            if (px <= rx && py <= ry &&
                SquaresWithin(uint64_t(px) * uint64_t(ry), uint64_t(py) * uint64_t(rx), uint64_t(rx) * uint64_t(ry)))
                m_selection[size_t(y) * size_t(width) + size_t(x)] = 255;
        }
    }
    GrowBox(m_info.selectionBox, x0, x1, y0, y1);
    return true;
}

bool CxImage::AddSelectionPolygon(const POINT* points, long count)
{
    if (points == nullptr || count < 3 || m_dib == nullptr)
        return false;
    // Points so far off that no picture reaches them are refused: nearer
    // ones keep every crossing exact in 64 bits.
    for (long i = 0; i < count; i++) {
        if (std::labs(points[i].x) > kFarthestPoint || std::labs(points[i].y) > kFarthestPoint)
            return false;
    }
    if (m_selection == nullptr && !CreateSelection())
        return false;
    const LONG width = LONG(GetWidth());
    const LONG height = LONG(GetHeight());
    LONG minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (long i = 1; i < count; i++) {
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    LONG y0 = Clamp(minY, 0, height);
    LONG y1 = Clamp(maxY, 0, height);
    // Even-odd filling, one row at a time through the pixel centres. Each
    // edge across a row's centre line starts or ends the run at the first
    // pixel whose centre is right of the crossing or on it.
    std::vector<LONG> crossings;
    try {
        crossings.reserve(size_t(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (LONG y = y0; y < y1; y++) {
        crossings.clear();
        for (long i = 0; i < count; i++) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if (!((a.y <= y && b.y > y) || (b.y <= y && a.y > y)))
                continue;
            // The crossing is a.x + n / d x (b.x - a.x), 0 < n / d < 1.
            int64_t n = 2 * (int64_t(y) - a.y) + 1;
            int64_t d = 2 * (int64_t(b.y) - a.y);
            if (d < 0) {
                n = -n;
                d = -d;
            }
            const int64_t product = n * (int64_t(b.x) - a.x);
            const int64_t whole = FloorDivide(product, d);
            const int64_t rest = product - whole * d;
            const int64_t column = a.x + whole + (2 * rest > d ? 1 : 0);
            crossings.push_back(LONG(column < 0 ? 0 : column > width ? width : column));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            if (crossings[k + 1] > crossings[k])
                std::memset(m_selection + size_t(y) * size_t(width) + size_t(crossings[k]), 255,
                            size_t(crossings[k + 1] - crossings[k]));
        }
    }
    GrowBox(m_info.selectionBox, Clamp(minX, 0, width), Clamp(maxX, 0, width), y0, y1);
    return true;
}

void CxImage::InvertSelection()
{
    if (m_selection == nullptr)
        return;
    size_t area = size_t(GetWidth()) * GetHeight();
    for (size_t i = 0; i < area; i++)
        m_selection[i] = BYTE(255 - m_selection[i]);
}

bool CxImage::CopySelection(const CxImage& from)
{
    if (&from == this || from.m_selection == nullptr || from.GetWidth() != GetWidth() ||
        from.GetHeight() != GetHeight())
        return false;
    if (m_selection == nullptr && !CreateSelection())
        return false;
    std::memcpy(m_selection, from.m_selection, size_t(GetWidth()) * GetHeight());
    m_info.selectionBox = from.m_info.selectionBox;
    return true;
}
