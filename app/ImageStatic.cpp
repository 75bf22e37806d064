#include "app/ImageStatic.h"

#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

BEGIN_MESSAGE_MAP(CImageStatic, CStatic)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CImageStatic::CImageStatic()
    : m_text(NULL), m_memDC(NULL), m_needsCapture(1), m_font(NULL), m_captured(),
      m_bitmap(NULL), m_oldBitmap(NULL)
{
}

CImageStatic::~CImageStatic()
{
    DropBackground();
    delete m_memDC;
    delete m_font;
    free(m_text);
}

void CImageStatic::DropBackground()
{
    if (m_memDC != NULL && m_oldBitmap != NULL)
        m_memDC->SelectObject(m_oldBitmap);
    if (m_bitmap != NULL)
        ::DeleteObject(m_bitmap);
    m_bitmap = NULL;
    m_oldBitmap = NULL;
    m_captured = SIZE();
}

LRESULT CImageStatic::OnSetText(WPARAM, LPARAM lParam)
{
    StrAssign(&m_text, reinterpret_cast<const char*>(lParam));
    m_needsCapture = 1;
    Invalidate();
    UpdateWindow();
    return TRUE;
}

LRESULT CImageStatic::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    delete m_font;
    m_font = NULL;
    LOGFONT description;
    if (wParam != 0 && ::GetObject(reinterpret_cast<HGDIOBJ>(wParam), sizeof description, &description) != 0) {
        m_font = new CFont;
        if (!m_font->CreateFontIndirect(&description)) {
            delete m_font;
            m_font = NULL;
        }
    }
    if (LOWORD(lParam)) {
        Invalidate();
        UpdateWindow();
    }
    return 0;
}

BOOL CImageStatic::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CImageStatic::OnPaint()
{
    CPaintDC dc(this);
    if (m_memDC == NULL) {
        m_memDC = new CDC;
        m_memDC->CreateCompatibleDC(&dc);
    } else if (m_bitmap != NULL) {
        dc.BitBlt(0, 0, m_captured.cx, m_captured.cy, m_memDC, 0, 0, SRCCOPY);
    }
    HGDIOBJ oldFont = m_font != NULL ? dc.SelectObject(m_font) : NULL;
    const char* text = m_text != NULL ? m_text : "";
    int length = int(strlen(text));

    if (m_needsCapture) {
        CSize extent = dc.GetTextExtent(text, length);
        DropBackground();
        SIZE size = { extent.cx + 5, extent.cy };
        HBITMAP bitmap = size.cy > 0 ? ::CreateCompatibleBitmap(dc, size.cx, size.cy) : NULL;
        if (bitmap != NULL) {
            m_bitmap = bitmap;
            m_oldBitmap = m_memDC->SelectObject(bitmap);
            m_captured = size;
            // What the screen shows under the control.
            CRect window;
            GetWindowRect(&window);
            HDC screen = ::GetDC(NULL);
            ::BitBlt(*m_memDC, 0, 0, size.cx, size.cy, screen, window.left, window.top, SRCCOPY);
            ::ReleaseDC(NULL, screen);
            dc.BitBlt(0, 0, size.cx, size.cy, m_memDC, 0, 0, SRCCOPY);
        }
        m_needsCapture = 0;
    }

    dc.SetBkMode(TRANSPARENT);
    CRect client;
    GetClientRect(&client);
    dc.DrawText(text, length, &client, DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont != NULL)
        dc.SelectObject(oldFont);
}
