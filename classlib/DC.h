// Device contexts. A CDC owns its handle (deleted with DeleteDC); CPaintDC,
// CClientDC and CWindowDC borrow one from a window for their lifetime.
#pragma once

#include <windows.h>
#include <string>

#include "classlib/GdiObject.h"
#include "classlib/Geometry.h"
#include "classlib/Wnd.h"

class CDC {
public:
    CDC() {}
    virtual ~CDC() { DeleteDC(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC hDC)
    {
        if (hDC == nullptr || m_hDC != nullptr)
            return FALSE;
        m_hDC = hDC;
        return TRUE;
    }
    HDC Detach()
    {
        HDC h = m_hDC;
        m_hDC = nullptr;
        return h;
    }

    BOOL CreateCompatibleDC(HDC hDC) { return Attach(::CreateCompatibleDC(hDC)); }
    BOOL CreateCompatibleDC(const CDC* pDC) { return CreateCompatibleDC(pDC ? pDC->m_hDC : (HDC)nullptr); }
    BOOL CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const DEVMODE* lpInitData)
    { return Attach(::CreateDC(lpszDriverName, lpszDeviceName, lpszOutput, lpInitData)); }
    BOOL DeleteDC()
    {
        if (m_hDC == nullptr)
            return FALSE;
        BOOL ok = ::DeleteDC(m_hDC);
        m_hDC = nullptr;
        return ok;
    }

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    // Selection answers the handle that was selected before.
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    HPEN SelectObject(CPen* pPen) { return (HPEN)::SelectObject(m_hDC, pPen->m_hObject); }
    HBRUSH SelectObject(CBrush* pBrush) { return (HBRUSH)::SelectObject(m_hDC, pBrush->m_hObject); }
    HFONT SelectObject(CFont* pFont) { return (HFONT)::SelectObject(m_hDC, pFont->m_hObject); }
    HBITMAP SelectObject(CBitmap* pBitmap) { return (HBITMAP)::SelectObject(m_hDC, pBitmap->m_hObject); }
    HGDIOBJ SelectStockObject(int nIndex) { return ::SelectObject(m_hDC, ::GetStockObject(nIndex)); }
    int SelectClipRgn(HRGN hRgn) { return ::SelectClipRgn(m_hDC, hRgn); }
    int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
    BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    int SetStretchBltMode(int nMode) { return ::SetStretchBltMode(m_hDC, nMode); }
    CPoint SetViewportOrg(int x, int y)
    { POINT p = {}; ::SetViewportOrgEx(m_hDC, x, y, &p); return CPoint(p); }
    CPoint SetWindowOrg(int x, int y)
    { POINT p = {}; ::SetWindowOrgEx(m_hDC, x, y, &p); return CPoint(p); }

    // ---- text
    BOOL TextOut(int x, int y, LPCSTR lpszString, int nCount) { return ::TextOut(m_hDC, x, y, lpszString, nCount); }
    BOOL TextOut(int x, int y, const std::string& str) { return TextOut(x, y, str.c_str(), (int)str.size()); }
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCSTR lpszString, UINT nCount,
                    const INT* lpDxWidths = nullptr)
    { return ::ExtTextOut(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths); }
    int DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
    { return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat); }
    int DrawText(const std::string& str, LPRECT lpRect, UINT nFormat)
    { return DrawText(str.c_str(), (int)str.size(), lpRect, nFormat); }
    CSize GetTextExtent(LPCSTR lpszString, int nCount) const
    { SIZE s = {}; ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &s); return CSize(s); }
    CSize GetTextExtent(const std::string& str) const { return GetTextExtent(str.c_str(), (int)str.size()); }
    BOOL GetTextExtentExPoint(LPCSTR lpszString, int nCount, int nMaxExtent, LPINT lpnFit,
                              LPINT alpDx, LPSIZE lpSize) const
    { return ::GetTextExtentExPoint(m_hDC, lpszString, nCount, nMaxExtent, lpnFit, alpDx, lpSize); }
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetrics(m_hDC, lpMetrics); }

    // ---- drawing
    CPoint MoveTo(int x, int y) { POINT p = {}; ::MoveToEx(m_hDC, x, y, &p); return CPoint(p); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    void FillRect(LPCRECT lpRect, HBRUSH hBrush) { ::FillRect(m_hDC, lpRect, hBrush); }
    void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    void FrameRect(LPCRECT lpRect, HBRUSH hBrush) { ::FrameRect(m_hDC, lpRect, hBrush); }
    void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
    BOOL InvertRgn(HRGN hRgn) { return ::InvertRgn(m_hDC, hRgn); }
    BOOL FillRgn(HRGN hRgn, HBRUSH hBrush) { return ::FillRgn(m_hDC, hRgn, hBrush); }
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
    void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

    // Fills a rectangle with one colour (the background colour is changed).
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
    {
        RECT r = { x, y, x + cx, y + cy };
        FillSolidRect(&r, clr);
    }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr)
    {
        ::SetBkColor(m_hDC, clr);
        ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    }
    // A one-pixel frame: top and left edges in the first colour, bottom and
    // right edges in the second.
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
    {
        Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, clrTopLeft, clrBottomRight);
    }
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
    {
        FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
        FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
        FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
        FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
    }

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    { return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop); }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, dwRop);
    }
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
    { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }

    // ---- printing
    int StartDoc(LPDOCINFO lpDocInfo) { return ::StartDoc(m_hDC, lpDocInfo); }
    int StartDoc(LPCSTR lpszDocName)
    {
        DOCINFO di = {};
        di.cbSize = sizeof(di);
        di.lpszDocName = lpszDocName;
        return ::StartDoc(m_hDC, &di);
    }
    int StartPage() { return ::StartPage(m_hDC); }
    int EndPage() { return ::EndPage(m_hDC); }
    int EndDoc() { return ::EndDoc(m_hDC); }
    int AbortDoc() { return ::AbortDoc(m_hDC); }
};

// The context of a WM_PAINT handler (BeginPaint/EndPaint).
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd) : CPaintDC(pWnd->m_hWnd) {}
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override
    {
        ::EndPaint(m_hWnd, &m_ps);
        m_hDC = nullptr;
    }
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// A window's client-area context (GetDC/ReleaseDC).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd) : CClientDC(pWnd->m_hWnd) {}
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override
    {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

private:
    HWND m_hWnd;
};

// A window's whole-window context (GetWindowDC/ReleaseDC).
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd) : CWindowDC(pWnd->m_hWnd) {}
    explicit CWindowDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetWindowDC(hWnd); }
    ~CWindowDC() override
    {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

private:
    HWND m_hWnd;
};
