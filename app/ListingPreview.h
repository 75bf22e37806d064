// The live preview of the "Configure Movies listing" dialog: a list box that
// paints one sample movie-box with the dialog's layout, in the background
// level chosen in the dialog, and lets the user select elements (Ctrl adds
// to the selection) and open one with a double click.
#pragma once

#include <cstdint>

#include "app/PaintItem.h"
#include "classlib/ListBox.h"
#include "core/Movie.h"

class CListLayout;
class CLayoutSubItem;

class CListingPreview : public CListBox {
public:
    CListingPreview();
    ~CListingPreview() override;

    void SetLayout(CListLayout* layout);
    CListLayout* GetLayout() const { return m_layout; }
    // The background level shown (an index from 0; -1 lets the rules choose).
    void SetPreviewLevel(int32_t level) { m_level = level; }
    // Lays the sample box out and paints it again; scrolls so that the
    // element given is centred where the box allows.
    void Relayout(CLayoutSubItem* keepInView = nullptr);

    // The element at a client point: the first in layout order whose place
    // in the box holds it, or NULL.
    CLayoutSubItem* ItemAt(CPoint point) const;
    int32_t GetBoxWidth() const { return m_boxWidth; }
    int32_t GetBoxHeight() const { return m_boxHeight; }
    POINT GetScrollPosition() const { return {m_scrollX, m_scrollY}; }
    // The painted box, for tests and screenshots.
    HDC GetBoxDc() const { return m_boxDc; }

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void ReleaseBox();
    void UpdateScrollBars();
    void Scroll(int bar, UINT code);
    void Draw(HDC dc);
    void UpdateParentButtons();

    CListLayout* m_layout;   // not owned
    int32_t m_boxWidth;
    int32_t m_boxHeight;
    HDC m_boxDc;
    HBITMAP m_boxBitmap;
    HGDIOBJ m_oldBitmap;
    CMovie m_movie;          // "Testing testing" of the type "test"
    LaidOutItems m_laid;
    int32_t m_scrollX;
    int32_t m_scrollY;
    int32_t m_level;
    bool m_selected;
    // The button-up that ends a double click is not a click of its own.
    bool m_skipButtonUp;
    bool m_sizing;
};
