#include "app/PaintItem.h"

#include <algorithm>

#ifdef _WIN32
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "core/Movie.h"
#include "export/TokenEngine.h"
#endif

namespace {

const int kMaxLayoutPasses = 256;

int32_t Width(const RECT& r) { return r.right - r.left; }
int32_t Height(const RECT& r) { return r.bottom - r.top; }

bool Intersect(const RECT& a, const RECT& b, int32_t* ow, int32_t* oh)
{
    int32_t left = std::max(a.left, b.left), right = std::min(a.right, b.right);
    int32_t top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
    if (left >= right || top >= bottom)
        return false;
    *ow = right - left;
    *oh = bottom - top;
    return true;
}

// One axis of the alignment rules, so both are written once.
struct Axis {
    DWORD nearBit, farBit, centerBit, bits;
    bool horizontal;
};
const Axis kHorizontal = {ITEM_LEFT, ITEM_RIGHT, ITEM_HCENTER, ITEM_HORIZONTAL, true};
const Axis kVertical = {ITEM_TOP, ITEM_BOTTOM, ITEM_VCENTER, ITEM_VERTICAL, false};

int32_t Anchor(const CListLayout& layout, const CLayoutSubItem& item, const Axis& axis)
{
    int32_t k = axis.horizontal ? item.m_hAnchor : item.m_vAnchor;
    return k >= 0 && k < layout.GetItemCount() ? k : -1;
}

bool HasBits(const CLayoutSubItem& item, const Axis& axis)
{
    return item.IsAligned() && (item.m_flags & axis.bits) != 0;
}

int32_t NearEdge(const RECT& r, const Axis& axis) { return axis.horizontal ? r.left : r.top; }
int32_t FarEdge(const RECT& r, const Axis& axis) { return axis.horizontal ? r.right : r.bottom; }

// The element a chain of anchors on the axis ends at.
int32_t ChainRoot(const CListLayout& layout, int32_t i, const Axis& axis)
{
    for (int32_t steps = 0; steps <= layout.GetItemCount(); steps++) {
        const CLayoutSubItem& item = *layout.GetItem(i);
        int32_t k = Anchor(layout, item, axis);
        if (!HasBits(item, axis) || k < 0)
            return i;
        i = k;
    }
    return i;  // a cycle: stop where the walk stands
}

bool AlignedToBoxWith(const CListLayout& layout, int32_t i, const Axis& axis, DWORD bit)
{
    const CLayoutSubItem& item = *layout.GetItem(i);
    return HasBits(item, axis) && Anchor(layout, item, axis) < 0 && (item.m_flags & bit) != 0;
}

// The near edge of an element of size e on the axis.
int32_t AlignedEdge(const CListLayout& layout, const CLayoutSubItem& item, const Axis& axis,
                    int32_t e, int32_t boxSize, int32_t margin)
{
    int32_t fixed = (axis.horizontal ? item.m_x : item.m_y) + margin;
    int32_t k = Anchor(layout, item, axis);
    DWORD f = item.m_flags;
    if (k < 0) {
        if (f & axis.nearBit)
            return margin;
        if (f & axis.farBit)
            return boxSize - e - margin;
        if (f & axis.centerBit)
            return (boxSize - e) / 2;
        return fixed;
    }
    const RECT& mk = layout.GetItem(k)->m_marginBox;
    int32_t lk = NearEdge(mk, axis), rk = FarEdge(mk, axis);
    if (f & axis.nearBit)
        return rk + margin;
    if (f & axis.farBit)
        return lk - e - margin;
    if (f & axis.centerBit)
        return lk + (rk - lk - e) / 2;
    return fixed;
}

// Step 5 on one axis; true when the box grew.
bool GrowAxis(const CListLayout& layout, CLaidOutItem& laid, int32_t i, const Axis& axis,
              int32_t* boxSize, int32_t margin)
{
    CLayoutSubItem& item = *layout.GetItem(i);
    RECT& mb = item.m_marginBox;
    LONG& nearEdge = axis.horizontal ? mb.left : mb.top;
    LONG& farEdge = axis.horizontal ? mb.right : mb.bottom;
    bool grew = false;
    if (farEdge > *boxSize) {
        int32_t root = ChainRoot(layout, i, axis);
        if (HasBits(item, axis) && AlignedToBoxWith(layout, root, axis, axis.farBit)) {
            farEdge = *boxSize;
            (axis.horizontal ? laid.m_rightCorrection : laid.m_bottomCorrection) = *boxSize - margin;
        } else {
            *boxSize = farEdge;
            grew = true;
        }
    }
    if (nearEdge < 0) {
        int32_t owner = i;
        if (HasBits(item, axis) && Anchor(layout, item, axis) >= 0 &&
            (item.m_flags & axis.nearBit) == 0)
            owner = ChainRoot(layout, i, axis);  // right of or centred on another: its chain decides
        const CLayoutSubItem& o = *layout.GetItem(owner);
        bool growBox;
        if (!HasBits(o, axis))
            growBox = false;
        else if (Anchor(layout, o, axis) < 0)
            growBox = (o.m_flags & axis.nearBit) == 0;
        else
            growBox = true;  // aligned to another element's far side
        if (growBox) {
            *boxSize += -nearEdge;
            grew = true;
        } else {
            nearEdge = 0;
        }
    }
    return grew;
}

bool SameAlignment(const CListLayout& layout, const CLayoutSubItem& a, const CLayoutSubItem& b,
                   const Axis& axis)
{
    return Anchor(layout, a, axis) == Anchor(layout, b, axis) &&
           (a.m_flags & axis.bits) == (b.m_flags & axis.bits);
}

// The growth an overlap of size o asks of an element aligned to the box on
// the axis: o for the far side, 2 o for the centre, else 0.
int32_t OverlapGrowth(const CListLayout& layout, int32_t i, const Axis& axis, int32_t o)
{
    if (AlignedToBoxWith(layout, i, axis, axis.farBit))
        return o;
    if (AlignedToBoxWith(layout, i, axis, axis.centerBit))
        return 2 * o;
    return 0;
}

}  // namespace

CoverFit FitCover(int32_t pw, int32_t ph, int32_t w, int32_t h, DWORD flags)
{
    CoverFit fit = {w, h, w, h, 0, 0};
    if (flags & ITEM_REAL_SIZE) {
        fit.measuredWidth = fit.drawWidth = pw;
        fit.measuredHeight = fit.drawHeight = ph;
        return fit;
    }
    if (pw <= 0 || ph <= 0) {
        fit.drawWidth = fit.drawHeight = 0;
    } else if ((flags & ITEM_NEVER_ZOOM) && w >= pw && h >= ph) {
        fit.drawWidth = pw;
        fit.drawHeight = ph;
    } else if (flags & ITEM_KEEP_ASPECT) {
        // Whole-number arithmetic on the sizes (their products fit in 64
        // bits): a quotient of doubles came out a pixel short for some
        // sizes, and differently on x87 and SSE.
        if (int64_t(h) * pw <= int64_t(w) * ph) {
            fit.drawHeight = h;
            fit.drawWidth = int32_t(int64_t(h) * pw / ph);
        } else {
            fit.drawWidth = w;
            fit.drawHeight = int32_t(int64_t(w) * ph / pw);
        }
    }
    fit.offsetX = (w - fit.drawWidth) / 2;
    fit.offsetY = (h - fit.drawHeight) / 2;
    return fit;
}

int32_t TileCount(int32_t boxSize, int32_t pictureSize)
{
    if (pictureSize <= 0 || boxSize <= 0)
        return 0;
    return (boxSize + pictureSize - 1) / pictureSize;
}

std::vector<std::pair<COLORREF, COLORREF>> BorderRingColors(COLORREF light, COLORREF normal,
                                                            COLORREF dark, int32_t width)
{
    std::vector<std::pair<COLORREF, COLORREF>> rings;
    if (width <= 0)
        return rings;
    BYTE first[3] = {GetRValue(light), GetGValue(light), GetBValue(light)};
    BYTE second[3] = {GetRValue(dark), GetGValue(dark), GetBValue(dark)};
    const BYTE mid[3] = {GetRValue(normal), GetGValue(normal), GetBValue(normal)};
    int stepFirst[3], stepSecond[3];
    for (int c = 0; c < 3; c++) {
        stepFirst[c] = (int(first[c]) - int(mid[c])) / width;
        stepSecond[c] = (int(second[c]) - int(mid[c])) / width;
    }
    for (int32_t ring = 0; ring < width; ring++) {
        for (int c = 0; c < 3; c++) {
            first[c] = BYTE(first[c] - stepFirst[c]);
            second[c] = BYTE(second[c] - stepSecond[c]);
        }
        rings.push_back(std::make_pair(RGB(first[0], first[1], first[2]),
                                       RGB(second[0], second[1], second[2])));
    }
    return rings;
}

bool PlaceSubItem(const CListLayout& layout, const LaidOutItems& laid, int32_t i, int32_t* width,
                  int32_t* height, bool again)
{
    CLayoutSubItem& item = *layout.GetItem(i);
    CLaidOutItem& out = *laid[size_t(i)];
    const int32_t mx = layout.m_marginX, my = layout.m_marginY;
    const int32_t ew = Width(out.m_measured), eh = Height(out.m_measured);

    int32_t left, top;
    if (!item.IsAligned()) {
        if (again)
            return true;
        left = item.m_x + mx;
        top = item.m_y + my;
    } else {
        left = AlignedEdge(layout, item, kHorizontal, ew, *width, mx);
        top = AlignedEdge(layout, item, kVertical, eh, *height, my);
    }
    out.m_placed = {left, top, left + ew, top + eh};
    out.m_pictureOrigin = {left + out.m_pictureOffsetX, top + out.m_pictureOffsetY};
    item.m_marginBox = {left - mx, top - my, left + ew + mx, top + eh + my};
    if (again && item.IsAligned() && AlignedToBoxWith(layout, i, kHorizontal, ITEM_LEFT) &&
        AlignedToBoxWith(layout, i, kVertical, ITEM_TOP))
        return true;

    bool grew = GrowAxis(layout, out, i, kHorizontal, width, mx);
    grew = GrowAxis(layout, out, i, kVertical, height, my) || grew;
    if (grew)
        return false;

    for (int32_t j = 0; j < i; j++) {
        const CLayoutSubItem& other = *layout.GetItem(j);
        int32_t ow, oh;
        if (!Intersect(item.m_marginBox, other.m_marginBox, &ow, &oh))
            continue;
        if (!item.IsAligned() && !other.IsAligned())
            continue;
        if (item.IsAligned() != other.IsAligned()) {
            int32_t a = item.IsAligned() ? i : j;
            int32_t dw = OverlapGrowth(layout, a, kHorizontal, ow);
            int32_t dh = dw == 0 ? OverlapGrowth(layout, a, kVertical, oh) : 0;
            if (dw == 0 && dh == 0)
                continue;
            *width += dw;
            *height += dh;
            return false;
        }
        if (!SameAlignment(layout, item, other, kHorizontal) &&
            ChainRoot(layout, i, kHorizontal) != ChainRoot(layout, j, kHorizontal)) {
            int32_t dw = std::max(OverlapGrowth(layout, i, kHorizontal, ow),
                                  OverlapGrowth(layout, j, kHorizontal, ow));
            if (dw > 0) {
                *width += dw;
                return false;
            }
        }
        if (!SameAlignment(layout, item, other, kVertical) &&
            ChainRoot(layout, i, kVertical) != ChainRoot(layout, j, kVertical)) {
            int32_t dh = std::max(OverlapGrowth(layout, i, kVertical, oh),
                                  OverlapGrowth(layout, j, kVertical, oh));
            if (dh > 0) {
                *height += dh;
                return false;
            }
        }
    }
    return true;
}

bool LayOutItems(const CListLayout& layout, const LaidOutItems& laid, int32_t* width,
                 int32_t* height)
{
    bool grew = false;
    int32_t count = std::min(layout.GetItemCount(), int32_t(laid.size()));
    for (int32_t i = 0; i < count; i++) {
        bool again = false;
        RECT last = {0, 0, -1, -1};
        while (!PlaceSubItem(layout, laid, i, width, height, again)) {
            grew = true;
            const RECT& now = laid[size_t(i)]->m_placed;
            if (again && now.left == last.left && now.top == last.top && now.right == last.right &&
                now.bottom == last.bottom)
                break;  // it moves only once the elements before it are placed again
            last = now;
            again = true;
            if (*width >= kMaxBoxSize || *height >= kMaxBoxSize) {
                *width = std::min(*width, kMaxBoxSize);
                *height = std::min(*height, kMaxBoxSize);
                return true;
            }
        }
    }
    return grew;
}

bool LayOutToFit(const CListLayout& layout, const LaidOutItems& laid, int32_t* width,
                 int32_t* height)
{
    std::vector<RECT> before;
    for (int pass = 0; pass < kMaxLayoutPasses; pass++) {
        if (!LayOutItems(layout, laid, width, height))
            return true;
        if (*width >= kMaxBoxSize || *height >= kMaxBoxSize)
            return false;
        std::vector<RECT> now;
        for (const auto& item : laid)
            now.push_back(item->m_placed);
        bool same = now.size() == before.size();
        for (size_t k = 0; same && k < now.size(); k++) {
            same = now[k].left == before[k].left && now[k].top == before[k].top &&
                   now[k].right == before[k].right && now[k].bottom == before[k].bottom;
        }
        if (same)
            return false;  // growing no longer moves anything
        before.swap(now);
    }
    return false;
}

#ifdef _WIN32
namespace {

bool theGraphicsErrorShown = false;

// The first graphics failure of the program's life is shown; later ones
// would repeat for every box and stay silent.
void ShowGraphicsError(const char* text)
{
    DWORD code = GetLastError();
    if (theGraphicsErrorShown)
        return;
    theGraphicsErrorShown = true;
    ShowSystemError(code, "Big problem with graphics. %s", text);
}

void DrawFlatBorder(HDC dc, RECT rect, COLORREF color, int32_t width)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (brush == NULL)
        return;
    for (int32_t i = 0; i < width && rect.right > rect.left && rect.bottom > rect.top; i++) {
        FrameRect(dc, &rect, brush);
        InflateRect(&rect, -1, -1);
    }
    DeleteObject(brush);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
}

void Draw3dBorder(HDC dc, RECT rect, const CLayoutLevel& level, int32_t width)
{
    for (const auto& ring : BorderRingColors(level.m_light, level.m_normal, level.m_dark, width)) {
        int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
        if (w <= 0 || h <= 0)
            break;
        FillSolid(dc, {rect.left, rect.top, rect.left + w - 1, rect.top + 1}, ring.first);
        FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.top + h - 1}, ring.first);
        FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, ring.second);
        FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, ring.second);
        InflateRect(&rect, -1, -1);
    }
}

void DrawLevelBackground(const CListLayout& layout, const CLayoutLevel& level, HDC dc,
                         int32_t width, int32_t height)
{
    RECT box = {0, 0, width, height};
    if (layout.m_solidBackground) {
        FillSolid(dc, box, level.m_normal);
        if (layout.m_3dBorder)
            Draw3dBorder(dc, box, level, layout.m_borderWidth);
        else
            DrawFlatBorder(dc, box, layout.m_flatBorderColor, layout.m_borderWidth);
        return;
    }
    const CLayoutLevel* source = &level;
    if (!source->m_picture || source->m_picture->IsEmpty())
        source = layout.GetLevel(LEVEL_NORMAL);
    const COlePicture* picture = source && source->m_picture && !source->m_picture->IsEmpty()
                                     ? source->m_picture.get() : NULL;
    if (picture == NULL) {
        FillSolid(dc, box, RGB(0xC0, 0x00, 0xC0));
    } else if (level.m_imageMode == IMAGE_TILE) {
        SIZE size = picture->GetPixelSize(dc);
        int32_t columns = TileCount(width, size.cx), rows = TileCount(height, size.cy);
        for (int32_t r = 0; r < rows; r++)
            for (int32_t c = 0; c < columns; c++)
                picture->Render(dc, c * size.cx, r * size.cy, size.cx, size.cy);
    } else {
        picture->DrawStretched(dc, box);
    }
    if (layout.m_borderWidth > 0)
        DrawFlatBorder(dc, box, layout.m_flatBorderColor, layout.m_borderWidth);
}

}  // namespace

void MeasureSubItem(CLayoutSubItem& item, CLaidOutItem* laid, HDC dc, const CMovie* movie,
                    COlePicture* defaultCover)
{
    laid->m_measured = {0, 0, item.m_width, item.m_height};
    switch (item.m_kind) {
    case ITEM_TEXT:
    case ITEM_TEMPLATE: {
        StrSet(&laid->m_text, item.m_text);
        if (item.m_kind == ITEM_TEXT)
            ExpandScriptTokens(&laid->m_text, movie, -1, NULL, NULL);
        if (item.m_flags & ITEM_CLIP_TEXT)
            break;
        HFONT font = (item.m_flags & ITEM_CUSTOM_FONT) ? item.GetFontHandle() : NULL;
        HGDIOBJ old = font != NULL ? SelectObject(dc, font) : NULL;
        SIZE size = {0, 0};
        const char* text = laid->m_text != NULL ? laid->m_text : "";
        if (text[0] != 0)
            GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
        if (old != NULL)
            SelectObject(dc, old);
        laid->m_measured.right = size.cx;
        laid->m_measured.bottom = text[0] != 0 ? size.cy : item.m_height;
        break;
    }
    case ITEM_COVER: {
        laid->ReleasePicture();
        const CImdbInfo* info = movie != NULL ? movie->m_imdbInfo.get() : NULL;
        if (info != NULL && !info->m_cover.empty()) {
            std::unique_ptr<COlePicture> cover(new COlePicture);
            if (cover->LoadFromMemory(info->m_cover.data(), DWORD(info->m_cover.size())))
                laid->m_picture = cover.release();
            else
                ShowError(1, "Unable to load cover for SubPaintItem");
        }
        if (laid->m_picture == NULL && defaultCover != NULL && !defaultCover->IsEmpty()) {
            laid->m_picture = defaultCover;
            laid->m_pictureNotOwned = 1;
        }
        if (laid->m_picture == NULL)
            break;  // nothing to draw; the element keeps its size
        SIZE size = laid->m_picture->GetPixelSize(dc);
        CoverFit fit = FitCover(size.cx, size.cy, item.m_width, item.m_height, item.m_flags);
        laid->m_measured = {0, 0, fit.measuredWidth, fit.measuredHeight};
        laid->m_pictureWidth = fit.drawWidth;
        laid->m_pictureHeight = fit.drawHeight;
        laid->m_pictureOffsetX = fit.offsetX;
        laid->m_pictureOffsetY = fit.offsetY;
        break;
    }
    default:
        laid->m_measured.right = 0;
        break;
    }
}

void DrawSubItem(CLayoutSubItem& item, const CLaidOutItem& laid, HDC dc)
{
    if (item.m_kind == ITEM_TEXT || item.m_kind == ITEM_TEMPLATE) {
        HFONT font = (item.m_flags & ITEM_CUSTOM_FONT) ? item.GetFontHandle() : NULL;
        HGDIOBJ oldFont = font != NULL ? SelectObject(dc, font) : NULL;
        COLORREF oldColor = 0;
        bool colored = (item.m_flags & ITEM_CUSTOM_COLOR) != 0;
        if (colored)
            oldColor = SetTextColor(dc, item.m_color);
        int oldMode = SetBkMode(dc, TRANSPARENT);
        RECT rect = laid.m_placed;
        const char* text = laid.m_text != NULL ? laid.m_text : "";
        DrawTextA(dc, text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
        SetBkMode(dc, oldMode);
        if (colored)
            SetTextColor(dc, oldColor);
        if (oldFont != NULL)
            SelectObject(dc, oldFont);
    } else if (item.m_kind == ITEM_COVER && laid.m_picture != NULL && laid.m_pictureWidth > 0 &&
               laid.m_pictureHeight > 0) {
        laid.m_picture->Render(dc, laid.m_pictureOrigin.x, laid.m_pictureOrigin.y,
                               laid.m_pictureWidth, laid.m_pictureHeight);
    }
    if (item.m_selected) {
        RECT focus = laid.m_placed;
        InflateRect(&focus, 2, 2);
        DrawFocusRect(dc, &focus);
    }
}

void ReleaseBoxDc(HDC* boxDc, HBITMAP* boxBitmap, HGDIOBJ* oldBitmap)
{
    if (*boxDc != NULL) {
        if (*oldBitmap != NULL)
            SelectObject(*boxDc, *oldBitmap);
        DeleteDC(*boxDc);
    }
    if (*boxBitmap != NULL)
        DeleteObject(*boxBitmap);
    *boxDc = NULL;
    *boxBitmap = NULL;
    *oldBitmap = NULL;
}

bool RenderLevelBackgrounds(CListLayout& layout, HDC reference, int32_t width, int32_t height)
{
    for (int32_t i = 0; i < layout.GetLevelCount(); i++) {
        CLevelBackground& bg = layout.GetLevel(i)->m_background;
        bg.Release();
        bg.m_dc = CreateCompatibleDC(reference);
        if (bg.m_dc == NULL) {
            ShowGraphicsError("Unable to create background context");
            return false;
        }
        bg.m_bitmap = CreateCompatibleBitmap(reference, std::max(width, 1), std::max(height, 1));
        if (bg.m_bitmap == NULL) {
            ShowGraphicsError("Unable to create background bitmap");
            bg.Release();
            return false;
        }
        bg.m_oldBitmap = SelectObject(bg.m_dc, bg.m_bitmap);
        DrawLevelBackground(layout, *layout.GetLevel(i), bg.m_dc, width, height);
    }
    layout.m_cachedWidth = width;
    layout.m_cachedHeight = height;
    return true;
}

bool PaintItem(CListLayout& layout, const PaintRequest& r)
{
    LaidOutItems& laid = *r.laid;
    bool reuse = r.reuse && !r.remeasure && !laid.empty();
    if (!reuse) {
        bool changed = r.movie != NULL && r.movie->m_modified != 0;
        if (changed || r.remeasure || int32_t(laid.size()) != layout.GetItemCount()) {
            laid.clear();
            for (int32_t i = 0; i < layout.GetItemCount(); i++) {
                laid.emplace_back(new CLaidOutItem);
                MeasureSubItem(*layout.GetItem(i), laid.back().get(), r.reference, r.movie,
                               layout.m_defaultCover);
            }
        }
        int32_t width = *r.width, height = *r.height;
        LayOutToFit(layout, laid, &width, &height);
        if (width != *r.width || height != *r.height) {
            // The box grew: the caller places the cell with the new size and
            // paints again.
            *r.width = width;
            *r.height = height;
            ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
            return true;
        }
    }
    if (!r.paint) {
        ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
        return true;
    }
    const int32_t width = std::max(*r.width, 1), height = std::max(*r.height, 1);

    if (*r.boxDc == NULL) {
        *r.boxDc = CreateCompatibleDC(r.reference);
        if (*r.boxDc == NULL) {
            ShowGraphicsError("Unable to create compatible context.");
            return false;
        }
    }
    BITMAP info = {};
    if (*r.boxBitmap == NULL || GetObject(*r.boxBitmap, sizeof(info), &info) == 0 ||
        info.bmWidth != width || info.bmHeight != height) {
        HBITMAP bitmap = CreateCompatibleBitmap(r.reference, width, height);
        if (bitmap == NULL) {
            ShowGraphicsError("Unable to create bitmap");
            ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
            return false;
        }
        HGDIOBJ old = SelectObject(*r.boxDc, bitmap);
        if (old == NULL || old == HGDI_ERROR) {
            ShowGraphicsError("Unable to select bitmap");
            DeleteObject(bitmap);
            ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
            return false;
        }
        if (*r.boxBitmap != NULL)
            DeleteObject(*r.boxBitmap);  // the one just deselected
        else
            *r.oldBitmap = old;
        *r.boxBitmap = bitmap;
    }

    bool backgroundsMissing = false;
    for (int32_t i = 0; i < layout.GetLevelCount(); i++)
        backgroundsMissing = backgroundsMissing || layout.GetLevel(i)->m_background.m_dc == NULL;
    if (layout.m_cachedWidth != width || layout.m_cachedHeight != height || backgroundsMissing) {
        if (!RenderLevelBackgrounds(layout, r.reference, width, height)) {
            ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
            return false;
        }
    }

    int32_t level;
    int32_t cached = r.cachedLevel != NULL ? *r.cachedLevel : -1;
    if (cached >= 0 && cached < layout.GetLevelCount()) {
        level = cached;
    } else if (r.selected) {
        level = LEVEL_SELECT;
    } else {
        level = layout.ChooseLevel(r.movie, false);
        if (r.cachedLevel != NULL)
            *r.cachedLevel = level;
    }
    if (!BitBlt(*r.boxDc, 0, 0, width, height, layout.GetLevel(level)->m_background.m_dc, 0, 0,
                SRCCOPY)) {
        ShowSystemError(GetLastError(), "Big problem with graphics. (BitBlt)");
        ReleaseBoxDc(r.boxDc, r.boxBitmap, r.oldBitmap);
        return false;
    }

    // Texts without a font or colour of their own take the reference's.
    HGDIOBJ oldFont = SelectObject(*r.boxDc, GetCurrentObject(r.reference, OBJ_FONT));
    COLORREF oldColor = SetTextColor(*r.boxDc, GetTextColor(r.reference));
    int32_t count = std::min(layout.GetItemCount(), int32_t(laid.size()));
    for (int32_t i = 0; i < count; i++)
        DrawSubItem(*layout.GetItem(i), *laid[size_t(i)], *r.boxDc);
    SetTextColor(*r.boxDc, oldColor);
    SelectObject(*r.boxDc, oldFont);
    return true;
}
#endif
