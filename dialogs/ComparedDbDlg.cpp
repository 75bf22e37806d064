#include "dialogs/ComparedDbDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/WinApp.h"
#include "dialogs/MovieInfoDlg.h"
#include "resources/resource.h"

namespace {

const UINT WM_COMPARED = WM_APP + 42;
const int kProgressRange = 32000;

// Everything but the progress bar and the file name waits for the result.
const int kControls[] = { IDOK, IDC_COMPARED_CURRENT, IDC_COMPARED_OTHER, IDC_COMPARED_COPY_RIGHT,
                          IDC_COMPARED_COPY_LEFT, IDC_COMPARED_INFO_CURRENT, IDC_COMPARED_INFO_OTHER,
                          IDC_COMPARED_SAVE_OTHER };

std::vector<int> SelectedLines(HWND list)
{
    std::vector<int> lines;
    LRESULT count = ::SendMessage(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return lines;
    lines.resize(size_t(count));
    LRESULT got = ::SendMessage(list, LB_GETSELITEMS, WPARAM(count), LPARAM(lines.data()));
    lines.resize(got > 0 ? size_t(std::min(got, count)) : 0);
    return lines;
}

void FillList(HWND list, const std::vector<CompareEntry>& entries)
{
    ::SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (const CompareEntry& entry : entries) {
        LRESULT line = ::SendMessage(list, LB_ADDSTRING, 0, LPARAM(entry.text.c_str()));
        if (line >= 0)
            ::SendMessage(list, LB_SETITEMDATA, WPARAM(line), LPARAM(entry.movieId));
    }
}

} // namespace

UINT CompareDatabasesThread(LPVOID param)
{
    CCompareJob* job = static_cast<CCompareJob*>(param);
    if (job == nullptr || job->m_dialog == nullptr || job->m_other == nullptr) {
        if (job != nullptr)
            job->SetDone();
        return 0;
    }
    HWND dialog = job->m_dialog->m_hWnd;
    HWND progress = ::GetDlgItem(dialog, IDC_COMPARED_PROGRESS);
    int shown = 0;
    CompareResult result = CompareCollections(theCollection, *job->m_other, job->m_template.c_str(),
                                              job->StopFlag(), [&](long done) {
                                                  int position = int(done * job->m_step);
                                                  if (position != shown) {
                                                      shown = position;
                                                      ::SendMessage(progress, PBM_SETPOS, WPARAM(position), 0);
                                                  }
                                              });
    if (!job->IsStopRequested())
        ::SendMessage(dialog, WM_COMPARED, 0, LPARAM(&result));
    job->SetDone();
    return 0;
}

BEGIN_MESSAGE_MAP(CComparedDbDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_COMPARED_CURRENT, OnSelChange)
    ON_LBN_SELCANCEL(IDC_COMPARED_CURRENT, OnSelChange)
    ON_LBN_SELCHANGE(IDC_COMPARED_OTHER, OnSelChange)
    ON_LBN_SELCANCEL(IDC_COMPARED_OTHER, OnSelChange)
    ON_BN_CLICKED(IDC_COMPARED_COPY_RIGHT, OnCopyRight)
    ON_BN_CLICKED(IDC_COMPARED_COPY_LEFT, OnCopyLeft)
    ON_BN_CLICKED(IDC_COMPARED_SAVE_OTHER, OnSaveOther)
    ON_BN_CLICKED(IDC_COMPARED_INFO_CURRENT, OnInfoCurrent)
    ON_BN_CLICKED(IDC_COMPARED_INFO_OTHER, OnInfoOther)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_COMPARED, OnCompared)
END_MESSAGE_MAP()

CComparedDbDlg::CComparedDbDlg(CWnd* pParent)
    : CDialog(IDD_COMPARED_DB, pParent), m_other(nullptr), m_otherChanged(0), m_currentChanged(0)
{
}

CComparedDbDlg::~CComparedDbDlg()
{
    m_job.reset();  // joins a worker still running
}

void CComparedDbDlg::SetCompareSource(CMovieCollection* other, const std::string& templateText)
{
    m_other = other;
    m_template = templateText;
}

BOOL CComparedDbDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int id : kControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    SetDlgItemText(IDC_COMPARED_FILE, m_other != nullptr ? m_other->GetFileName().c_str() : "");
    HWND progress = ::GetDlgItem(m_hWnd, IDC_COMPARED_PROGRESS);
    ::SendMessage(progress, PBM_SETRANGE32, 0, kProgressRange);
    ::SendMessage(progress, PBM_SETPOS, 0, 0);
    if (m_other == nullptr)
        return TRUE;
    DWORD movies = theCollection.GetMovieCount() + m_other->GetMovieCount();
    m_job.reset(new CCompareJob);
    m_job->m_dialog = this;
    m_job->m_other = m_other;
    m_job->m_template = m_template;
    // No movies: nothing to divide, the bar goes to its end at once.
    m_job->m_step = movies > 0 ? double(kProgressRange) / double(movies) : 0.0;
    m_job->Start(CompareDatabasesThread, m_job.get());
    return TRUE;
}

LRESULT CComparedDbDlg::OnCompared(WPARAM, LPARAM lParam)
{
    const CompareResult* result = reinterpret_cast<const CompareResult*>(lParam);
    if (result == nullptr)
        return 0;
    FillList(::GetDlgItem(m_hWnd, IDC_COMPARED_CURRENT), result->onlyCurrent);
    FillList(::GetDlgItem(m_hWnd, IDC_COMPARED_OTHER), result->onlyOther);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_CURRENT), TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_OTHER), TRUE);
    SendDlgItemMessage(IDC_COMPARED_PROGRESS, PBM_SETPOS, kProgressRange - 1);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
    return 0;
}

void CComparedDbDlg::OnSelChange()
{
    bool left = SendDlgItemMessage(IDC_COMPARED_CURRENT, LB_GETSELCOUNT) > 0;
    bool right = SendDlgItemMessage(IDC_COMPARED_OTHER, LB_GETSELCOUNT) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_COPY_RIGHT), left);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_INFO_CURRENT), left);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_COPY_LEFT), right);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_INFO_OTHER), right);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARED_SAVE_OTHER), m_otherChanged != 0);
}

void CComparedDbDlg::Copy(CMovieCollection& source, CMovieCollection& destination, int fromList)
{
    HWND list = ::GetDlgItem(m_hWnd, fromList);
    std::vector<int> lines = SelectedLines(list);
    if (lines.empty())
        return;
    if (&destination == m_other)
        m_otherChanged = 1;
    else
        m_currentChanged = 1;
    std::vector<DWORD> ids;
    for (int line : lines) {
        LRESULT id = ::SendMessage(list, LB_GETITEMDATA, WPARAM(line), 0);
        if (id != LB_ERR)
            ids.push_back(DWORD(id));
    }
    std::vector<DWORD> copied = CopyMovies(source, destination, ids);
    // The copied movies' lines go, found by their movie ids, the highest
    // line first so the others keep their places.
    std::sort(lines.begin(), lines.end());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        DWORD id = DWORD(::SendMessage(list, LB_GETITEMDATA, WPARAM(*line), 0));
        if (std::find(copied.begin(), copied.end(), id) != copied.end())
            ::SendMessage(list, LB_DELETESTRING, WPARAM(*line), 0);
    }
    OnSelChange();
}

void CComparedDbDlg::OnCopyRight()
{
    if (m_other != nullptr)
        Copy(theCollection, *m_other, IDC_COMPARED_CURRENT);
}

void CComparedDbDlg::OnCopyLeft()
{
    if (m_other != nullptr)
        Copy(*m_other, theCollection, IDC_COMPARED_OTHER);
}

void CComparedDbDlg::ShowInfo(CMovieCollection& collection, int fromList)
{
    HWND list = ::GetDlgItem(m_hWnd, fromList);
    LRESULT caret = ::SendMessage(list, LB_GETCARETINDEX, 0, 0);
    LRESULT id = caret >= 0 ? ::SendMessage(list, LB_GETITEMDATA, WPARAM(caret), 0) : LB_ERR;
    if (id == LB_ERR)
        return;
    CMovie* copy = collection.GetMovieCopy(DWORD(id));
    if (copy == nullptr)
        return;
    CMovieInfoDlg dialog(this);
    dialog.SetMovie(&collection, copy, true);
    collection.ReleaseMovieCopy(&copy);
    dialog.DoModal();
}

void CComparedDbDlg::OnInfoCurrent()
{
    ShowInfo(theCollection, IDC_COMPARED_CURRENT);
}

void CComparedDbDlg::OnInfoOther()
{
    if (m_other != nullptr)
        ShowInfo(*m_other, IDC_COMPARED_OTHER);
}

void CComparedDbDlg::OnSaveOther()
{
    if (m_other == nullptr || !m_otherChanged)
        return;
    if (m_other->Save(m_other->GetFileName().c_str(), false))
        m_otherChanged = 0;
}

bool CComparedDbDlg::MayClose()
{
    if (m_job != nullptr) {
        m_job->RequestStop();
        m_job->Join(INFINITE);
    }
    if (!m_otherChanged)
        return true;
    return AfxShowMessageBox(m_hWnd, "You have not saved the current database.\nAll current changes will be lost.",
                             "Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

void CComparedDbDlg::OnOK()
{
    if (MayClose())
        EndDialog(IDOK);
}

void CComparedDbDlg::OnCancel()
{
    if (MayClose())
        EndDialog(IDCANCEL);
}

void CComparedDbDlg::OnDestroy()
{
    if (m_job != nullptr) {
        m_job->RequestStop();
        m_job->Join(INFINITE);
    }
    CDialog::OnDestroy();
}
