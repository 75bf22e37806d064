#include "dialogs/MovieFilesPage.h"

#include <cstdlib>
#include <string>

#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "dialogs/AddFileDlg.h"
#include "dialogs/EditFileDlg.h"
#include "dialogs/FileInfoDlg.h"
#include "dialogs/MovieInfoDlg.h"
#include "dialogs/MovieMainPage.h"
#include "resources/resource.h"

namespace {

const char kUnknownType[] = "[unknown]";
const char kRemovedNote[] =
    "This change will not be saved to database before you press save.\n"
    "So you have to close this dialog if you want to add the file again.";

} // namespace

BEGIN_MESSAGE_MAP(CMovieFilesPage, CMovieDlg_0)
    ON_LBN_SELCHANGE(IDC_FILES_LIST, OnSelChange)
    ON_LBN_SELCANCEL(IDC_FILES_LIST, OnSelCancel)
    ON_BN_CLICKED(IDC_FILES_ADD, OnAdd)
    ON_BN_CLICKED(IDC_FILES_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_FILES_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_FILES_MORE_INFO, OnMoreInfo)
END_MESSAGE_MAP()

CMovieFilesPage::CMovieFilesPage() : CMovieDlg_0(IDD_MOVIE_FILES, nullptr)
{
}

BOOL CMovieFilesPage::CreatePage(CWnd* parent)
{
    return CreateFromResource(parent);
}

BOOL CMovieFilesPage::OnInitDialog()
{
    CMovieDlg_0::OnInitDialog();
    for (int id : { IDC_FILES_REMOVE, IDC_FILES_MORE_INFO, IDC_FILES_EDIT })
        EnableItem(id, false);
    ::EnableScrollBar(::GetDlgItem(m_hWnd, IDC_FILES_INFO), SB_BOTH, ESB_ENABLE_BOTH);
    FillFromMovie();
    SendDlgItemMessage(IDC_FILES_LIST, LB_SETCURSEL, 0);
    OnSelChange();
    return FALSE;
}

void CMovieFilesPage::AllowAdd(bool titled)
{
    EnableItem(IDC_FILES_ADD, titled && !IsReadOnly());
}

int32_t CMovieFilesPage::ShownPartNumber(DWORD fileId, int32_t stored) const
{
    auto pending = m_pendingParts.find(fileId);
    return pending != m_pendingParts.end() ? pending->second : stored;
}

void CMovieFilesPage::FillFromMovie()
{
    if (m_hWnd == NULL)
        return;
    if (IsReadOnly()) {
        for (int id : { IDC_FILES_EDIT, IDC_FILES_MORE_INFO, IDC_FILES_ADD, IDC_FILES_REMOVE })
            EnableItem(id, false);
        SetItemReadOnly(IDC_FILES_TYPE, true);
    } else {
        CMovieInfoDlg* owner = GetOwner();
        AllowAdd(owner != nullptr && owner->GetMainPage()->HasTitleText());
    }
    CMovie* movie = EditedMovie();
    CMovieCollection* collection = Collection();
    if (movie == nullptr || collection == nullptr)
        return;
    SetWndText(::GetDlgItem(m_hWnd, IDC_FILES_TYPE), movie->GetDisplayName());

    HWND list = ::GetDlgItem(m_hWnd, IDC_FILES_LIST);
    ::SendMessage(list, LB_RESETCONTENT, 0, 0);
    std::string longest;
    for (DWORD id : movie->m_fileIds) {
        CMovieFile* file = collection->GetFileCopy(id);
        if (file != nullptr && file->m_fileName != nullptr) {
            std::string line;
            int32_t part = ShownPartNumber(id, file->m_partNumber);
            if (part >= 0)
                line = "(" + std::to_string(part) + ") ";
            line += file->m_fileName;
            LRESULT at = ::SendMessage(list, LB_ADDSTRING, 0, LPARAM(line.c_str()));
            if (at >= 0)
                ::SendMessage(list, LB_SETITEMDATA, WPARAM(at), LPARAM(id));
            if (line.size() > longest.size())
                longest = line;
        }
        collection->ReleaseFileCopy(&file);
    }
    // The longest line can be scrolled to its end.
    HDC dc = ::GetDC(list);
    if (dc != NULL) {
        HGDIOBJ old = ::SelectObject(dc, HGDIOBJ(::SendMessage(list, WM_GETFONT, 0, 0)));
        SIZE size = { 0, 0 };
        ::GetTextExtentPoint32A(dc, longest.c_str(), int(longest.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(list, dc);
        ::SendMessage(list, LB_SETHORIZONTALEXTENT, WPARAM(size.cx), 0);
    }
}

DWORD CMovieFilesPage::SelectedFileId() const
{
    LRESULT line = SendDlgItemMessage(IDC_FILES_LIST, LB_GETCURSEL);
    if (line == LB_ERR)
        return NO_ID;
    LRESULT data = SendDlgItemMessage(IDC_FILES_LIST, LB_GETITEMDATA, WPARAM(line));
    return data == LB_ERR ? NO_ID : DWORD(data);
}

void CMovieFilesPage::SelectFile(DWORD fileId)
{
    LRESULT count = SendDlgItemMessage(IDC_FILES_LIST, LB_GETCOUNT);
    for (LRESULT line = 0; line < count; line++) {
        if (DWORD(SendDlgItemMessage(IDC_FILES_LIST, LB_GETITEMDATA, WPARAM(line))) == fileId) {
            SendDlgItemMessage(IDC_FILES_LIST, LB_SETCURSEL, WPARAM(line));
            OnSelChange();
            return;
        }
    }
    OnSelCancel();
}

void CMovieFilesPage::OnSelChange()
{
    DWORD id = SelectedFileId();
    CMovieCollection* collection = Collection();
    if (id == NO_ID || collection == nullptr) {
        OnSelCancel();
        return;
    }
    bool editable = !IsReadOnly();
    EnableItem(IDC_FILES_REMOVE, editable);
    EnableItem(IDC_FILES_EDIT, editable);
    EnableItem(IDC_FILES_MORE_INFO, true);
    CMovieFile* file = collection->GetFileCopy(id);
    char* info = nullptr;
    if (file != nullptr)
        file->GetInfoText(&info);
    collection->ReleaseFileCopy(&file);
    SetWndText(::GetDlgItem(m_hWnd, IDC_FILES_INFO), info);
    free(info);
}

void CMovieFilesPage::OnSelCancel()
{
    for (int id : { IDC_FILES_REMOVE, IDC_FILES_MORE_INFO, IDC_FILES_EDIT })
        EnableItem(id, false);
    SetDlgItemText(IDC_FILES_INFO, "");
}

void CMovieFilesPage::OnAdd()
{
    CMovie* movie = EditedMovie();
    CMovieInfoDlg* owner = GetOwner();
    if (movie == nullptr || owner == nullptr || IsReadOnly())
        return;
    // The main page's fields go into the movie first, so that its refill
    // below shows what was typed there rather than what was stored.
    CMovieMainPage* main = owner->GetMainPage();
    main->SaveToMovie();
    CAddFileDlg dialog(owner);
    dialog.SetMovie(movie);
    if (dialog.DoModal() != IDOK)
        return;
    FillFromMovie();
    OnSelCancel();
    main->FillFromMovie(true);
}

void CMovieFilesPage::OnEdit()
{
    DWORD id = SelectedFileId();
    if (id == NO_ID || IsReadOnly())
        return;
    CEditFileDlg dialog(GetOwner());
    dialog.SetFileId(id);
    if (dialog.DoModal() != IDOK)
        return;
    m_pendingParts[id] = dialog.GetPartNumber();
    FillFromMovie();
    SelectFile(id);
}

void CMovieFilesPage::OnRemove()
{
    CMovie* movie = EditedMovie();
    LRESULT line = SendDlgItemMessage(IDC_FILES_LIST, LB_GETCURSEL);
    DWORD id = SelectedFileId();
    if (movie == nullptr || id == NO_ID || IsReadOnly())
        return;
    movie->RemoveFile(id);
    m_pendingParts.erase(id);
    SendDlgItemMessage(IDC_FILES_LIST, LB_DELETESTRING, WPARAM(line));
    OnSelCancel();
    MessageBox(kRemovedNote, "Information", MB_OK | MB_ICONINFORMATION);
}

void CMovieFilesPage::OnMoreInfo()
{
    DWORD id = SelectedFileId();
    if (id == NO_ID)
        return;
    CFileInfoDlg dialog(GetOwner());
    dialog.SetFile(id, false, Collection(), false, !IsReadOnly());
    dialog.DoModal();
    // A re-read may have changed or removed the file.
    FillFromMovie();
    SelectFile(id);
}

bool CMovieFilesPage::SaveToMovie()
{
    CMovie* movie = EditedMovie();
    CMovieCollection* collection = Collection();
    if (movie == nullptr || collection == nullptr || m_hWnd == NULL)
        return true;
    GetWndText(::GetDlgItem(m_hWnd, IDC_FILES_TYPE), &movie->m_customType);
    // The shown fallbacks are no type of the movie's own.
    if (movie->m_customType != nullptr &&
        (StrEqual(movie->m_customType, movie->m_mediaTypeName) || StrEqual(movie->m_customType, kUnknownType))) {
        free(movie->m_customType);
        movie->m_customType = nullptr;
    }
    // Part numbers edited here are stored with the movie, for the files it
    // still lists.
    for (const auto& pending : m_pendingParts) {
        if (!movie->HasFile(pending.first))
            continue;
        CMovieFile* file = collection->GetFileCopy(pending.first);
        if (file != nullptr)
            file->m_partNumber = pending.second;
        collection->ReleaseFileCopy(&file);
    }
    return true;
}
