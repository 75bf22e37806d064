// The design of a "movie-box" of the painted movie listing: the border, the
// margins, the background levels (normal, select and the conditional ones,
// each with colours, an optional picture and, from the third on, a rule) and
// the ordered elements. The design lives in the profile section "paintitem"
// and in "subitems.dat", "bg_def<N>.dat" and "imgbg<N>.dat" in the program's
// folder; both reach the layout through the layout host (LayoutHost.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/BackgroundRule.h"
#include "app/LayoutSubItem.h"
#include "app/OlePicture.h"
#include "core/WinTypes.h"

class CMovie;
class CListingPreview;

// Image modes of a level's picture.
enum {
    IMAGE_STRETCH = 1,  // over the whole box
    IMAGE_TILE = 2      // at its own size from the top-left corner
};

// Level indices; the conditional levels follow.
enum {
    LEVEL_NORMAL = 0,
    LEVEL_SELECT = 1,
    LEVEL_FIRST_CONDITIONAL = 2
};

// The window that paints with a layout (the movie list pane).
class IListLayoutOwner {
public:
    virtual ~IListLayoutOwner() {}
    // Lays out and paints every box again; called after each load.
    virtual void RebuildBoxes() = 0;
    // The owner's picture for movies without a cover, or NULL.
    virtual COlePicture* GetDefaultPicture() = 0;
};

#ifdef _WIN32
// A level's background rendered at the layout's cached size: a memory
// context with a bitmap of that size selected into it.
class CLevelBackground {
public:
    CLevelBackground() : m_dc(NULL), m_bitmap(NULL), m_oldBitmap(NULL) {}
    ~CLevelBackground() { Release(); }
    void Release();

    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;

private:
    CLevelBackground(const CLevelBackground&) = delete;
    CLevelBackground& operator=(const CLevelBackground&) = delete;
};
#endif

// One background level; everything that belongs to it moves with it.
class CLayoutLevel {
public:
    CLayoutLevel(COLORREF light, COLORREF normal, COLORREF dark)
        : m_imageMode(IMAGE_STRETCH), m_light(light), m_normal(normal), m_dark(dark) {}

    BYTE m_imageMode;
    COLORREF m_light;   // shades the 3D border
    COLORREF m_normal;  // fills the box in solid mode
    COLORREF m_dark;    // shades the 3D border
    std::unique_ptr<COlePicture> m_picture;   // NULL: none
    std::unique_ptr<CBackgroundRule> m_rule;  // conditional levels only
#ifdef _WIN32
    CLevelBackground m_background;
#endif
};

class CListLayout {
public:
    // Loads at once. The default cover is the picture given, else the
    // owner's, else none.
    explicit CListLayout(IListLayoutOwner* owner = NULL, COlePicture* defaultCover = NULL);
    virtual ~CListLayout();

    // Reads the profile and the files, falling back to the defaults for
    // anything missing or damaged, and asks the owner to rebuild its boxes.
    bool Load();
    // Writes the files first, each through a temporary copy, then the counts
    // that name them; a failed write keeps the design saved before.
    void Save();

    // The first element whose margin box holds the point, or NULL.
    CLayoutSubItem* HitTest(POINT point) const;
    void ClearSelection();
    // Deletes the selected elements unless another element is aligned to one
    // of them (then an "Item error" box over the parent, and false).
    bool RemoveSelectedItems(HWND parent);
#ifdef _WIN32
    // Opens the Edit Item dialog on the first selected element, beside the
    // dialog that holds the preview, and lays the preview out again after
    // it. True when an element was edited and the edit kept; false when
    // none is selected or the edit was cancelled.
    bool EditSelectedItem(CListingPreview* preview);
#endif
    // Appends a new element and returns it.
    CLayoutSubItem* NewItem();
    // Deletes an element nothing refers to and sets *item to NULL.
    void DeleteItem(CLayoutSubItem** item);
    // Text elements show their templates (while the layout is edited).
    void ShowTemplates();
    // Puts every anchor before the elements aligned to it.
    void SortItemsByAnchor();
    // Exchanges the indices a and b in every anchor.
    void SwapLinks(int32_t a, int32_t b);
    // True when every anchor is -1 or another element, and the anchors in
    // use (those of an aligned element on an axis with an alignment bit)
    // form no cycle.
    bool HasSoundAnchors() const;
    // The anchor in use of element index on one axis (0 horizontal, 1
    // vertical) as stored, unchecked; -1 when that axis has no alignment bit.
    int32_t GetAnchorInUse(int32_t index, int axis) const;

    // "normal", "select" or the condition of a level as a new heap text;
    // NULL for an index out of range or a level without a rule.
    char* GetConditionText(int32_t level) const;
    // The level a box takes: select for a selected box, else the first
    // conditional level whose rule holds for the movie, else normal.
    int32_t ChooseLevel(const CMovie* movie, bool selected) const;

    // Appends a conditional level with a copy of the rule (nothing without one).
    void AddLevel(const CBackgroundRule* rule);
    // index 0 is the first conditional level (level 3).
    void RemoveLevel(int32_t index);
    // Level indices from 0; only conditional levels are exchanged.
    void SwapLevels(int32_t a, int32_t b);

    int32_t GetLevelCount() const { return int32_t(m_levels.size()); }
    CLayoutLevel* GetLevel(int32_t index) const;
    int32_t GetItemCount() const { return int32_t(m_items.size()); }
    CLayoutSubItem* GetItem(int32_t index) const;
    // The element's index, or -1 when it is not in the layout.
    int32_t IndexOfItem(const CLayoutSubItem* item) const;

    bool m_solidBackground;     // "solid_background": colours, else pictures
    bool m_3dBorder;            // "3d_border"
    int32_t m_borderWidth;      // "border_width"; 0 or less: no border
    int32_t m_marginX;          // "margin_x"
    int32_t m_marginY;          // "margin_y"
    COLORREF m_flatBorderColor; // "flat_border_color"
    int32_t m_cachedWidth;      // the box size the level backgrounds were rendered for
    int32_t m_cachedHeight;
    DWORD m_selectedCount;      // kept by the layout editor
    IListLayoutOwner* m_owner;
    COlePicture* m_defaultCover;                       // not owned
    std::vector<std::unique_ptr<CLayoutLevel>> m_levels;  // at least normal and select
    std::vector<std::unique_ptr<CLayoutSubItem>> m_items; // painting order

private:
    CListLayout(const CListLayout&) = delete;
    CListLayout& operator=(const CListLayout&) = delete;

    void LoadLevels();
    void LoadItems();
    void AddDefaultItems();
    void SwapItems(int32_t a, int32_t b);
};
