// Measuring, placing and drawing the elements of one movie-box, and painting
// the box: the background of the chosen level with its border, then the
// elements in layout order.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/LaidOutItem.h"
#include "app/LayoutSubItem.h"
#include "app/ListLayout.h"
#include "core/WinTypes.h"

class CMovie;

typedef std::vector<std::unique_ptr<CLaidOutItem>> LaidOutItems;

// No box grows beyond this many pixels in either direction.
const int32_t kMaxBoxSize = 8192;

// Where a cover of pw x ph pixels goes inside an element of w x h.
struct CoverFit {
    int32_t measuredWidth, measuredHeight;  // the element's measured size
    int32_t drawWidth, drawHeight;
    int32_t offsetX, offsetY;
};
// A picture without size is drawn at 0 x 0 in the element's middle.
CoverFit FitCover(int32_t pw, int32_t ph, int32_t w, int32_t h, DWORD flags);

// Copies of a pw x ph picture that tile a box; 0 for a picture without size.
int32_t TileCount(int32_t boxSize, int32_t pictureSize);

// The colours (top-left, bottom-right) of the 3D border's rings from the
// outside in, each a step nearer the normal colour.
std::vector<std::pair<COLORREF, COLORREF>> BorderRingColors(COLORREF light, COLORREF normal,
                                                            COLORREF dark, int32_t width);

// Places element i of the layout; false when the box had to grow (W or H
// changed). again: the same element is placed a second time after growing.
bool PlaceSubItem(const CListLayout& layout, const LaidOutItems& laid, int32_t i, int32_t* width,
                  int32_t* height, bool again);
// One pass over all elements; true when the box grew.
bool LayOutItems(const CListLayout& layout, const LaidOutItems& laid, int32_t* width,
                 int32_t* height);
// Passes until nothing grows, growing stops being of use (a pass places every
// element as the one before) or the size limit is reached; true when the
// box fits.
bool LayOutToFit(const CListLayout& layout, const LaidOutItems& laid, int32_t* width,
                 int32_t* height);

#ifdef _WIN32
// Measures an element for the movie (NULL: none) on the context; a movie
// without a cover of its own uses the default cover.
void MeasureSubItem(CLayoutSubItem& item, CLaidOutItem* laid, HDC dc, const CMovie* movie,
                    COlePicture* defaultCover);
void DrawSubItem(CLayoutSubItem& item, const CLaidOutItem& laid, HDC dc);

// The box of one cell; *boxDc is the cell's memory context (made when NULL).
struct PaintRequest {
    HDC reference = NULL;
    HDC* boxDc = NULL;
    HBITMAP* boxBitmap = NULL;     // the bitmap selected into *boxDc
    HGDIOBJ* oldBitmap = NULL;
    LaidOutItems* laid = NULL;
    const CMovie* movie = NULL;
    int32_t* width = NULL;
    int32_t* height = NULL;
    bool selected = false;
    bool paint = true;      // off: measure and lay out only
    bool reuse = false;     // paint the existing layout again
    bool remeasure = false;
    int32_t* cachedLevel = NULL;

    // The box painted into: its context with its bitmap, its elements and
    // its size.
    void SetBox(HDC* dc, HBITMAP* bitmap, HGDIOBJ* old, LaidOutItems* items, int32_t* w, int32_t* h)
    {
        boxDc = dc;
        boxBitmap = bitmap;
        oldBitmap = old;
        laid = items;
        width = w;
        height = h;
    }
};
// False only after a graphics failure. When the box had to grow the box
// context is released and true comes back without painting: the caller
// paints again with the grown size.
bool PaintItem(CListLayout& layout, const PaintRequest& request);
// Releases a box context with its bitmap.
void ReleaseBoxDc(HDC* boxDc, HBITMAP* boxBitmap, HGDIOBJ* oldBitmap);
// Renders every level's background again for the box size.
bool RenderLevelBackgrounds(CListLayout& layout, HDC reference, int32_t width, int32_t height);
#endif
