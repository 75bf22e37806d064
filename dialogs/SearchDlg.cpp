#include "dialogs/SearchDlg.h"

#include <commctrl.h>

#include <new>

#include "app/MainFrame.h"
#include "classlib/ProcGuard.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "search";
// How long Close waits for a stopped worker before it gives up waiting.
const DWORD kStopWaitMs = 20000;

// Sent by the worker: a result (wParam kind, lParam the FoundResult), and
// the end of the walk (wParam the number of results).
const UINT WM_SEARCH_FOUND = WM_APP + 40;
const UINT WM_SEARCH_ENDED = WM_APP + 41;

struct FoundResult {
    DWORD id;
    const char* text;
};

// The inputs that are locked while a search runs ("Case sensitive" stays).
const int kInputs[] = { IDC_SEARCH_TEXT, IDC_SEARCH_FILES, IDC_SEARCH_MOVIES, IDC_SEARCH_EXACT,
                        IDC_SEARCH_ANY_WORD, IDC_SEARCH_EXTRA };

} // namespace

UINT SearchThread(LPVOID param)
{
    CSearchJob* job = static_cast<CSearchJob*>(param);
    if (job == nullptr)
        return 0;
    if (job->m_dialog == nullptr || job->IsStopRequested()) {
        job->SetDone();
        return 0;
    }
    HWND dialog = job->m_dialog->m_hWnd;
    long found = 0;
    try {
        found = SearchCollection(theCollection, job->m_options, job->StopFlag(),
                                 [dialog](int kind, DWORD id, const char* text) {
                                     FoundResult result = { id, text };
                                     ::SendMessage(dialog, WM_SEARCH_FOUND, WPARAM(kind), LPARAM(&result));
                                 });
    } catch (...) {
        // The dialog says so at the end instead of showing part of the
        // results as all there are.
        job->m_failure = AfxCaughtExceptionText();
    }
    // The search is over before the buttons say so: a Close clicked from
    // then on closes the dialog (after joining this thread) instead of
    // being taken for stopping a search.
    job->SetDone();
    job->RequestStop();
    ::SendMessage(dialog, WM_SEARCH_ENDED, WPARAM(found), 0);
    return 0;
}

BEGIN_MESSAGE_MAP(CSearchDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_SEARCH_TEXT, OnTextChange)
    ON_BN_CLICKED(IDC_SEARCH_EXACT, OnExact)
    ON_BN_CLICKED(IDC_SEARCH_ANY_WORD, OnAnyWord)
    ON_BN_CLICKED(IDC_SEARCH_MOVIES, OnMovies)
    ON_BN_CLICKED(IDC_SEARCH_FILES, OnFiles)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SEARCH_FOUND, OnFound)
    ON_MESSAGE(WM_SEARCH_ENDED, OnSearchEnded)
END_MESSAGE_MAP()

CSearchDlg::CSearchDlg(CWnd* pParent)
    : CHelpDialog(IDD_SEARCH, pParent, "dialog/search_dialog.html"), m_changed(0), m_anyFound(false)
{
}

CSearchDlg::~CSearchDlg()
{
    // The job's own destructor waits for its thread; the results go after.
    m_job.reset();
}

BOOL CSearchDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    m_results.SubclassDlgItem(IDC_SEARCH_RESULTS, this);
    m_results.SetDialog(this);
    CWinApp* app = AfxGetApp();
    std::string text = app->GetProfileString(kSection, "for", "");
    SetDlgItemText(IDC_SEARCH_TEXT, text.c_str());
    CheckDlgButton(IDC_SEARCH_FILES, app->GetProfileInt(kSection, "files", 0) != 0);
    CheckDlgButton(IDC_SEARCH_MOVIES, app->GetProfileInt(kSection, "movies", 1) != 0);
    bool exact = app->GetProfileInt(kSection, "exact", 0) != 0;
    CheckDlgButton(IDC_SEARCH_EXACT, exact);
    CheckDlgButton(IDC_SEARCH_ANY_WORD, !exact);
    CheckDlgButton(IDC_SEARCH_CASE, app->GetProfileInt(kSection, "case", 0) != 0);
    CheckDlgButton(IDC_SEARCH_EXTRA, app->GetProfileInt(kSection, "extra", 0) != 0);
    ClearResults();
    OnTextChange();
    HWND animation = ::GetDlgItem(m_hWnd, IDC_SEARCH_ANIMATION);
    Animate_Open(animation, MAKEINTRESOURCE(IDR_SEARCH_AVI));
    Animate_Seek(animation, 0);
    return TRUE;
}

void CSearchDlg::OnTextChange()
{
    if (!IsSearching())
        ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !GetDlgItemText(IDC_SEARCH_TEXT).empty());
}

void CSearchDlg::OnExact()
{
    CheckDlgButton(IDC_SEARCH_EXACT, TRUE);
    CheckDlgButton(IDC_SEARCH_ANY_WORD, FALSE);
}

void CSearchDlg::OnAnyWord()
{
    CheckDlgButton(IDC_SEARCH_ANY_WORD, TRUE);
    CheckDlgButton(IDC_SEARCH_EXACT, FALSE);
}

// One of the two kinds always stays checked.
void CSearchDlg::OnMovies()
{
    if (!IsDlgButtonChecked(IDC_SEARCH_MOVIES) && !IsDlgButtonChecked(IDC_SEARCH_FILES))
        CheckDlgButton(IDC_SEARCH_FILES, TRUE);
}

void CSearchDlg::OnFiles()
{
    if (!IsDlgButtonChecked(IDC_SEARCH_MOVIES) && !IsDlgButtonChecked(IDC_SEARCH_FILES))
        CheckDlgButton(IDC_SEARCH_MOVIES, TRUE);
}

void CSearchDlg::ShowSearching(bool searching)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !searching);
    SetDlgItemText(IDCANCEL, searching ? "Cancel" : "Close");
    for (int id : kInputs)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), !searching);
    HWND animation = ::GetDlgItem(m_hWnd, IDC_SEARCH_ANIMATION);
    if (searching)
        Animate_Play(animation, 0, -1, -1);
    else if (Animate_Stop(animation))
        Animate_Seek(animation, 0);
}

void CSearchDlg::ClearResults()
{
    // The lines go before the items they point to.
    SendDlgItemMessage(IDC_SEARCH_RESULTS, LB_RESETCONTENT);
    m_items.clear();
    m_anyFound = false;
}

void CSearchDlg::OnOK()
{
    if (IsSearching())
        return;
    // A worker that outlived an earlier Close is waited for here.
    if (m_job != nullptr && !m_job->Join(kStopWaitMs))
        return;
    try {
        StartSearch();
    } catch (...) {
        // Nothing runs: the job must not look busy, and no result is shown.
        if (m_job != nullptr && !m_job->IsRunning())
            m_job->SetDone();
        ClearResults();
        ShowSearching(false);
        OnTextChange();
        ShowError(0, "%s", AfxCaughtExceptionText().c_str());
    }
}

void CSearchDlg::StartSearch()
{
    std::string text = GetDlgItemText(IDC_SEARCH_TEXT);
    if (text.empty())
        return;
    SearchOptions options;
    options.text = text;
    options.exact = IsDlgButtonChecked(IDC_SEARCH_EXACT) != 0;
    options.caseSensitive = IsDlgButtonChecked(IDC_SEARCH_CASE) != 0;
    options.extra = IsDlgButtonChecked(IDC_SEARCH_EXTRA) != 0;
    options.movies = IsDlgButtonChecked(IDC_SEARCH_MOVIES) != 0;
    options.files = IsDlgButtonChecked(IDC_SEARCH_FILES) != 0;

    CWinApp* app = AfxGetApp();
    app->WriteProfileString(kSection, "for", text.c_str());
    app->WriteProfileInt(kSection, "files", options.files ? 1 : 0);
    app->WriteProfileInt(kSection, "movies", options.movies ? 1 : 0);
    app->WriteProfileInt(kSection, "exact", options.exact ? 1 : 0);
    app->WriteProfileInt(kSection, "case", options.caseSensitive ? 1 : 0);
    app->WriteProfileInt(kSection, "extra", options.extra ? 1 : 0);

    ClearResults();
    if (m_job == nullptr)
        m_job.reset(new CSearchJob);
    m_job->m_dialog = this;
    m_job->m_options = std::move(options);
    m_job->m_failure.clear();
    m_listFailure.clear();
    ShowSearching(true);
    // A thread that cannot be made fails for want of memory or handles.
    if (!m_job->Start(SearchThread, m_job.get()))
        throw std::bad_alloc();
}

LRESULT CSearchDlg::OnFound(WPARAM wParam, LPARAM lParam)
{
    const FoundResult* result = reinterpret_cast<const FoundResult*>(lParam);
    if (result == nullptr)
        return 0;
    if (!m_listFailure.empty())
        return 0;
    int kind = int(wParam);
    try {
        std::unique_ptr<CSearchResultItem> item(new CSearchResultItem(kind, result->id, result->text));
        m_items.push_back(std::move(item));
        const char* prefix = kind == SEARCH_FILE ? "[File] " : (kind == SEARCH_DISC ? "[Drive] " : "[Movie] ");
        std::string line = prefix + m_items.back()->m_text;
        LRESULT index = SendDlgItemMessage(IDC_SEARCH_RESULTS, LB_ADDSTRING, 0, LPARAM(line.c_str()));
        if (index < 0)
            throw std::bad_alloc();
        SendDlgItemMessage(IDC_SEARCH_RESULTS, LB_SETITEMDATA, WPARAM(index), LPARAM(m_items.back().get()));
        m_anyFound = true;
    } catch (...) {
        // A result that cannot be listed fails the search, which stops.
        m_listFailure = AfxCaughtExceptionText();
        if (m_job != nullptr)
            m_job->RequestStop();
    }
    return 0;
}

LRESULT CSearchDlg::OnSearchEnded(WPARAM, LPARAM)
{
    // The list's own failure, else the walk's.
    const std::string* failure = &m_listFailure;
    if (failure->empty() && m_job != nullptr)
        failure = &m_job->m_failure;
    if (!failure->empty())
        ClearResults();
    else if (!m_anyFound)
        SendDlgItemMessage(IDC_SEARCH_RESULTS, LB_ADDSTRING, 0, LPARAM("[couldn't find anything]"));
    ShowSearching(false);
    OnTextChange();
    if (!failure->empty())
        ShowError(0, "%s", failure->c_str());
    return 0;
}

void CSearchDlg::OnCancel()
{
    if (IsSearching()) {
        m_job->RequestStop();
        bool ended = m_job->Join(kStopWaitMs);
        ShowSearching(false);
        if (ended)
            m_job.reset();
        else
            // The worker still runs: its job stays, and so does Search's lock.
            ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
        return;
    }
    if (m_job != nullptr)
        m_job->Join(INFINITE);
    EndDialog(IDCANCEL);
}

void CSearchDlg::OnDestroy()
{
    if (m_job != nullptr) {
        m_job->RequestStop();
        m_job->Join(INFINITE);
    }
    CHelpDialog::OnDestroy();
}

void CSearchDlg::Locate(int kind, DWORD id)
{
    if (IsSearching())
        return;
    if (CMainFrame* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        frame->OnViewNotify(kind, id);
    EndDialog(IDCANCEL);
}
