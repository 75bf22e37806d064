#include "app/PrintSetupDlg.h"

#include <cstdio>
#include <string>

#include "app/PrintLayout.h"
#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/print_setup_dialog.html";

struct MarginField {
    int id;
    const char* entry;
    uint8_t bit;
};
const MarginField kMargins[] = {{IDC_PRINT_TOP, "margin_top", 1},
                                {IDC_PRINT_LEFT, "margin_left", 2},
                                {IDC_PRINT_RIGHT, "margin_right", 4},
                                {IDC_PRINT_BOTTOM, "margin_bottom", 8}};

} // namespace

BEGIN_MESSAGE_MAP(CPrintSetupDlg, CHelpDialog)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_PRINT_BOTTOM, IDC_PRINT_TOP, OnMarginChange)
    ON_BN_CLICKED(IDC_PRINT_FIT, OnFit)
    ON_BN_CLICKED(IDC_PRINT_CLIP, OnClip)
END_MESSAGE_MAP()

CPrintSetupDlg::CPrintSetupDlg(CWnd* pParent)
    : CHelpDialog(IDD_PRINT_SETUP, pParent, kHelpTopic), m_validMask(0), m_busy(false)
{
}

BOOL CPrintSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();
    bool clip = app->GetProfileInt("print", "clip", 0) == 1;
    CheckDlgButton(clip ? IDC_PRINT_CLIP : IDC_PRINT_FIT, BST_CHECKED);
    CheckDlgButton(IDC_PRINT_FILL, app->GetProfileInt("print", "fill", 0) ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PRINT_FILL), !clip);
    CheckDlgButton(IDC_PRINT_HALVES,
                   app->GetProfileInt("print", "nohalflings", 1) != 1 ? BST_CHECKED : BST_UNCHECKED);
    m_busy = true;
    for (const MarginField& margin : kMargins) {
        char text[32];
        std::snprintf(text, sizeof(text), "%.2f", int(app->GetProfileInt("print", margin.entry, 80)) * 0.01);
        SetDlgItemText(margin.id, text);
    }
    m_busy = false;
    m_validMask = 15;
    return TRUE;
}

void CPrintSetupDlg::OnFit()
{
    CheckDlgButton(IDC_PRINT_FIT, BST_CHECKED);
    CheckDlgButton(IDC_PRINT_CLIP, BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PRINT_FILL), TRUE);
}

void CPrintSetupDlg::OnClip()
{
    CheckDlgButton(IDC_PRINT_CLIP, BST_CHECKED);
    CheckDlgButton(IDC_PRINT_FIT, BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PRINT_FILL), FALSE);
}

bool CPrintSetupDlg::FilterMarginText(int id)
{
    m_busy = true;
    HWND edit = ::GetDlgItem(m_hWnd, id);
    std::string text = GetDlgItemText(id);
    DWORD start = 0, end = 0;
    ::SendMessage(edit, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    int selStart = int(start), selEnd = int(end);
    bool left = ::FilterMarginText(text, selStart, selEnd);
    if (text != GetDlgItemText(id))
        ::SetWindowTextA(edit, text.c_str());
    ::SendMessage(edit, EM_SETSEL, WPARAM(selStart), LPARAM(selEnd));
    ::SendMessage(edit, EM_SCROLLCARET, 0, 0);
    m_busy = false;
    return left;
}

void CPrintSetupDlg::OnMarginChange(UINT nID)
{
    if (m_busy)
        return;
    for (const MarginField& margin : kMargins) {
        if (margin.id != int(nID))
            continue;
        m_validMask &= uint8_t(~margin.bit);
        if (FilterMarginText(margin.id))
            m_validMask |= margin.bit;
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), m_validMask == 15);
}

void CPrintSetupDlg::OnOK()
{
    if (m_validMask != 15)
        return;
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt("print", "clip", IsDlgButtonChecked(IDC_PRINT_CLIP) == BST_CHECKED ? 1 : 0);
    app->WriteProfileInt("print", "fill", IsDlgButtonChecked(IDC_PRINT_FILL) == BST_CHECKED ? 1 : 0);
    app->WriteProfileInt("print", "nohalflings", IsDlgButtonChecked(IDC_PRINT_HALVES) == BST_CHECKED ? 0 : 1);
    for (const MarginField& margin : kMargins)
        app->WriteProfileInt("print", margin.entry, MarginFromText(GetDlgItemText(margin.id)));
    EndDialog(IDOK);
}
