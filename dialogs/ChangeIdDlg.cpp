#include "dialogs/ChangeIdDlg.h"

#include <cstdio>
#include <string>

#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CChangeIdDlg, CHelpDialog)
    ON_LBN_SELCHANGE(IDC_CHANGEID_LIST, OnSelChange)
    ON_LBN_SELCANCEL(IDC_CHANGEID_LIST, OnSelCancel)
    ON_BN_CLICKED(IDC_CHANGEID_EXCHANGE, OnExchange)
    ON_BN_CLICKED(IDC_CHANGEID_MAKE_PLACE, OnMakePlace)
END_MESSAGE_MAP()

CChangeIdDlg::CChangeIdDlg(CWnd* pParent)
    : CHelpDialog(IDD_CHANGE_ID, pParent, "dialog/change_id_dialog.html"), m_chosenId(NO_ID), m_currentId(NO_ID),
      m_exchange(false)
{
}

void CChangeIdDlg::SetMovie(const CMovie*, DWORD currentId)
{
    m_currentId = currentId;
    m_chosenId = currentId;
}

void CChangeIdDlg::GetResult(DWORD* id, bool* exchange) const
{
    if (m_chosenId != NO_ID)
        *id = m_chosenId;
    *exchange = m_exchange;
}

void CChangeIdDlg::AddLine(DWORD id, LineKind kind, const char* title)
{
    const char* what = kind == LINE_EMPTY ? "EMPTY"
                       : kind == LINE_THIS ? "THIS MOVIE"
                       : (title != NULL && *title != '\0') ? title : "[unknown]";
    std::string line = std::to_string(id) + " - " + what;
    LRESULT index = SendDlgItemMessage(IDC_CHANGEID_LIST, LB_ADDSTRING, 0, LPARAM(line.c_str()));
    if (index >= 0) {
        SendDlgItemMessage(IDC_CHANGEID_LIST, LB_SETITEMDATA, WPARAM(index), LPARAM(id));
        m_lines.push_back(Line{ id, kind });
    }
}

BOOL CChangeIdDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    bool exchange = (AfxGetApp()->GetProfileInt("changeid", "exchange", 0) & 1) != 0;
    CheckDlgButton(IDC_CHANGEID_EXCHANGE, exchange);
    CheckDlgButton(IDC_CHANGEID_MAKE_PLACE, !exchange);

    // A line per id from 0 to the highest, then one more; each free run is
    // listed up to its first thousand ids only.
    DWORD next = 0;
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
        for (DWORD shown = 0; next < id && shown < kLongestEmptyRun; next++, shown++)
            AddLine(next, LINE_EMPTY, NULL);
        std::string title;
        theCollection.ReadMovie(id, [&](const CMovie& movie) { title = movie.m_title != NULL ? movie.m_title : ""; });
        AddLine(id, id == m_currentId ? LINE_THIS : LINE_OTHER, title.c_str());
        next = id + 1;
    }
    if (next != NO_ID)
        AddLine(next, LINE_EMPTY, NULL);
    EnableChoices(false, false, false);
    return TRUE;
}

void CChangeIdDlg::EnableChoices(bool ok, bool radios, bool edit)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), ok);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CHANGEID_EXCHANGE), radios);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CHANGEID_MAKE_PLACE), radios);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CHANGEID_EDIT), edit);
}

void CChangeIdDlg::OnSelChange()
{
    LRESULT index = SendDlgItemMessage(IDC_CHANGEID_LIST, LB_GETCURSEL);
    if (index < 0 || size_t(index) >= m_lines.size()) {
        OnSelCancel();
        return;
    }
    const Line& line = m_lines[size_t(index)];
    EnableChoices(line.kind != LINE_THIS, line.kind != LINE_EMPTY, size_t(index) + 1 == m_lines.size());
}

void CChangeIdDlg::OnSelCancel()
{
    EnableChoices(false, false, false);
}

void CChangeIdDlg::OnExchange()
{
    CheckRadioButton(IDC_CHANGEID_EXCHANGE, IDC_CHANGEID_MAKE_PLACE, IDC_CHANGEID_EXCHANGE);
}

void CChangeIdDlg::OnMakePlace()
{
    CheckRadioButton(IDC_CHANGEID_EXCHANGE, IDC_CHANGEID_MAKE_PLACE, IDC_CHANGEID_MAKE_PLACE);
}

void CChangeIdDlg::OnOK()
{
    LRESULT index = SendDlgItemMessage(IDC_CHANGEID_LIST, LB_GETCURSEL);
    if (index < 0 || size_t(index) >= m_lines.size())
        return;
    const Line& line = m_lines[size_t(index)];
    if (line.kind == LINE_THIS)
        return;
    DWORD chosen = line.id;
    std::string typed = GetDlgItemText(IDC_CHANGEID_EDIT);
    if (size_t(index) + 1 == m_lines.size() && !typed.empty()) {
        unsigned long long value = 0;
        if (!ParseDecimal(typed.c_str(), kIdLimit - 1, &value) || value < line.id) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "You must enter an ID higher than the last ID in the list and lower than %ld.",
                          long(kIdLimit));
            AfxShowMessageBox(m_hWnd, text, "User error", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        chosen = DWORD(value);
    }
    m_exchange = IsDlgButtonChecked(IDC_CHANGEID_EXCHANGE) != 0;
    AfxGetApp()->WriteProfileInt("changeid", "exchange", m_exchange ? 1 : 0);
    m_chosenId = chosen;
    EndDialog(IDOK);
}
