// The arithmetic of printing the movie-box list: page geometry from the
// "print" settings, the boxes of each page, and the margin edit's filter.
// Portable, so the rules are tested on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PrintSettings {
    int32_t marginTop = 0;     // hundredths of an inch
    int32_t marginLeft = 0;
    int32_t marginRight = 0;
    int32_t marginBottom = 0;
    bool clip = false;         // boxes keep their scale and are cut at the edge
    bool fill = false;         // boxes always as wide as the paper (without clip)
    bool noHalves = true;      // a box that doesn't fit goes whole to the next page
};

struct PrintGeometry {
    int32_t left = 0, top = 0;         // the printable area in device pixels
    int32_t width = 0, height = 0;
    double xScale = 1.0, yScale = 1.0;  // screen pixels to device pixels
    bool valid = false;                 // false: the margins leave no room
};

PrintGeometry ComputePrintGeometry(const PrintSettings& settings, int32_t pageWidth, int32_t pageHeight,
                                   int32_t dpiX, int32_t dpiY, int32_t screenDpiX, int32_t screenDpiY,
                                   uint32_t cellWidth);

// Where a page starts: a box, and how much of it earlier pages printed.
struct PageStart {
    size_t box = 0;
    int64_t offset = 0;
};

// One box on a page: its index in the printed sequence and its top on the
// page (negative when its upper part was printed on an earlier page).
struct PrintedBox {
    size_t box;
    int64_t top;
};

// Fills page with the boxes of one page of count boxes, each boxHeight
// device pixels tall, on a printable height; advances start. True while
// more pages follow.
bool PaginatePage(size_t count, int64_t boxHeight, int64_t pageHeight, bool noHalves, PageStart& start,
                  std::vector<PrintedBox>& page);

// Cleans a margin edit's text: digits and the last '.' only, no leading
// zeros before a digit, two decimals, six characters; the selection moves
// with the characters it stood behind. True when text is left.
bool FilterMarginText(std::string& text, int& selStart, int& selEnd);

// A margin text in hundredths of an inch, rounded ("0.29" is 29).
int32_t MarginFromText(const std::string& text);
