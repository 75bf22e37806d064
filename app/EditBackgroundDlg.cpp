#include "app/EditBackgroundDlg.h"

#include <cstdint>
#include <string>

#include "app/NumberText.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/edit_background_dialog.html";

// The kinds with their radio buttons and inputs.
struct KindControls {
    BYTE kind;
    int radio;
    int inputs[2];  // 0: none
};
const KindControls kKinds[] = {
    {RULE_EQUALS, IDC_RULE_EQUALS, {IDC_RULE_VALUE, 0}},
    {RULE_LONGER_THAN, IDC_RULE_LONGER, {IDC_RULE_LENGTH, 0}},
    {RULE_NUMBER_RANGE, IDC_RULE_RANGE, {IDC_RULE_LOWER, IDC_RULE_UPPER}},
};

// Numbers of the rule: 0 for an empty edit, any 32-bit value otherwise.
int32_t GetNumber(const CWnd* dialog, int id)
{
    int32_t value = 0;
    ReadNumberText(dialog->GetDlgItemText(id), INT32_MIN, INT32_MAX, &value);
    return value;
}

} // namespace

CEditBackgroundDlg::CEditBackgroundDlg(CWnd* pParent)
    : CHelpDialog(IDD_EDIT_BACKGROUND, pParent, kHelpTopic), m_adding(true)
{
}

void CEditBackgroundDlg::SetRule(const CBackgroundRule* rule)
{
    m_rule.CopyFrom(rule);
    m_adding = rule == nullptr;
}

void CEditBackgroundDlg::GetRule(CBackgroundRule* rule) const
{
    if (rule != nullptr)
        rule->CopyFrom(&m_rule);
}

BOOL CEditBackgroundDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    m_template.SubclassDlgItem(IDC_RULE_TEMPLATE, this);
    m_template.SetMovieContext(false, true);
    m_template.SetWindowText(m_rule.m_template != nullptr ? m_rule.m_template : "");
    switch (m_rule.m_kind) {
    case RULE_EQUALS:
        SetDlgItemText(IDC_RULE_VALUE, m_rule.m_value != nullptr ? m_rule.m_value : "");
        CheckDlgButton(IDC_RULE_CASE, m_rule.m_first == 1 ? BST_CHECKED : BST_UNCHECKED);
        break;
    case RULE_LONGER_THAN:
        SetWndLong(::GetDlgItem(m_hWnd, IDC_RULE_LENGTH), long(m_rule.m_first));
        break;
    case RULE_NUMBER_RANGE:
        SetWndLong(::GetDlgItem(m_hWnd, IDC_RULE_LOWER), long(m_rule.m_first));
        SetWndLong(::GetDlgItem(m_hWnd, IDC_RULE_UPPER), long(m_rule.m_second));
        break;
    }
    if (m_adding) {
        SetWindowText("Add new background");
    } else {
        SetWindowText("Edit background");
        SetDlgItemText(IDOK, "Save");
    }
    UpdateControls();
    return TRUE;
}

bool CEditBackgroundDlg::IsEmpty(int id) const
{
    return ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, id)) == 0;
}

void CEditBackgroundDlg::UpdateControls()
{
    bool complete = false;
    for (const KindControls& kind : kKinds) {
        const bool chosen = m_rule.m_kind == kind.kind;
        CheckDlgButton(kind.radio, chosen ? BST_CHECKED : BST_UNCHECKED);
        bool filled = true;
        for (int input : kind.inputs) {
            if (input == 0)
                continue;
            ::EnableWindow(::GetDlgItem(m_hWnd, input), chosen);
            filled = filled && !IsEmpty(input);
        }
        if (kind.kind == RULE_EQUALS)
            ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RULE_CASE), chosen);
        complete = complete || (chosen && filled);
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), complete && !IsEmpty(IDC_RULE_TEMPLATE));
}

BOOL CEditBackgroundDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (lParam != 0 && code == BN_CLICKED) {
        for (const KindControls& kind : kKinds) {
            if (kind.radio == id) {
                m_rule.m_kind = kind.kind;
                UpdateControls();
                return TRUE;
            }
        }
    }
    if (lParam != 0 && code == EN_CHANGE) {
        UpdateControls();
        return TRUE;
    }
    return CHelpDialog::OnCommand(wParam, lParam);
}

void CEditBackgroundDlg::OnOK()
{
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)))
        return;
    std::string text = m_template.GetWindowText();
    StrSet(&m_rule.m_template, text.c_str());
    StrSet(&m_rule.m_value, nullptr);
    m_rule.m_second = 0;
    switch (m_rule.m_kind) {
    case RULE_EQUALS:
        StrSet(&m_rule.m_value, GetDlgItemText(IDC_RULE_VALUE).c_str());
        m_rule.m_first = IsDlgButtonChecked(IDC_RULE_CASE) == BST_CHECKED ? 1 : 0;
        break;
    case RULE_LONGER_THAN:
        m_rule.m_first = GetNumber(this, IDC_RULE_LENGTH);
        break;
    case RULE_NUMBER_RANGE:
        m_rule.m_first = GetNumber(this, IDC_RULE_LOWER);
        m_rule.m_second = GetNumber(this, IDC_RULE_UPPER);
        break;
    }
    EndDialog(IDOK);
}
