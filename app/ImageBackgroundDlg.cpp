#include "app/ImageBackgroundDlg.h"

#include "app/ListLayout.h"
#include "classlib/FileDialog.h"
#include "core/ErrorBox.h"
#include "resources/resource.h"

namespace {
const char* const kHelpTopic = "dialog/set_image_background_dialog.html";
}

BEGIN_MESSAGE_MAP(CImageBackgroundDlg, CLevelDialog)
    ON_BN_CLICKED(IDC_IMAGE_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_IMAGE_STRETCH, OnStretch)
    ON_BN_CLICKED(IDC_IMAGE_TILE, OnTile)
END_MESSAGE_MAP()

CImageBackgroundDlg::CImageBackgroundDlg(CWnd* pParent)
    : CLevelDialog(IDD_IMAGE_BACKGROUND, pParent, kHelpTopic, IDC_BG_LEVELS)
{
}

void CImageBackgroundDlg::LoadFromLayout(const CListLayout& layout, int level)
{
    LoadNames(layout, level);
    m_levels.clear();
    m_levels.resize(size_t(layout.GetLevelCount()));
    for (int32_t i = 0; i < layout.GetLevelCount(); i++) {
        const CLayoutLevel* stored = layout.GetLevel(i);
        m_levels[size_t(i)].picture = stored->m_picture.get();
        m_levels[size_t(i)].mode = stored->m_imageMode;
    }
}

int CImageBackgroundDlg::StoreToLayout(CListLayout& layout)
{
    for (size_t i = 0; i < m_levels.size() && int32_t(i) < layout.GetLevelCount(); i++) {
        CLayoutLevel* stored = layout.GetLevel(int32_t(i));
        stored->m_imageMode = m_levels[i].mode;
        if (m_levels[i].chosen)
            stored->m_picture = std::move(m_levels[i].chosen);
    }
    return m_current;
}

BOOL CImageBackgroundDlg::OnInitDialog()
{
    m_preview.SubclassDlgItem(IDC_IMAGE_PREVIEW, this);
    BOOL result = CLevelDialog::OnInitDialog();
    EnableOk();
    return result;
}

void CImageBackgroundDlg::ShowLevel()
{
    if (size_t(m_current) >= m_levels.size())
        return;
    const Level& level = m_levels[size_t(m_current)];
    m_preview.SetImage(level.picture);
    CheckDlgButton(IDC_IMAGE_STRETCH, level.mode != IMAGE_TILE ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_IMAGE_TILE, level.mode == IMAGE_TILE ? BST_CHECKED : BST_UNCHECKED);
}

void CImageBackgroundDlg::EnableOk()
{
    // Levels without a picture of their own are painted with level 1's.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !m_levels.empty() && m_levels[0].picture != nullptr);
}

void CImageBackgroundDlg::OnStretch()
{
    if (size_t(m_current) < m_levels.size())
        m_levels[size_t(m_current)].mode = IMAGE_STRETCH;
}

void CImageBackgroundDlg::OnTile()
{
    if (size_t(m_current) < m_levels.size())
        m_levels[size_t(m_current)].mode = IMAGE_TILE;
}

void CImageBackgroundDlg::OnBrowse()
{
    if (size_t(m_current) >= m_levels.size())
        return;
    Level& level = m_levels[size_t(m_current)];
    CFileDialog dialog(TRUE, NULL, level.path.empty() ? NULL : level.path.c_str(),
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES,
                       "Image files (*.jpg;*.bmp;*.gif)|*.jpg; *.bmp; *.gif|All files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK)
        return;
    std::unique_ptr<COlePicture> picture(new COlePicture);
    if (!picture->LoadFromFile(dialog.GetPathName().c_str())) {
        ShowError(0, "%s", "Unable to read image from file");
        return;
    }
    level.path = dialog.GetPathName();
    level.chosen = std::move(picture);
    level.picture = level.chosen.get();
    ShowLevel();
    EnableOk();
}
