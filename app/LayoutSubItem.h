// One element of the movie-box design: a text with tokens or the cover
// picture, placed at a fixed offset or aligned to the box or to another
// element, with its own font and colour when asked for. Its record in
// "subitems.dat" is read and written here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "core/WinTypes.h"

// Kinds.
enum {
    ITEM_TEXT = 1,      // a text element, its template expanded for the movie
    ITEM_COVER = 2,     // the movie's cover picture
    ITEM_TEMPLATE = 3   // a text element that shows its template while it is edited; stored as 1
};

// Placements.
enum {
    PLACE_ALIGNED = 0,  // by the alignment flags and the two anchors
    PLACE_ABSOLUTE = 1  // at x and y
};

// Flags, the same bits in memory and in the file.
enum : DWORD {
    ITEM_CUSTOM_FONT = 0x001,   // a font block follows in the file
    ITEM_CLIP_TEXT = 0x002,
    ITEM_CUSTOM_COLOR = 0x004,  // three colour bytes follow in the file
    ITEM_REAL_SIZE = 0x008,
    ITEM_NEVER_ZOOM = 0x010,
    ITEM_KEEP_ASPECT = 0x020,
    ITEM_LEFT = 0x040,
    ITEM_RIGHT = 0x080,
    ITEM_TOP = 0x100,
    ITEM_BOTTOM = 0x200,
    ITEM_HCENTER = 0x400,
    ITEM_VCENTER = 0x800,
    ITEM_HORIZONTAL = ITEM_LEFT | ITEM_RIGHT | ITEM_HCENTER,
    ITEM_VERTICAL = ITEM_TOP | ITEM_BOTTOM | ITEM_VCENTER
};

// The longest template a layout file may hold, its NUL included.
const DWORD kMaxTemplateLength = 64 * 1024;

class CLayoutSubItem {
public:
    CLayoutSubItem();
    virtual ~CLayoutSubItem();

    // Frees the text and the font and gives every field its first value:
    // kind 0, absolute, no text, numbers 0, anchors -1, colour 0.
    void Reset();

    // Resets, then stores every value; the template is copied when the
    // length (its NUL included) is above 0.
    void Set(BYTE kind, BYTE placement, int32_t hAnchor, int32_t vAnchor, int32_t x, int32_t y,
             int32_t width, int32_t height, DWORD flags, const char* text, DWORD textLength,
             COLORREF color);

    // One record of "subitems.dat". Load refuses a kind other than text or
    // cover, a text element without template, a template that is too long
    // or not ended by its one NUL, and a record cut short. Save writes kind
    // 3 as 1 and recomputes the template length.
    bool Load(FILE* f);
    bool Save(FILE* f);

    // A deep copy; the font is made anew from the other's description.
    void CopyFrom(const CLayoutSubItem& other);

    // The custom font, kept as its description; NULL when there is none.
    const LOGFONTA* GetFont() const { return m_font.get(); }
    void SetFont(const LOGFONTA* font);
#ifdef _WIN32
    // The font made from the description on first use; NULL without one or
    // when it cannot be made. The element owns it.
    HFONT GetFontHandle();
#endif

    bool IsAligned() const { return m_placement == PLACE_ALIGNED; }
    bool HasHorizontalAlignment() const { return IsAligned() && (m_flags & ITEM_HORIZONTAL) != 0; }
    bool HasVerticalAlignment() const { return IsAligned() && (m_flags & ITEM_VERTICAL) != 0; }

    BYTE m_kind;
    BYTE m_placement;
    char* m_text;          // the template; NULL for none
    int32_t m_x;
    int32_t m_y;
    int32_t m_width;
    int32_t m_height;
    DWORD m_textLength;    // bytes of the template with its NUL; 0 without one
    int32_t m_hAnchor;     // index of the element aligned to horizontally; -1 the box
    int32_t m_vAnchor;     // the same vertically
    DWORD m_flags;
    RECT m_marginBox;      // where the element lay after the last layout, grown by the margins
    bool m_selected;       // chosen in the editor's preview
    COLORREF m_color;      // with ITEM_CUSTOM_COLOR

private:
    CLayoutSubItem(const CLayoutSubItem&) = delete;
    CLayoutSubItem& operator=(const CLayoutSubItem&) = delete;

    void DropFontHandle();

    std::unique_ptr<LOGFONTA> m_font;  // with ITEM_CUSTOM_FONT
#ifdef _WIN32
    HFONT m_fontHandle;
    bool m_fontFailed;
#endif
};
