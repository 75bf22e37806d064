#include "app/CoverStatic.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "classlib/DC.h"
#include "classlib/FileDialog.h"
#include "resources/resource.h"

namespace {

const char kImageFilter[] = "Image files (*.jpg;*.gif;*.jpeg)|*.jpg; *.gif; *.jpeg|All Files (*.*)|*.*||";
const COLORREF kNoPictureColor = RGB(192, 0, 192);

} // namespace

BEGIN_MESSAGE_MAP(CCoverStatic, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_COMMAND(ID_COVER_SHOW, OnShowCover)
    ON_COMMAND(ID_COVER_LOAD, OnLoadCover)
    ON_COMMAND(ID_COVER_SAVE, OnSaveCover)
    ON_COMMAND(ID_COVER_REMOVE, OnRemoveCover)
END_MESSAGE_MAP()

CCoverStatic::CCoverStatic() : m_picture(new COlePicture), m_ownsPicture(1), m_keepAspect(1)
{
    m_picture->LoadFromResource("GIF", IDR_DEFAULT_COVER);
}

CCoverStatic::~CCoverStatic()
{
    if (m_ownsPicture)
        delete m_picture;
}

void CCoverStatic::SetImage(COlePicture* picture)
{
    if (m_ownsPicture)
        delete m_picture;
    m_picture = picture;
    m_ownsPicture = 0;
    if (m_hWnd != NULL) {
        Invalidate();
        UpdateWindow();
    }
}

void CCoverStatic::SetImageAndSize(const BYTE* bytes, DWORD count, bool fit, bool keepAspect)
{
    if (!m_ownsPicture) {
        m_picture = NULL;
        m_ownsPicture = 1;
    }
    if (m_picture == NULL)
        m_picture = new COlePicture;
    if (bytes == NULL || count == 0 || !m_picture->LoadFromMemory(bytes, count))
        m_picture->LoadFromResource("GIF", IDR_DEFAULT_COVER);

    if (fit && m_hWnd != NULL) {
        SIZE size;
        {
            CClientDC dc(this);
            size = m_picture->GetPixelSize(dc);
        }
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        int width = size.cx + window.Width() - client.Width();
        int height = size.cy + window.Height() - client.Height();
        HWND parent = ::GetParent(m_hWnd);
        if (parent != NULL) {
            CRect outer;
            ::GetWindowRect(parent, &outer);
            ::SetWindowPos(parent, NULL, 0, 0, outer.Width() + width - window.Width(),
                           outer.Height() + height - window.Height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            char caption[48];
            snprintf(caption, sizeof caption, "[%dx%d]", int(size.cx), int(size.cy));
            ::SetWindowTextA(parent, caption);
        }
        SetWindowPos(NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    m_keepAspect = keepAspect ? 1 : 0;
    if (m_hWnd != NULL) {
        Invalidate();
        UpdateWindow();
    }
}

BOOL CCoverStatic::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CCoverStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_picture == NULL || m_picture->IsEmpty()) {
        dc.FillSolidRect(&client, kNoPictureColor);
        return;
    }
    if (!m_keepAspect) {
        m_picture->Render(dc, 0, 0, client.Width(), client.Height());
        return;
    }
    // As large as fits, in proportion, centred on black.
    dc.FillSolidRect(&client, RGB(0, 0, 0));
    SIZE size = m_picture->GetPixelSize(dc);
    if (size.cx <= 0 || size.cy <= 0 || client.Width() <= 0 || client.Height() <= 0)
        return;
    int width = client.Width();
    int height = MulDiv(width, size.cy, size.cx);
    if (height > client.Height()) {
        height = client.Height();
        width = MulDiv(height, size.cx, size.cy);
    }
    m_picture->Render(dc, (client.Width() - width) / 2, (client.Height() - height) / 2, width, height);
}

void CCoverStatic::EnableCoverMenu(HMENU popup, bool readOnly, bool hasCover)
{
    auto enable = [popup](UINT id, bool on) {
        ::EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(ID_COVER_SHOW, hasCover);
    enable(ID_COVER_LOAD, !readOnly);
    enable(ID_COVER_SAVE, !readOnly && hasCover);
    enable(ID_COVER_REMOVE, !readOnly && hasCover);
}

void CCoverStatic::ShowCoverMenu(POINT point, bool readOnly)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_COVER_MENU))
        return;
    HMENU popup = menu.GetSubMenu(0);
    if (popup == NULL)
        return;
    ICoverOwner* owner = GetCoverOwner();
    EnableCoverMenu(popup, readOnly, owner != NULL && owner->HasCover());
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, NULL);
}

ICoverOwner* CCoverStatic::GetCoverOwner() const
{
    return dynamic_cast<ICoverOwner*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

void CCoverStatic::OnShowCover()
{
    ICoverOwner* owner = GetCoverOwner();
    if (owner != NULL)
        owner->ShowCover();
}

void CCoverStatic::OnLoadCover()
{
    ICoverOwner* owner = GetCoverOwner();
    if (owner == NULL)
        return;
    CFileDialog dialog(TRUE, "jpg", NULL, OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST,
                       kImageFilter, this);
    if (dialog.DoModal() == IDOK)
        owner->LoadCover(dialog.GetPathName().c_str());
}

void CCoverStatic::OnSaveCover()
{
    ICoverOwner* owner = GetCoverOwner();
    if (owner == NULL)
        return;
    char* type = NULL;
    owner->GetCoverType(&type);
    if (type == NULL)
        return;
    std::string name = std::string("cover.") + type;
    CFileDialog dialog(FALSE, type, name.c_str(),
                       OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY |
                           OFN_OVERWRITEPROMPT,
                       kImageFilter, this);
    free(type);
    if (dialog.DoModal() == IDOK)
        owner->SaveCover(dialog.GetPathName().c_str());
}

void CCoverStatic::OnRemoveCover()
{
    ICoverOwner* owner = GetCoverOwner();
    if (owner != NULL)
        owner->RemoveCover();
}
