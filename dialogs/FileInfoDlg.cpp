#include "dialogs/FileInfoDlg.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include <shellapi.h>

#include "classlib/WinApp.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "dialogs/ReReadDiscDlg.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/file_info_dialog.html";

// The controls that only a file uses; hidden while a disc is shown.
const int kFileControls[] = {
    IDC_FILEINFO_NAME,       IDC_FILEINFO_NAME_LABEL,    IDC_FILEINFO_SIZE,  IDC_FILEINFO_SIZE_LABEL,
    IDC_FILEINFO_CREATED,    IDC_FILEINFO_CREATED_LABEL, IDC_FILEINFO_TYPE,  IDC_FILEINFO_TYPE_LABEL,
    IDC_FILEINFO_EXTRA_GROUP, IDC_FILEINFO_EXTRA,        IDC_FILEINFO_PLAY,  IDC_FILEINFO_MOVIE_LABEL,
};

// Whether a path names an existing file or folder, asked without the
// system's "no disk in drive" boxes for empty drives.
bool PathExists(const std::string& path)
{
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetErrorMode(oldMode);
    return attributes != INVALID_FILE_ATTRIBUTES;
}

} // namespace

BEGIN_MESSAGE_MAP(CFileInfoDlg, CHelpDialog)
    ON_BN_CLICKED(IDC_FILEINFO_PLAY, OnPlayFile)
    ON_BN_CLICKED(IDC_FILEINFO_REREAD, OnReReadDisc)
    ON_BN_CLICKED(IDC_FILEINFO_CREATE_MOVIE, OnCreateMovie)
END_MESSAGE_MAP()

CFileInfoDlg::CFileInfoDlg(CWnd* pParent)
    : CHelpDialog(IDD_FILE_INFO, pParent, kHelpTopic), m_fileId(NO_ID), m_discId(NO_ID), m_disc(false),
      m_remove(false), m_layout(false), m_collection(&theCollection), m_reReadAllowed(true)
{
}

void CFileInfoDlg::SetFile(DWORD id, bool disc, CMovieCollection* collection, bool remove, bool reReadAllowed)
{
    m_collection = collection != nullptr ? collection : &theCollection;
    m_disc = disc;
    m_remove = remove;
    m_reReadAllowed = reReadAllowed;
    if (disc) {
        m_discId = id;
        m_fileId = NO_ID;
    } else {
        m_fileId = id;
        m_discId = NO_ID;
        CDisc* holder = id != NO_ID ? m_collection->GetDiscCopyByFile(id) : nullptr;
        if (holder != nullptr)
            m_discId = holder->m_id;
        m_collection->ReleaseDiscCopy(&holder);
    }
    if (m_hWnd != NULL)
        Fill();
}

BOOL CFileInfoDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    Fill();
    // The modal form starts on its OK button; the panel leaves the focus
    // where it is (on the tree).
    if ((GetStyle() & WS_CHILD) == 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDOK));
        return FALSE;
    }
    return TRUE;
}

std::string CFileInfoDlg::FormatSize(int64_t size)
{
    char text[64];
    if (size < 1024)
        return std::to_string(size) + " B";  // the whole 64-bit value, negative ones too
    if (size < 1048576)
        snprintf(text, sizeof text, "%.2f KB", double(size) / 1024.0);
    else if (size < 1073741824)
        snprintf(text, sizeof text, "%.2f MB", double(size) / 1048576.0);
    else
        snprintf(text, sizeof text, "%.2f GB", double(size) / 1073741824.0);
    return text;
}

void CFileInfoDlg::ShowItem(int id, bool show)
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (item != NULL)
        ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

void CFileInfoDlg::Fill()
{
    CDisc* disc = m_discId != NO_ID ? m_collection->GetDiscCopy(m_discId) : nullptr;
    CMovieFile* file = m_fileId != NO_ID ? m_collection->GetFileCopy(m_fileId) : nullptr;
    bool removable = disc != nullptr && !disc->m_fixedOrNetwork;
    bool fileShown = !m_disc && file != nullptr;

    // Re-reading changes the stored catalogue, so it is offered only there,
    // and never where the caller is read-only.
    ShowItem(IDC_FILEINFO_REREAD, removable && !m_remove && m_reReadAllowed && m_collection == &theCollection);

    if (disc != nullptr) {
        SetWndText(::GetDlgItem(m_hWnd, IDC_FILEINFO_LABEL), disc->m_name);
        SetWndText(::GetDlgItem(m_hWnd, IDC_FILEINFO_SERIAL), disc->m_serialNumber);
        UINT icon = removable ? IDI_TREE_CDROM : disc->m_network ? IDI_TREE_NETWORK : IDI_TREE_FIXED;
        HICON picture = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(icon));
        SendDlgItemMessage(IDC_FILEINFO_ICON, STM_SETICON, WPARAM(picture), 0);
    } else {
        SetDlgItemText(IDC_FILEINFO_LABEL, "");
        SetDlgItemText(IDC_FILEINFO_SERIAL, "");
    }

    if (file != nullptr) {
        SetWndText(::GetDlgItem(m_hWnd, IDC_FILEINFO_NAME), file->m_fileName);
        SetDlgItemText(IDC_FILEINFO_SIZE, FormatSize(file->m_size).c_str());
        char created[64];
        const SYSTEMTIME& time = file->m_creationTime;
        snprintf(created, sizeof created, "%04d-%02d-%02d %02d:%02d", time.wYear, time.wMonth, time.wDay,
                 time.wHour, time.wMinute);
        SetDlgItemText(IDC_FILEINFO_CREATED, created);
        SetDlgItemText(IDC_FILEINFO_TYPE, file->GetFormatName());
        char* info = nullptr;
        file->GetInfoText(&info);
        SetWndText(::GetDlgItem(m_hWnd, IDC_FILEINFO_EXTRA), info);
        free(info);
    } else {
        for (int id : {IDC_FILEINFO_NAME, IDC_FILEINFO_SIZE, IDC_FILEINFO_CREATED, IDC_FILEINFO_TYPE,
                       IDC_FILEINFO_EXTRA})
            SetDlgItemText(id, "");
    }

    // The movie line of the panel: the holding movie's title, or the offer
    // to make one.
    bool hasMovie = false;
    if (file != nullptr) {
        CMovie* movie = m_collection->GetMovieCopyByFile(m_fileId);
        hasMovie = movie != nullptr;
        SetWndText(::GetDlgItem(m_hWnd, IDC_FILEINFO_MOVIE), hasMovie ? movie->m_title : "[none]");
        m_collection->ReleaseMovieCopy(&movie);
    }
    if (m_layout != m_disc) {
        for (int id : kFileControls)
            ShowItem(id, !m_disc);
        m_layout = m_disc;
    }
    ShowItem(IDC_FILEINFO_MOVIE, !m_disc && hasMovie);
    ShowItem(IDC_FILEINFO_CREATE_MOVIE, fileShown && !hasMovie);

    if (m_remove && disc != nullptr) {
        ShowItem(IDOK, !m_disc);
        ShowItem(IDCANCEL, m_disc);
        SetDlgItemText(IDCANCEL, removable ? "Remove Disc" : "Remove Drive");
    }

    bool isDvd = file != nullptr && file->m_mediaInfo != nullptr && file->m_mediaInfo->IsDvd();
    ShowItem(IDC_FILEINFO_PLAY, disc != nullptr && !removable && fileShown && !isDvd);

    m_collection->ReleaseFileCopy(&file);
    m_collection->ReleaseDiscCopy(&disc);
}

void CFileInfoDlg::OnOK()
{
    if (!m_remove) {
        if ((GetStyle() & WS_CHILD) == 0)
            EndDialog(IDOK);
        return;
    }
    RemoveShownRecord();
}

// The panel's disc button carries the Cancel id: in remove mode with a disc
// shown it removes the disc. Otherwise Cancel closes the modal form only.
void CFileInfoDlg::OnCancel()
{
    if (m_remove && m_disc) {
        RemoveShownRecord();
        return;
    }
    if ((GetStyle() & WS_CHILD) == 0)
        EndDialog(IDCANCEL);
}

void CFileInfoDlg::RemoveShownRecord()
{
    if (m_disc) {
        if (m_discId == NO_ID)
            return;
        if (AskUser("All files on this cd and all the references to those files will also be removed.", "Warning",
                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        m_collection->RemoveDisc(m_discId);
        CDisc* left = m_collection->GetDiscCopy(m_discId);
        if (left != nullptr)
            ShowError(0, "Error removing Drive from database");
        m_collection->ReleaseDiscCopy(&left);
    } else {
        if (m_fileId == NO_ID)
            return;
        if (AskUser("All references to the file, in cds or movies will also be removed.\nIf a Drive turns empty "
                    "doing this it to will be deleted.",
                    "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        m_collection->RemoveFile(m_fileId);
        CMovieFile* left = m_collection->GetFileCopy(m_fileId);
        if (left != nullptr)
            ShowError(0, "Error removing file from database");
        m_collection->ReleaseFileCopy(&left);
    }
    RefreshAfterRemoval();
}

void CFileInfoDlg::RefreshAfterRemoval()
{
    if (m_onRemoved)
        m_onRemoved();
    else
        Fill();
}

char CFileInfoDlg::NextDriveLetter(char letter, char start, int* tried)
{
    // The stored letter is a byte of the file: one outside "a".."z" never
    // comes round again, so the walk ends after every letter was tried once.
    if (++*tried > 26)
        return 0;
    char next = (letter >= 'a' && letter < 'z') ? char(letter + 1) : 'a';
    return next == start ? 0 : next;
}

void CFileInfoDlg::OnPlayFile()
{
    CDisc* disc = m_discId != NO_ID ? m_collection->GetDiscCopy(m_discId) : nullptr;
    CMovieFile* file = m_fileId != NO_ID ? m_collection->GetFileCopy(m_fileId) : nullptr;
    if (disc != nullptr && file != nullptr && file->m_folder != nullptr && file->m_fileName != nullptr && *file->m_fileName != 0) {
        std::string rest = RecordPath(file->m_folder, file->m_fileName);
        char start = char(tolower((unsigned char)disc->m_driveLetter));
        char letter = start;
        int tried = 0;
        std::string path;
        bool found = false;
        while (letter != 0) {
            path = std::string(1, letter) + ":" + rest;
            if (PathExists(path)) {
                found = true;
                break;
            }
            letter = NextDriveLetter(letter, start, &tried);
        }
        if (found) {
            HINSTANCE result = ShellExecuteA(m_hWnd, "play", path.c_str(), NULL, NULL, SW_SHOWDEFAULT);
            if (INT_PTR(result) <= 32)
                ShowError(0, "Unable to play file %s", path.c_str());
        } else {
            ShowError(0, "Unable to find file %s", (std::string(1, start) + ":" + rest).c_str());
        }
    }
    m_collection->ReleaseFileCopy(&file);
    m_collection->ReleaseDiscCopy(&disc);
}

void CFileInfoDlg::OnReReadDisc()
{
    CReReadDiscDlg dlg(this);
    dlg.SetDiscId(m_discId);
    if (dlg.DoModal() == IDOK)
        Fill();
}

void CFileInfoDlg::OnCreateMovie()
{
    if (m_disc || m_fileId == NO_ID)
        return;
    CMovie* movie = new CMovie();
    movie->AddFile(m_fileId, true);  // a new movie takes its first file as it is
    m_collection->AddMovie(movie, false);
    delete movie;
    Fill();
}
