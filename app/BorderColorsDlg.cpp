#include "app/BorderColorsDlg.h"

#include "app/ListLayout.h"
#include "classlib/ColorDialog.h"
#include "resources/resource.h"

namespace {
const char* const kHelpTopic = "dialog/set_3d_border_colors_dialog.html";
}

BEGIN_MESSAGE_MAP(CBorderColorsDlg, CLevelDialog)
    ON_BN_CLICKED(IDC_BORDER_CHANGE_LIGHT, OnChangeLight)
    ON_BN_CLICKED(IDC_BORDER_CHANGE_DARK, OnChangeDark)
END_MESSAGE_MAP()

CBorderColorsDlg::CBorderColorsDlg(CWnd* pParent)
    : CLevelDialog(IDD_BORDER_COLORS, pParent, kHelpTopic, IDC_BORDER_LEVELS)
{
}

void CBorderColorsDlg::LoadFromLayout(const CListLayout& layout, int level)
{
    LoadNames(layout, level);
    m_colors.clear();
    for (int32_t i = 0; i < layout.GetLevelCount(); i++) {
        const CLayoutLevel* stored = layout.GetLevel(i);
        m_colors.push_back({stored->m_light, stored->m_normal, stored->m_dark});
    }
}

int CBorderColorsDlg::StoreToLayout(CListLayout& layout) const
{
    for (size_t i = 0; i < m_colors.size() && int32_t(i) < layout.GetLevelCount(); i++) {
        CLayoutLevel* stored = layout.GetLevel(int32_t(i));
        stored->m_light = m_colors[i].light;
        stored->m_normal = m_colors[i].normal;
        stored->m_dark = m_colors[i].dark;
    }
    return m_current;
}

BOOL CBorderColorsDlg::OnInitDialog()
{
    m_light.SubclassDlgItem(IDC_BORDER_LIGHT, this);
    m_normal.SubclassDlgItem(IDC_BORDER_NORMAL, this);
    m_dark.SubclassDlgItem(IDC_BORDER_DARK, this);
    return CLevelDialog::OnInitDialog();
}

void CBorderColorsDlg::ShowLevel()
{
    if (size_t(m_current) >= m_colors.size())
        return;
    const Colors& colors = m_colors[size_t(m_current)];
    m_light.SetColor(colors.light);
    m_normal.SetColor(colors.normal);
    m_dark.SetColor(colors.dark);
}

void CBorderColorsDlg::Change(COLORREF Colors::*which)
{
    if (size_t(m_current) >= m_colors.size())
        return;
    COLORREF& color = m_colors[size_t(m_current)].*which;
    CColorDialog dialog(color, CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT, this);
    if (dialog.DoModal() != IDOK)
        return;
    color = dialog.GetColor();
    ShowLevel();
}

void CBorderColorsDlg::OnChangeLight()
{
    Change(&Colors::light);
}

void CBorderColorsDlg::OnChangeDark()
{
    Change(&Colors::dark);
}
