#include "app/ColorStatic.h"

#include "classlib/DC.h"

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CColorStatic::SetColor(COLORREF color)
{
    m_color = color;
    if (m_hWnd != NULL) {
        Invalidate();
        UpdateWindow();
    }
}

// Fills the control, then lets the static draw what it draws (its frame).
void CColorStatic::OnPaint()
{
    {
        CClientDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, m_color);
    }
    Default();
}
