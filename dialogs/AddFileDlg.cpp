#include "dialogs/AddFileDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "app/FileAdder.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/FileInfoDlg.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/add_file_dialog.html";
const int kListIds[2] = {IDC_ADDFILE_GOOD, IDC_ADDFILE_ALL};

// The lists live inside the tab control, which gets their notifications:
// the tab's window object hands them on to the dialog. It lives as long as
// the tab and deletes itself once the window is gone.
class CForwardCommands : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            return ::SendMessage(::GetParent(m_hWnd), message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }
};

// The offered line of a file: "[label]:\folder\name", with the video's size,
// rate and format when it has a video stream.
std::string ItemText(const std::string& discName, const CMovieFile& file)
{
    std::string text = "[" + discName + "]:";
    text += RecordPath(file.m_folder, file.m_fileName);
    const VideoStreamInfo* video = file.m_mediaInfo ? file.m_mediaInfo->GetVideoStream() : NULL;
    if (video != NULL) {
        char part[200];
        snprintf(part, sizeof part, "\t[%dx%d @ %.3f %s]", int(video->width), int(video->height),
                 double(file.GetFormat()->framesPerSecond), file.GetFormatName());
        text += part;
    }
    return text;
}

} // namespace

CAddFileItem::CAddFileItem() : m_fits(0), m_text(NULL), m_reason(NULL), m_fileId(NO_ID)
{
}

CAddFileItem::~CAddFileItem()
{
    free(m_text);
    free(m_reason);
}

BEGIN_MESSAGE_MAP(CAddFileDlg, CHelpDialog)
    ON_NOTIFY(TCN_SELCHANGE, IDC_ADDFILE_TABS, OnTabChange)
    ON_LBN_SELCHANGE(IDC_ADDFILE_GOOD, OnSelectionChange)
    ON_LBN_SELCANCEL(IDC_ADDFILE_GOOD, OnSelectionChange)
    ON_LBN_SELCHANGE(IDC_ADDFILE_ALL, OnSelectionChange)
    ON_LBN_SELCANCEL(IDC_ADDFILE_ALL, OnSelectionChange)
    ON_LBN_DBLCLK(IDC_ADDFILE_GOOD, OnDoubleClick)
    ON_LBN_DBLCLK(IDC_ADDFILE_ALL, OnDoubleClick)
    ON_BN_CLICKED(IDC_ADDFILE_INFO, OnInfo)
    ON_BN_CLICKED(IDC_ADDFILE_NEW, OnAddNewFiles)
END_MESSAGE_MAP()

CAddFileDlg::CAddFileDlg(CWnd* pParent)
    : CHelpDialog(IDD_ADD_FILE, pParent, kHelpTopic), m_movie(nullptr), m_lists{NULL, NULL}
{
}

void CAddFileDlg::SetMovie(CMovie* movie)
{
    m_movie = movie;
    m_items.clear();
    if (movie == nullptr)
        return;

    // Which movie holds which file, and which disc: read once for the whole
    // catalogue instead of copies of a movie (with its cover) and a disc per
    // file.
    std::unordered_set<DWORD> held(movie->m_fileIds.begin(), movie->m_fileIds.end());
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id))
        theCollection.ReadMovie(id, [&](const CMovie& stored) { held.insert(stored.m_fileIds.begin(), stored.m_fileIds.end()); });
    std::vector<std::string> discNames;
    std::unordered_map<DWORD, size_t> discOf;  // file id -> index into discNames
    for (DWORD id = theCollection.GetNextIdOfDisc(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfDisc(id)) {
        CDisc* disc = theCollection.GetDiscCopy(id);
        if (disc != NULL) {
            for (DWORD fileId : disc->m_fileIds)
                discOf.emplace(fileId, discNames.size());
            discNames.push_back(disc->m_name != NULL ? disc->m_name : "");
        }
        theCollection.ReleaseDiscCopy(&disc);
    }

    for (DWORD id = theCollection.GetNextIdOfFile(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfFile(id)) {
        // Files some movie holds, the edited one included, are not offered:
        // adding one again would list it twice.
        auto where = discOf.find(id);
        if (held.count(id) != 0 || where == discOf.end())
            continue;
        CMovieFile* file = theCollection.GetFileCopy(id);
        if (file != NULL) {
            std::unique_ptr<CAddFileItem> item(new CAddFileItem);
            item->m_fileId = id;
            StrSet(&item->m_text, ItemText(discNames[where->second], *file).c_str());
            m_items.push_back(std::move(item));
        }
        theCollection.ReleaseFileCopy(&file);
    }
    // The fit test may hand file copies back: asked once the copies above
    // are back.
    for (auto& item : m_items)
        item->m_fits = movie->CanAddFile(item->m_fileId, true, &item->m_reason) ? 1 : 0;
}

BOOL CAddFileDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ADDFILE_INFO), FALSE);

    HWND tab = ::GetDlgItem(m_hWnd, IDC_ADDFILE_TABS);
    for (int i = 0; i < 2; i++)
        m_lists[i] = ::GetDlgItem(m_hWnd, kListIds[i]);
    const char* names[2] = {"Good files", "All files"};
    for (int i = 0; i < 2; i++) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(names[i]);
        item.lParam = LPARAM(m_lists[i]);
        ::SendMessage(tab, TCM_INSERTITEMA, i, LPARAM(&item));
    }
    CForwardCommands* forward = new CForwardCommands;
    if (!forward->SubclassWindow(tab))
        delete forward;

    // Both lists fill the tab's area below the tabs, 5 pixels in.
    RECT area;
    ::GetClientRect(tab, &area);
    ::SendMessage(tab, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
    ::InflateRect(&area, -5, -5);
    for (HWND list : m_lists) {
        ::SendMessage(list, LB_RESETCONTENT, 0, 0);
        ::SetParent(list, tab);
        ::MoveWindow(list, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    }
    for (auto& item : m_items) {
        HWND list = m_lists[item->m_fits ? 0 : 1];
        LRESULT line = ::SendMessage(list, LB_ADDSTRING, 0, LPARAM(item->m_text != NULL ? item->m_text : ""));
        if (line >= 0)
            ::SendMessage(list, LB_SETITEMDATA, WPARAM(line), LPARAM(item.get()));
    }
    ::ShowWindow(m_lists[0], SW_SHOW);
    ::ShowWindow(m_lists[1], SW_HIDE);
    return TRUE;
}

HWND CAddFileDlg::VisibleList() const
{
    int tab = int(SendDlgItemMessage(IDC_ADDFILE_TABS, TCM_GETCURSEL));
    return m_lists[tab == 1 ? 1 : 0];
}

void CAddFileDlg::OnTabChange(NMHDR*, LRESULT* pResult)
{
    HWND shown = VisibleList();
    for (HWND list : m_lists)
        ::ShowWindow(list, list == shown ? SW_SHOW : SW_HIDE);
    OnSelectionChange();
    *pResult = 0;
}

void CAddFileDlg::OnSelectionChange()
{
    BOOL any = ::SendMessage(VisibleList(), LB_GETSELCOUNT, 0, 0) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), any);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ADDFILE_INFO), any);
}

void CAddFileDlg::OnDoubleClick()
{
    if (::SendMessage(VisibleList(), LB_GETSELCOUNT, 0, 0) > 0)
        OnOK();
}

void CAddFileDlg::OnInfo()
{
    HWND list = VisibleList();
    LRESULT caret = ::SendMessage(list, LB_GETCARETINDEX, 0, 0);
    LRESULT data = caret >= 0 ? ::SendMessage(list, LB_GETITEMDATA, WPARAM(caret), 0) : LB_ERR;
    if (data == LB_ERR || data == 0)
        return;
    CFileInfoDlg info(this);
    info.SetFile(reinterpret_cast<CAddFileItem*>(data)->m_fileId, false, &theCollection, false, true);
    info.DoModal();
}

void CAddFileDlg::OnOK()
{
    HWND list = VisibleList();
    int count = int(::SendMessage(list, LB_GETSELCOUNT, 0, 0));
    if (m_movie == nullptr || count <= 0)
        return;
    std::vector<int> lines(count);
    count = int(::SendMessage(list, LB_GETSELITEMS, WPARAM(count), LPARAM(lines.data())));
    lines.resize(count > 0 ? count : 0);
    std::vector<int> added;
    for (int line : lines) {
        CAddFileItem* item = reinterpret_cast<CAddFileItem*>(::SendMessage(list, LB_GETITEMDATA, line, 0));
        if (item == nullptr || LRESULT(item) == LB_ERR)
            continue;
        if (!item->m_fits) {
            std::string question = "You are trying to add:\n";
            question += item->m_text != NULL ? item->m_text : "";
            question += "\nto this movie. As far as I can see this file doesn't fit. Why?:\n\"";
            question += item->m_reason != NULL ? item->m_reason : "";
            question += "\"\n\nAdd this file anyway ?";
            if (AskUser(question.c_str(), "Question", MB_YESNO | MB_ICONQUESTION) != IDYES) {
                // The files added so far are the movie's now: their lines go,
                // so that they can't be added twice.
                for (auto it = added.rbegin(); it != added.rend(); ++it)
                    ::SendMessage(list, LB_DELETESTRING, WPARAM(*it), 0);
                OnSelectionChange();
                return;
            }
        }
        if (!m_movie->HasFile(item->m_fileId))
            m_movie->AddFile(item->m_fileId, true);
        added.push_back(line);
    }
    EndDialog(IDOK);
}

void CAddFileDlg::OnAddNewFiles()
{
    // The main frame's add-files routine: the open-file dialog, then each
    // chosen file stored and given to this movie.
    std::vector<std::string> paths;
    if (!ChooseMediaFiles(GetParent(), NULL, &paths))
        return;
    bool added = false;
    if (AddFilePaths(paths, m_movie, &added))
        EndDialog(IDOK);
}
