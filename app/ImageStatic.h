// A static control that draws its text over the background that was on the
// screen beneath it, such as a picture painted by its parent. The background
// is captured once per text and put back before each paint.
#pragma once

#include "classlib/DC.h"
#include "classlib/GdiObject.h"
#include "classlib/Static.h"

class CImageStatic : public CStatic {
public:
    CImageStatic();
    ~CImageStatic() override;

    char* m_text;          // a copy of the last text set
    CDC* m_memDC;          // the captured background; made at the first paint
    BYTE m_needsCapture;   // set by a new text
    CFont* m_font;         // a copy of the font set, or NULL
    SIZE m_captured;       // the size of the captured background

protected:
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void DropBackground();

    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
};
