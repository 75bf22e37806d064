#include "dialogs/MassUpdateImdbDlg.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "classlib/WinApp.h"
#include "core/ImdbInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/MultipleResultsDlg.h"
#include "net/ImdbRetrieval.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "massimdb";
const char kUpdate[] = "update";
const int kOnlyEmpty = 1, kRate = 16, kComment = 64;
// How long Cancel waits for the worker, in steps that cancel the
// retrieval in flight again.
const DWORD kStopWaitMs = 20000;
const DWORD kStopStepMs = 100;
// The pause after a success: rounds of 10 ms.
const int kPauseRounds = 1000;
const DWORD kPauseRoundMs = 10;
void PlainSleep(DWORD ms)
{
    ::Sleep(ms);
}
std::atomic<MassUpdateSleep> g_pauseSleep{ PlainSleep };

// The boxes locked while a run goes on.
const int kRunLocked[] = { IDOK, IDC_MASS_ONLY, IDC_MASS_FORGET, IDC_MASS_SHOW, IDC_MASS_ASK,
                           IDC_MASS_COMMENT, IDC_MASS_RATE, IDC_MASS_ONLY_EMPTY };

bool IsEmpty(const char* text)
{
    return text == nullptr || *text == '\0';
}

void AddLogLine(HWND log, const char* text)
{
    LRESULT line = ::SendMessage(log, LB_ADDSTRING, 0, LPARAM(text));
    if (line >= 0)
        ::SendMessage(log, LB_SETCURSEL, WPARAM(line), 0);
}

// What the worker reports for one movie; NULL text for success.
struct Outcome {
    bool ok;
    const char* status;
};

// One movie's retrieval: by its stored address unless told to forget it,
// else by title; a result list goes to the user when the run shows them.
Outcome UpdateMovie(CMassUpdateJob& job, CMovie& movie)
{
    CImdbInfo* record = movie.m_imdbInfo.get();
    HWND owner = job.m_dialog->m_hWnd;
    if (IsEmpty(movie.m_title))
        return { false, "The movie had no name" };
    if (!job.BeginRetrieval(record))
        return { false, "Cancel!" };
    BYTE found;
    Outcome failed;
    if (!job.m_forget && !IsEmpty(record->m_address)) {
        std::string address = record->m_address;
        found = StartGetInfo(record, owner, address.c_str(), false, true);
        failed = { false, "Invalid IMDb address" };
    } else {
        std::string title = movie.m_title;
        found = StartGetInfo(record, owner, title.c_str(), false, false);
        failed = { false, "Unable to perform search" };
    }
    job.EndRetrieval();
    if (!found)
        return failed;
    if (record->m_complete)
        return { true, "OK" };
    if (!job.m_show)
        return { false, "More than one result returned" };
    if (record->m_hits.empty())
        return { false, "No results returned" };

    CMultipleResultsDlg choice(job.m_dialog);
    choice.SetResults(&record->m_hits);
    if (choice.DoModal() != IDOK)
        return { false, "No good result returned" };
    std::string link;
    if (!choice.GetSelection(&link) || link.empty())
        return { false, "Invalid data. (probably my fault)" };
    if (!job.BeginRetrieval(record))
        return { false, "Cancel!" };
    found = StartGetInfo(record, owner, link.c_str(), false, true);
    job.EndRetrieval();
    if (!found)
        return { false, "Unable to perform search (probably my fault)." };
    return { true, "OK" };
}

} // namespace

void CMassUpdateJob::CancelRetrieval()
{
    std::lock_guard<std::mutex> guard(m_lock);
    RequestStop();
    if (m_inFlight != nullptr)
        CancelGetInfo(m_inFlight);
}

bool CMassUpdateJob::BeginRetrieval(CImdbInfo* record)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (IsStopRequested())
        return false;
    m_inFlight = record;
    return true;
}

void CMassUpdateJob::EndRetrieval()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_inFlight = nullptr;
}

void SetMassUpdateSleep(MassUpdateSleep sleep)
{
    g_pauseSleep = sleep != nullptr ? sleep : PlainSleep;
}

UINT MassUpdateImdbThread(LPVOID param)
{
    CMassUpdateJob* job = static_cast<CMassUpdateJob*>(param);
    if (job == nullptr)
        return 1;
    CWinApp* app = AfxGetApp();
    bool keepMovieTitle = app != nullptr && app->GetProfileInt(kUpdate, "dont_update_title", 0) == 1;
    if (job->m_collection == nullptr || job->m_log == nullptr || job->m_total == nullptr ||
        job->m_pause == nullptr || job->m_start == nullptr || job->m_showBox == nullptr ||
        job->m_onlyBox == nullptr || job->m_forgetBox == nullptr || job->m_cancel == nullptr ||
        job->m_current == nullptr || job->m_dialog == nullptr || job->IsStopRequested()) {
        job->SetDone();
        return 1;
    }
    CMovieCollection& collection = *job->m_collection;
    ::SendMessage(job->m_total, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessage(job->m_pause, PBM_SETRANGE, 0, MAKELPARAM(0, kPauseRounds));
    ::SendMessage(job->m_log, LB_RESETCONTENT, 0, 0);
    ::SendMessage(job->m_total, PBM_SETPOS, 0, 0);
    ::SendMessage(job->m_pause, PBM_SETPOS, 0, 0);

    // The movies to update, in id order.
    std::vector<DWORD> ids;
    for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = collection.GetNextIdOfMovie(id)) {
        CMovie* movie = collection.GetMovieCopy(id);
        if (movie == nullptr)
            continue;
        const CImdbInfo* record = movie->m_imdbInfo.get();
        bool known = record != nullptr && record->m_complete && !IsEmpty(record->m_address);
        if (!job->m_only || !known)
            ids.push_back(id);
        collection.ReleaseMovieCopy(&movie);
    }

    for (size_t i = 0; i < ids.size() && !job->IsStopRequested(); i++) {
        CMovie* movie = collection.GetMovieCopy(ids[i]);
        Outcome outcome = { false, nullptr };
        if (movie != nullptr) {
            ::SendMessage(job->m_current, WM_SETTEXT, 0, LPARAM(movie->m_title != nullptr ? movie->m_title : ""));
            bool created = movie->m_imdbInfo == nullptr;
            if (created)
                movie->m_imdbInfo.reset(new CImdbInfo);
            outcome = UpdateMovie(*job, *movie);
            if (outcome.ok)
                ApplyRetrievedTitle(*movie, keepMovieTitle);
            if (!job->IsStopRequested() && ::IsWindow(job->m_log)) {
                std::string line = std::string(outcome.status) + " - " + (movie->m_title != nullptr ? movie->m_title : "");
                AddLogLine(job->m_log, line.c_str());
            }
            if (!outcome.ok && created)
                movie->m_imdbInfo.reset();
            collection.ReleaseMovieCopy(&movie);
        }
        if (job->IsStopRequested())
            break;
        ::SendMessage(job->m_total, PBM_SETPOS, WPARAM((i + 1) * 100 / ids.size()), 0);
        // The site is not to be flooded: a pause after each success but the last.
        if (outcome.ok && i + 1 < ids.size()) {
            MassUpdateSleep sleep = g_pauseSleep;
            for (int round = 1; round <= kPauseRounds && !job->IsStopRequested(); round++) {
                sleep(kPauseRoundMs);
                ::SendMessage(job->m_pause, PBM_SETPOS, WPARAM(round), 0);
            }
            ::SendMessage(job->m_pause, PBM_SETPOS, 0, 0);
        }
    }

    if (job->IsStopRequested()) {
        job->SetDone();
        return 0;
    }
    // The run is over before its buttons say so: a Cancel from now on
    // closes the dialog (after joining this thread) instead of stopping.
    job->SetDone();
    AddLogLine(job->m_log, "Done!");
    ::EnableWindow(job->m_start, TRUE);
    ::EnableWindow(job->m_showBox, TRUE);
    ::EnableWindow(job->m_onlyBox, TRUE);
    ::EnableWindow(job->m_forgetBox, TRUE);
    ::SendMessage(job->m_cancel, WM_SETTEXT, 0, LPARAM("Close"));
    return 0;
}

BEGIN_MESSAGE_MAP(CMassUpdateImdbDlg, CHelpDialog)
    ON_BN_CLICKED(IDC_MASS_ASK, OnAsk)
    ON_BN_CLICKED(IDC_MASS_ONLY_EMPTY, OnOnlyEmpty)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMassUpdateImdbDlg::CMassUpdateImdbDlg(CWnd* pParent)
    : CHelpDialog(IDD_MASS_UPDATE_IMDB, pParent, "dialog/mass_update_imdb_dialog.html"), m_stoppedByUser(0)
{
}

CMassUpdateImdbDlg::~CMassUpdateImdbDlg()
{
    // The job's destructor waits for a worker that still runs.
    m_job.reset();
}

BOOL CMassUpdateImdbDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();
    CheckDlgButton(IDC_MASS_ONLY, (app->GetProfileInt(kSection, "only", 1) & 1) != 0);
    CheckDlgButton(IDC_MASS_FORGET, (app->GetProfileInt(kSection, "forget", 0) & 1) != 0);
    CheckDlgButton(IDC_MASS_SHOW, (app->GetProfileInt(kSection, "show", 0) & 1) != 0);
    UINT overwrite = app->GetProfileInt(kUpdate, "overwrite", 1);
    CheckDlgButton(IDC_MASS_ASK, app->GetProfileInt(kUpdate, "askoverwrite", 1) == 1);
    CheckDlgButton(IDC_MASS_RATE, (overwrite & kRate) != 0);
    CheckDlgButton(IDC_MASS_COMMENT, (overwrite & kComment) != 0);
    CheckDlgButton(IDC_MASS_ONLY_EMPTY, (overwrite & kOnlyEmpty) != 0);
    ApplyOverwriteRule();
    SetDlgItemText(IDCANCEL, "Close");
    return TRUE;
}

void CMassUpdateImdbDlg::ApplyOverwriteRule()
{
    bool ask = IsDlgButtonChecked(IDC_MASS_ASK) != 0;
    bool onlyEmpty = IsDlgButtonChecked(IDC_MASS_ONLY_EMPTY) != 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MASS_ONLY_EMPTY), !ask);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MASS_RATE), !ask && !onlyEmpty);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MASS_COMMENT), !ask && !onlyEmpty);
}

void CMassUpdateImdbDlg::OnAsk()
{
    ApplyOverwriteRule();
}

void CMassUpdateImdbDlg::OnOnlyEmpty()
{
    if (IsDlgButtonChecked(IDC_MASS_ONLY_EMPTY))
        CheckDlgButton(IDC_MASS_ASK, 0);
    ApplyOverwriteRule();
}

void CMassUpdateImdbDlg::OnOK()
{
    if (IsRunning())
        return;
    // A worker that has ended is joined before the next run starts.
    if (m_job != nullptr && !m_job->Join(kStopWaitMs))
        return;
    for (int id : kRunLocked)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    SetDlgItemText(IDCANCEL, "Cancel");

    CWinApp* app = AfxGetApp();
    bool only = IsDlgButtonChecked(IDC_MASS_ONLY) != 0;
    bool forget = IsDlgButtonChecked(IDC_MASS_FORGET) != 0;
    bool show = IsDlgButtonChecked(IDC_MASS_SHOW) != 0;
    app->WriteProfileInt(kSection, "only", only);
    app->WriteProfileInt(kSection, "forget", forget);
    app->WriteProfileInt(kSection, "show", show);
    app->WriteProfileInt(kUpdate, "askoverwrite", IsDlgButtonChecked(IDC_MASS_ASK) != 0);
    app->WriteProfileInt(kUpdate, "overwrite", (IsDlgButtonChecked(IDC_MASS_ONLY_EMPTY) ? kOnlyEmpty : 0) +
                                                   (IsDlgButtonChecked(IDC_MASS_RATE) ? kRate : 0) +
                                                   (IsDlgButtonChecked(IDC_MASS_COMMENT) ? kComment : 0));

    if (m_job == nullptr)
        m_job.reset(new CMassUpdateJob);
    CMassUpdateJob& job = *m_job;
    job.m_total = ::GetDlgItem(m_hWnd, IDC_MASS_TOTAL);
    job.m_pause = ::GetDlgItem(m_hWnd, IDC_MASS_WAIT);
    job.m_log = ::GetDlgItem(m_hWnd, IDC_MASS_LOG);
    job.m_start = ::GetDlgItem(m_hWnd, IDOK);
    job.m_showBox = ::GetDlgItem(m_hWnd, IDC_MASS_SHOW);
    job.m_onlyBox = ::GetDlgItem(m_hWnd, IDC_MASS_ONLY);
    job.m_forgetBox = ::GetDlgItem(m_hWnd, IDC_MASS_FORGET);
    job.m_cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    job.m_current = ::GetDlgItem(m_hWnd, IDC_MASS_CURRENT);
    job.m_dialog = this;
    job.m_collection = &theCollection;
    job.m_only = only;
    job.m_forget = forget;
    job.m_show = show;
    m_stoppedByUser = 0;
    if (!job.Start(MassUpdateImdbThread, &job)) {
        ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
        SetDlgItemText(IDCANCEL, "Close");
    }
}

bool CMassUpdateImdbDlg::StopWorker(DWORD ms)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        m_job->CancelRetrieval();
        if (m_job->Join(kStopStepMs))
            return true;
        if (ms != INFINITE && ::GetTickCount() - start >= ms)
            return false;
    }
}

void CMassUpdateImdbDlg::OnCancel()
{
    if (!IsRunning() || m_stoppedByUser) {
        // A worker that outlived its stop is waited for before closing.
        if (m_job != nullptr)
            StopWorker(INFINITE);
        CHelpDialog::OnCancel();
        return;
    }
    bool ended = StopWorker(kStopWaitMs);
    AddLogLine(::GetDlgItem(m_hWnd, IDC_MASS_LOG), "Cancel!");
    for (int id : { IDC_MASS_ONLY, IDC_MASS_FORGET, IDC_MASS_SHOW, IDC_MASS_ASK })
        ::EnableWindow(::GetDlgItem(m_hWnd, id), TRUE);
    ApplyOverwriteRule();
    // A worker still running keeps its job, and Start stays locked.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), ended);
    if (ended)
        m_job.reset();
    SetDlgItemText(IDCANCEL, "Close");
    m_stoppedByUser = 1;
}

void CMassUpdateImdbDlg::OnDestroy()
{
    if (m_job != nullptr)
        StopWorker(INFINITE);
    CHelpDialog::OnDestroy();
}
