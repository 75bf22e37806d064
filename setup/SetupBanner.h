// The installer's full-screen window: a blue gradient falling to black and
// the banner picture.
#pragma once

#include "classlib/Wnd.h"

class CSetupBanner : public CWnd {
public:
    CSetupBanner() : m_gradient(nullptr), m_width(0), m_height(0) {}
    ~CSetupBanner() override;

    // The blue of a row: 255 at the top falling to 0 at the bottom.
    static int RowBlue(int row, int top, int height);

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    HBITMAP m_gradient;  // drawn once for the client size
    int m_width;
    int m_height;
};
