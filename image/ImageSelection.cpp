// The selection mask of CxImage: width x height bytes, non-zero inside, with
// a bounding box whose rows are counted from the bottom (top > bottom).
#include "image/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
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
    double cx = (double(rect.left) + rect.right) / 2.0;
    double cy = (double(rect.top) + rect.bottom) / 2.0;
    double rx = std::fabs(double(rect.right) - rect.left) / 2.0;
    double ry = std::fabs(double(rect.top) - rect.bottom) / 2.0;
    if (rx <= 0.0 || ry <= 0.0)
        return false;
    LONG x0 = Clamp(std::min(rect.left, rect.right), 0, width);
    LONG x1 = Clamp(std::max(rect.left, rect.right), 0, width);
    LONG y0 = Clamp(std::min(rect.top, rect.bottom), 0, height);
    LONG y1 = Clamp(std::max(rect.top, rect.bottom), 0, height);
    for (LONG y = y0; y < y1; y++) {
        double dy = (y + 0.5 - cy) / ry;
        for (LONG x = x0; x < x1; x++) {
            double dx = (x + 0.5 - cx) / rx;
            if (dx * dx + dy * dy <= 1.0)
                m_selection[size_t(y) * size_t(width) + size_t(x)] = 255;
        }
    }
    GrowBox(m_info.selectionBox, x0, x1, y0, y1);
    return true;
}

bool CxImage::AddSelectionPolygon(const POINT* points, long count)
{
    if (points == nullptr || count < 3 || m_dib == nullptr || (m_selection == nullptr && !CreateSelection()))
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
    // Even-odd filling, one row at a time through the pixel centres.
    std::vector<double> crossings;
    for (LONG y = y0; y < y1; y++) {
        double cy = y + 0.5;
        crossings.clear();
        for (long i = 0; i < count; i++) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if ((a.y <= cy && b.y > cy) || (b.y <= cy && a.y > cy))
                crossings.push_back(a.x + (cy - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            LONG from = Clamp(LONG(std::ceil(crossings[k] - 0.5)), 0, width);
            LONG to = Clamp(LONG(std::ceil(crossings[k + 1] - 0.5)), 0, width);
            if (to > from)
                std::memset(m_selection + size_t(y) * size_t(width) + size_t(from), 255, size_t(to - from));
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
