#include "app/PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

PrintGeometry ComputePrintGeometry(const PrintSettings& settings, int32_t pageWidth, int32_t pageHeight,
                                   int32_t dpiX, int32_t dpiY, int32_t screenDpiX, int32_t screenDpiY,
                                   uint32_t cellWidth)
{
    PrintGeometry geometry;
    // Margins are in hundredths of an inch: whole numbers give the exact
    // pixel (0.29 * 100 in doubles is 28.999...).
    int64_t left = int64_t(settings.marginLeft) * dpiX / 100;
    int64_t right = int64_t(settings.marginRight) * dpiX / 100;
    int64_t top = int64_t(settings.marginTop) * dpiY / 100;
    int64_t bottom = int64_t(settings.marginBottom) * dpiY / 100;
    int64_t width = int64_t(pageWidth) - left - right;
    int64_t height = int64_t(pageHeight) - top - bottom;
    if (width <= 0 || height <= 0 || screenDpiX <= 0 || screenDpiY <= 0 || dpiX <= 0 || dpiY <= 0)
        return geometry;
    geometry.left = int32_t(left);
    geometry.top = int32_t(top);
    geometry.width = int32_t(width);
    geometry.height = int32_t(height);
    geometry.xScale = double(dpiX) / screenDpiX;
    geometry.yScale = double(dpiY) / screenDpiY;
    if (!settings.clip && cellWidth > 0 && (cellWidth * geometry.xScale > width || settings.fill)) {
        double xScale = double(width) / cellWidth;
        geometry.yScale *= xScale / geometry.xScale;
        geometry.xScale = xScale;
    }
    geometry.valid = true;
    return geometry;
}

bool PaginatePage(size_t count, int64_t boxHeight, int64_t pageHeight, bool noHalves, PageStart& start,
                  std::vector<PrintedBox>& page)
{
    page.clear();
    if (boxHeight <= 0 || pageHeight <= 0 || start.box >= count)
        return false;
    int64_t y = -start.offset;
    for (size_t i = start.box; i < count; i++, y += boxHeight) {
        int64_t bottom = y + boxHeight;
        if (bottom <= pageHeight) {
            page.push_back({i, y});
            if (bottom == pageHeight && i + 1 < count) {
                start = {i + 1, 0};
                return true;
            }
            continue;
        }
        // The box crosses the page bottom.
        bool first = i == start.box;
        if (noHalves && !first) {
            start = {i, 0};  // whole on the next page
            return true;
        }
        page.push_back({i, y});  // cut at the bottom
        if (noHalves) {
            // Taller than a page: printed cut once, then the next box.
            start = {i + 1, 0};
            return i + 1 < count;
        }
        // The next page goes on at the cut line.
        start = {i, pageHeight - y};
        return true;
    }
    start = {count, 0};
    return false;
}

bool FilterMarginText(std::string& text, int& selStart, int& selEnd)
{
    std::vector<bool> keep(text.size(), false);
    bool dotSeen = false;
    for (size_t i = text.size(); i-- > 0;) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            keep[i] = true;
        } else if (c == '.' && !dotSeen) {
            keep[i] = true;
            dotSeen = true;
        }
    }
    auto kept = [&]() {
        std::vector<size_t> positions;
        for (size_t i = 0; i < keep.size(); i++) {
            if (keep[i])
                positions.push_back(i);
        }
        return positions;
    };
    // No leading zeros before another digit.
    for (;;) {
        std::vector<size_t> positions = kept();
        if (positions.size() >= 3 && text[positions[0]] == '0' && text[positions[1]] != '.')
            keep[positions[0]] = false;
        else
            break;
    }
    // Two decimals at most.
    std::vector<size_t> positions = kept();
    for (size_t k = 0; k < positions.size(); k++) {
        if (text[positions[k]] == '.') {
            for (size_t j = k + 3; j < positions.size(); j++)
                keep[positions[j]] = false;
            break;
        }
    }
    // Six characters at most: the last six.
    positions = kept();
    for (size_t k = 0; k + 6 < positions.size(); k++)
        keep[positions[k]] = false;

    auto moved = [&](int position) {
        size_t limit = position < 0 ? 0 : std::min(size_t(position), keep.size());
        int count = 0;
        for (size_t i = 0; i < limit; i++)
            count += keep[i] ? 1 : 0;
        return count;
    };
    int newStart = moved(selStart);
    int newEnd = moved(selEnd);
    std::string cleaned;
    for (size_t i = 0; i < text.size(); i++) {
        if (keep[i])
            cleaned += text[i];
    }
    text = cleaned;
    selStart = newStart;
    selEnd = newEnd;
    return !text.empty();
}

int32_t MarginFromText(const std::string& text)
{
    double value = atof(text.c_str()) * 100.0;
    if (!(value >= 0.0))
        return 0;
    if (value > 2147483647.0)
        return INT32_MAX;
    return int32_t(std::lround(value));
}
