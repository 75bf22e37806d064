#include "dialogs/ActorDlg.h"

#include "core/ImdbInfo.h"
#include "core/WndText.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CActorDlg, CDialog)
    ON_EN_CHANGE(IDC_ACTOR_NAME, OnTextChange)
    ON_EN_CHANGE(IDC_ACTOR_CHARACTER, OnTextChange)
END_MESSAGE_MAP()

CActorDlg::CActorDlg(CWnd* pParent) : CDialog(IDD_ACTOR, pParent), m_entry(nullptr)
{
}

BOOL CActorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_entry != nullptr) {
        SetWndText(::GetDlgItem(m_hWnd, IDC_ACTOR_NAME), m_entry->m_actor);
        SetWndText(::GetDlgItem(m_hWnd, IDC_ACTOR_CHARACTER), m_entry->m_character);
    }
    OnTextChange();
    return TRUE;
}

bool CActorDlg::BothFilled() const
{
    return m_entry != nullptr && ::GetWindowTextLength(::GetDlgItem(m_hWnd, IDC_ACTOR_NAME)) > 0 &&
           ::GetWindowTextLength(::GetDlgItem(m_hWnd, IDC_ACTOR_CHARACTER)) > 0;
}

void CActorDlg::OnTextChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), BothFilled());
}

void CActorDlg::OnOK()
{
    // Enter reaches here even while OK is disabled.
    if (!BothFilled())
        return;
    m_entry->SetStrings(GetDlgItemText(IDC_ACTOR_NAME).c_str(), GetDlgItemText(IDC_ACTOR_CHARACTER).c_str());
    EndDialog(IDOK);
}
