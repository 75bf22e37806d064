#include "setup/SetupBanner.h"

#include "classlib/DC.h"
#include "resources/setup_resource.h"

BEGIN_MESSAGE_MAP(CSetupBanner, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSetupBanner::~CSetupBanner()
{
    if (m_gradient != nullptr)
        ::DeleteObject(m_gradient);
}

int CSetupBanner::RowBlue(int row, int top, int height)
{
    if (height <= 0)
        return 255;
    long long blue = 255 - (long long)(row - top) * 255 / height;
    return blue < 0 ? 0 : blue > 255 ? 255 : int(blue);
}

BOOL CSetupBanner::OnEraseBkgnd(CDC* pDC)
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    HDC screen = pDC->m_hDC;
    HDC memory = ::CreateCompatibleDC(screen);
    if (m_gradient == nullptr || width != m_width || height != m_height) {
        if (m_gradient != nullptr)
            ::DeleteObject(m_gradient);
        m_gradient = ::CreateCompatibleBitmap(screen, width, height);
        m_width = width;
        m_height = height;
        HGDIOBJ old = ::SelectObject(memory, m_gradient);
        for (int row = 0; row < height; row++) {
            RECT line = {0, row, width, row + 1};
            HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, RowBlue(row, 0, height)));
            ::FillRect(memory, &line, brush);
            ::DeleteObject(brush);
        }
        ::SelectObject(memory, old);
    }
    HGDIOBJ old = ::SelectObject(memory, m_gradient);
    ::BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return TRUE;
}

void CSetupBanner::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HINSTANCE instance = ::GetModuleHandle(nullptr);
    HBITMAP picture = ::LoadBitmap(instance, MAKEINTRESOURCE(IDB_SETUP_PICTURE));
    HBITMAP mask = ::LoadBitmap(instance, MAKEINTRESOURCE(IDB_SETUP_MASK));
    if (picture != nullptr && mask != nullptr) {
        BITMAP size;
        ::GetObject(picture, sizeof(size), &size);
        int x = client.right / 12, y = client.bottom / 9;
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, mask);
        ::BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCAND);
        ::SelectObject(memory, picture);
        ::BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCPAINT);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
    }
    if (picture != nullptr)
        ::DeleteObject(picture);
    if (mask != nullptr)
        ::DeleteObject(mask);
    ::EndPaint(m_hWnd, &paint);
}
