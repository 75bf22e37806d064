#include "dialogs/AddCdromDlg.h"

#include <cstdio>

#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/add_cdrom_dvd_dialog.html";
// A timer id taken by another window is tried with the next, a few times.
const UINT_PTR kFirstTimerId = 666;
const int kTimerIdsToTry = 16;

DWORD SystemLogicalDrives()
{
    return GetLogicalDrives();
}

UINT SystemDriveType(const char* root)
{
    return GetDriveTypeA(root);
}

bool SystemVolumeLabel(const char* root, std::string* label)
{
    char name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(root, name, sizeof(name), NULL, NULL, NULL, NULL, 0))
        return false;
    *label = name;
    return true;
}

} // namespace

const DriveProbe kSystemDrives = {SystemLogicalDrives, SystemDriveType, SystemVolumeLabel};

BEGIN_MESSAGE_MAP(CAddCdromDlg, CHelpDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_LBN_SELCHANGE(IDC_ADDCD_DRIVES, OnSelChange)
    ON_LBN_SELCANCEL(IDC_ADDCD_DRIVES, OnSelCancel)
    ON_LBN_DBLCLK(IDC_ADDCD_DRIVES, OnDblClk)
END_MESSAGE_MAP()

CAddCdromDlg::CAddCdromDlg(CWnd* pParent, const DriveProbe& probe)
    : CHelpDialog(IDD_ADD_CDROM, pParent, kHelpTopic), m_probe(probe), m_driveLetter(' '), m_eject(false),
      m_showAgain(false), m_timerId(kFirstTimerId), m_timer(0)
{
}

BOOL CAddCdromDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_RESETCONTENT);
    m_entries.clear();
    DWORD drives = m_probe.logicalDrives();
    for (char letter = 'A'; letter <= 'Z'; letter++) {
        if ((drives & (1u << (letter - 'A'))) == 0)
            continue;
        char root[4] = {letter, ':', '\\', 0};
        if (m_probe.driveType(root) != DRIVE_CDROM)
            continue;
        m_entries.push_back({false, letter});
        SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_ADDSTRING, 0, LPARAM(root));
    }
    Refresh();
    for (int i = 0; i < kTimerIdsToTry && m_timer == 0; i++) {
        m_timer = ::SetTimer(m_hWnd, m_timerId, 1000, NULL);
        if (m_timer == 0)
            m_timerId++;
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), IsSelectable(int(SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETCURSEL))));
    CWinApp* app = AfxGetApp();
    CheckDlgButton(IDC_ADDCD_EJECT, app->GetProfileInt("add_cddlg", "eject", 0) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_ADDCD_REDISPLAY,
                   app->GetProfileInt("add_cddlg", "redisplay", 0) ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

std::string CAddCdromDlg::LineText(int index) const
{
    LRESULT length = SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETTEXTLEN, WPARAM(index));
    if (length == LB_ERR)
        return std::string();
    std::string text(size_t(length) + 1, '\0');
    LRESULT got = SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETTEXT, WPARAM(index), LPARAM(&text[0]));
    text.resize(got == LB_ERR ? 0 : size_t(got));
    return text;
}

bool CAddCdromDlg::IsSelectable(int index) const
{
    if (index < 0 || size_t(index) >= m_entries.size())
        return false;
    std::string text = LineText(index);
    return !text.empty() && text.back() != ']';
}

void CAddCdromDlg::Refresh()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_ADDCD_DRIVES);
    HWND add = ::GetDlgItem(m_hWnd, IDOK);
    for (size_t i = 0; i < m_entries.size(); i++) {
        DriveEntry& entry = m_entries[i];
        char root[4] = {entry.letter, ':', '\\', 0};
        std::string label;
        entry.hasMedia = m_probe.volumeLabel(root, &label);
        char line[MAX_PATH + 32];
        if (entry.hasMedia)
            std::snprintf(line, sizeof(line), "%c:\\\t(%s)", entry.letter, label.c_str());
        else
            std::snprintf(line, sizeof(line), "%c:\\\t[No media]", entry.letter);
        bool selected = ::SendMessage(list, LB_GETCURSEL, 0, 0) == LRESULT(i);
        ::SendMessage(list, LB_DELETESTRING, WPARAM(i), 0);
        ::SendMessage(list, LB_INSERTSTRING, WPARAM(i), LPARAM(line));
        if (selected) {
            ::SendMessage(list, LB_SETCURSEL, WPARAM(i), 0);
            ::EnableWindow(add, entry.hasMedia);
        } else if (entry.hasMedia && ::SendMessage(list, LB_GETCURSEL, 0, 0) == LB_ERR) {
            ::SendMessage(list, LB_SETCURSEL, WPARAM(i), 0);
            ::EnableWindow(add, TRUE);
        }
    }
}

void CAddCdromDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (m_timer != 0 && nIDEvent == m_timerId)
        Refresh();
}

void CAddCdromDlg::OnSelChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), IsSelectable(int(SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETCURSEL))));
}

void CAddCdromDlg::OnSelCancel()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
}

void CAddCdromDlg::OnDblClk()
{
    if (IsSelectable(int(SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETCURSEL))))
        OnOK();
}

void CAddCdromDlg::OnOK()
{
    int index = int(SendDlgItemMessage(IDC_ADDCD_DRIVES, LB_GETCURSEL));
    if (!IsSelectable(index))
        return;
    if (m_timer != 0)
        ::KillTimer(m_hWnd, m_timerId);
    m_timer = 0;
    m_driveLetter = LineText(index)[0];
    m_eject = IsDlgButtonChecked(IDC_ADDCD_EJECT) == BST_CHECKED;
    m_showAgain = IsDlgButtonChecked(IDC_ADDCD_REDISPLAY) == BST_CHECKED;
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt("add_cddlg", "eject", m_eject ? 1 : 0);
    app->WriteProfileInt("add_cddlg", "redisplay", m_showAgain ? 1 : 0);
    m_entries.clear();
    EndDialog(IDOK);
}

void CAddCdromDlg::OnDestroy()
{
    if (m_timer != 0)
        ::KillTimer(m_hWnd, m_timerId);
    m_timer = 0;
    Default();
}
