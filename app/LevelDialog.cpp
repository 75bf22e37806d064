#include "app/LevelDialog.h"

#include <cstdlib>

#include "app/ListLayout.h"

CLevelDialog::CLevelDialog(UINT nIDTemplate, CWnd* pParent, const char* helpTopic, int comboId)
    : CHelpDialog(nIDTemplate, pParent, helpTopic), m_current(0), m_comboId(comboId)
{
}

void CLevelDialog::LoadNames(const CListLayout& layout, int level)
{
    m_names.clear();
    for (int32_t i = 0; i < layout.GetLevelCount(); i++) {
        char* text = layout.GetConditionText(i);
        m_names.push_back(text != NULL ? text : "");
        free(text);
    }
    m_current = level >= 0 && size_t(level) < m_names.size() ? level : 0;
}

BOOL CLevelDialog::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    for (const std::string& name : m_names)
        SendDlgItemMessage(m_comboId, CB_ADDSTRING, 0, LPARAM(name.c_str()));
    SendDlgItemMessage(m_comboId, CB_SETCURSEL, WPARAM(m_current));
    ShowLevel();
    return TRUE;
}

BOOL CLevelDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == m_comboId && HIWORD(wParam) == CBN_SELCHANGE) {
        LRESULT index = SendDlgItemMessage(m_comboId, CB_GETCURSEL);
        if (index != CB_ERR && size_t(index) < m_names.size()) {
            m_current = int(index);
            ShowLevel();
        }
        return TRUE;
    }
    return CHelpDialog::OnCommand(wParam, lParam);
}
