// GDI objects: pens, brushes, fonts, bitmaps and regions. Each object owns
// its handle and deletes it when destroyed or when another is made in its
// place; Attach and Detach move a handle in and out without deleting it.
#pragma once

#include <windows.h>

HINSTANCE AfxGetResourceHandle();

class CGdiObject {
public:
    CGdiObject() {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ hObject)
    {
        if (hObject == nullptr)
            return FALSE;
        DeleteObject();
        m_hObject = hObject;
        return TRUE;
    }
    HGDIOBJ Detach()
    {
        HGDIOBJ h = m_hObject;
        m_hObject = nullptr;
        return h;
    }
    BOOL DeleteObject()
    {
        if (m_hObject == nullptr)
            return FALSE;
        BOOL ok = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return ok;
    }
    int GetObject(int nCount, LPVOID lpObject) const { return ::GetObject(m_hObject, nCount, lpObject); }

protected:
    BOOL Take(HGDIOBJ hObject) { return hObject != nullptr && Attach(hObject); }
};

class CPen : public CGdiObject {
public:
    CPen() {}
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    operator HPEN() const { return (HPEN)m_hObject; }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
    { return Take(::CreatePen(nPenStyle, nWidth, crColor)); }
    BOOL CreatePenIndirect(const LOGPEN* lpLogPen) { return Take(::CreatePenIndirect(lpLogPen)); }
};

class CBrush : public CGdiObject {
public:
    CBrush() {}
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    BOOL CreateSolidBrush(COLORREF crColor) { return Take(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Take(::CreateHatchBrush(nIndex, crColor)); }
    BOOL CreatePatternBrush(HBITMAP hBitmap) { return Take(::CreatePatternBrush(hBitmap)); }
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return (HFONT)m_hObject; }
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont) { return Take(::CreateFontIndirect(lpLogFont)); }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                    BYTE nPitchAndFamily, LPCSTR lpszFacename)
    {
        return Take(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                 bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                 nQuality, nPitchAndFamily, lpszFacename));
    }
    int GetLogFont(LOGFONT* pLogFont) const { return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont); }
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCSTR lpszResourceName)
    { return Take(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName)); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
    { return Take(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits)); }
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight)
    { return Take(::CreateCompatibleBitmap(hDC, nWidth, nHeight)); }
    int GetBitmap(BITMAP* pBitMap) const { return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap); }
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const { return (HRGN)m_hObject; }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Take(::CreateRectRgn(x1, y1, x2, y2)); }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Take(::CreateRectRgnIndirect(lpRect)); }
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Take(::CreateEllipticRgn(x1, y1, x2, y2)); }
    BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
    { return Take(::CreatePolygonRgn(lpPoints, nCount, nMode)); }
    // Combines two regions into this one, which must already exist.
    int CombineRgn(HRGN hRgn1, HRGN hRgn2, int nCombineMode)
    { return ::CombineRgn((HRGN)m_hObject, hRgn1, hRgn2, nCombineMode); }
    void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    int OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
};
