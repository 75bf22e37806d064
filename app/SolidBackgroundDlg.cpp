#include "app/SolidBackgroundDlg.h"

#include "app/ListLayout.h"
#include "classlib/ColorDialog.h"
#include "resources/resource.h"

namespace {
const char* const kHelpTopic = "dialog/solid_background_colors.html";
}

BEGIN_MESSAGE_MAP(CSolidBackgroundDlg, CLevelDialog)
    ON_BN_CLICKED(IDC_BG_CHANGE, OnChange)
END_MESSAGE_MAP()

CSolidBackgroundDlg::CSolidBackgroundDlg(CWnd* pParent)
    : CLevelDialog(IDD_SOLID_BACKGROUND, pParent, kHelpTopic, IDC_BG_LEVELS)
{
}

void CSolidBackgroundDlg::LoadFromLayout(const CListLayout& layout, int level)
{
    LoadNames(layout, level);
    m_colors.clear();
    for (int32_t i = 0; i < layout.GetLevelCount(); i++)
        m_colors.push_back(layout.GetLevel(i)->m_normal);
}

int CSolidBackgroundDlg::StoreToLayout(CListLayout& layout) const
{
    for (size_t i = 0; i < m_colors.size() && int32_t(i) < layout.GetLevelCount(); i++)
        layout.GetLevel(int32_t(i))->m_normal = m_colors[i];
    return m_current;
}

BOOL CSolidBackgroundDlg::OnInitDialog()
{
    m_swatch.SubclassDlgItem(IDC_BG_SWATCH, this);
    return CLevelDialog::OnInitDialog();
}

void CSolidBackgroundDlg::ShowLevel()
{
    if (size_t(m_current) < m_colors.size())
        m_swatch.SetColor(m_colors[size_t(m_current)]);
}

void CSolidBackgroundDlg::OnChange()
{
    if (size_t(m_current) >= m_colors.size())
        return;
    CColorDialog dialog(m_colors[size_t(m_current)], CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_colors[size_t(m_current)] = dialog.GetColor();
    ShowLevel();
}
