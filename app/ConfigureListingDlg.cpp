#include "app/ConfigureListingDlg.h"

#include <algorithm>
#include <cstdlib>

#include "app/BorderColorsDlg.h"
#include "app/EditBackgroundDlg.h"
#include "app/EditItemDlg.h"
#include "app/ImageBackgroundDlg.h"
#include "app/ListLayout.h"
#include "app/NumberText.h"
#include "app/PaintItem.h"
#include "app/SolidBackgroundDlg.h"
#include "classlib/ColorDialog.h"
#include "core/WndText.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/configure_movies_dialog.html";

const int kNumberEdits[] = {IDC_LISTING_MARGIN_X, IDC_LISTING_MARGIN_Y, IDC_LISTING_BORDER_WIDTH};

} // namespace

BEGIN_MESSAGE_MAP(CConfigureListingDlg, CHelpDialog)
    ON_BN_CLICKED(IDC_LISTING_ADD_ITEM, OnAddItem)
    ON_BN_CLICKED(IDC_LISTING_EDIT_ITEM, OnEditItem)
    ON_BN_CLICKED(IDC_LISTING_DELETE_ITEMS, OnDeleteItems)
    ON_BN_CLICKED(IDC_LISTING_SOLID, OnSolid)
    ON_BN_CLICKED(IDC_LISTING_IMAGE, OnImage)
    ON_BN_CLICKED(IDC_LISTING_SET_COLOR, OnSetColor)
    ON_BN_CLICKED(IDC_LISTING_SET_IMAGE, OnSetImage)
    ON_BN_CLICKED(IDC_LISTING_3D_BORDER, On3dBorder)
    ON_BN_CLICKED(IDC_LISTING_FLAT_BORDER, OnFlatBorder)
    ON_BN_CLICKED(IDC_LISTING_BORDER_COLORS, OnBorderColors)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_LISTING_MARGIN_X, IDC_LISTING_MARGIN_Y, OnNumberChange)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_LISTING_BORDER_WIDTH, IDC_LISTING_BORDER_WIDTH, OnNumberChange)
    ON_CBN_SELCHANGE(IDC_LISTING_LEVELS, OnLevelChange)
    ON_BN_CLICKED(IDC_LISTING_ADD_LEVEL, OnAddLevel)
    ON_BN_CLICKED(IDC_LISTING_EDIT_LEVEL, OnEditLevel)
    ON_BN_CLICKED(IDC_LISTING_DELETE_LEVEL, OnDeleteLevel)
    ON_BN_CLICKED(IDC_LISTING_LEVEL_UP, OnMoveLevelUp)
    ON_BN_CLICKED(IDC_LISTING_LEVEL_DOWN, OnMoveLevelDown)
END_MESSAGE_MAP()

CConfigureListingDlg::CConfigureListingDlg(CWnd* pParent)
    : CHelpDialog(IDD_CONFIGURE_LISTING, pParent, kHelpTopic), m_hasSampleCover(false),
      m_filling(false)
{
    m_hasSampleCover = m_sampleCover.LoadFromResource("GIF", IDR_DEFAULT_PICTURE);
}

CConfigureListingDlg::~CConfigureListingDlg()
{
    m_preview.SetLayout(nullptr);
}

void CConfigureListingDlg::CreateLayout()
{
    m_preview.SetLayout(nullptr);
    m_layout.reset();
    m_layout.reset(new CListLayout(nullptr, m_hasSampleCover ? &m_sampleCover : nullptr));
    m_preview.SetLayout(m_layout.get());
}

void CConfigureListingDlg::SaveLayout()
{
    if (m_layout)
        m_layout->Save();
}

BOOL CConfigureListingDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    if (!m_layout)
        CreateLayout();
    m_preview.SubclassDlgItem(IDC_LISTING_PREVIEW, this);

    m_filling = true;
    const int32_t values[3] = {m_layout->m_marginX, m_layout->m_marginY, m_layout->m_borderWidth};
    for (int k = 0; k < 3; k++)
        SetWndLong(::GetDlgItem(m_hWnd, kNumberEdits[k]), long(values[k]));
    m_filling = false;
    ShowBackgroundMode();
    // The preview shows the templates, not texts expanded for the sample.
    m_layout->ShowTemplates();
    FillLevels(LEVEL_NORMAL);
    return TRUE;
}

void CConfigureListingDlg::OnOK()
{
    // Enter in an edit comes here too: not while a number is missing.
    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)))
        EndDialog(IDOK);
}

void CConfigureListingDlg::OnCancel()
{
    // The edits are thrown away: the layout holds the stored design again.
    if (m_layout)
        m_layout->Load();
    EndDialog(IDCANCEL);
}

void CConfigureListingDlg::ShowBackgroundMode()
{
    const bool solid = m_layout->m_solidBackground;
    CheckDlgButton(IDC_LISTING_SOLID, solid ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LISTING_IMAGE, solid ? BST_UNCHECKED : BST_CHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_SET_COLOR), solid);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_SET_IMAGE), !solid);
    // Pictures take a flat border only; the 3D flag is kept for later.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_3D_BORDER), solid);
    const bool threeD = solid && m_layout->m_3dBorder;
    CheckDlgButton(IDC_LISTING_3D_BORDER, threeD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LISTING_FLAT_BORDER, threeD ? BST_UNCHECKED : BST_CHECKED);
}

int32_t CConfigureListingDlg::GetChosenLevel() const
{
    LRESULT index = SendDlgItemMessage(IDC_LISTING_LEVELS, CB_GETCURSEL);
    return index == CB_ERR ? LEVEL_NORMAL : int32_t(index);
}

void CConfigureListingDlg::FillLevels(int32_t level)
{
    SendDlgItemMessage(IDC_LISTING_LEVELS, CB_RESETCONTENT);
    for (int32_t i = 0; i < m_layout->GetLevelCount(); i++) {
        char* text = m_layout->GetConditionText(i);
        SendDlgItemMessage(IDC_LISTING_LEVELS, CB_ADDSTRING, 0, LPARAM(text != nullptr ? text : ""));
        free(text);
    }
    ChooseLevel(std::max(0, std::min(level, m_layout->GetLevelCount() - 1)));
}

void CConfigureListingDlg::ChooseLevel(int32_t level)
{
    SendDlgItemMessage(IDC_LISTING_LEVELS, CB_SETCURSEL, WPARAM(level));
    UpdateLevelButtons();
    m_preview.SetPreviewLevel(level);
    m_preview.Relayout();
}

void CConfigureListingDlg::UpdateLevelButtons()
{
    const int32_t level = GetChosenLevel();
    const bool conditional = level >= LEVEL_FIRST_CONDITIONAL && level < m_layout->GetLevelCount();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_EDIT_LEVEL), conditional);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_DELETE_LEVEL), conditional);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_LEVEL_UP),
                   conditional && level > LEVEL_FIRST_CONDITIONAL);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LISTING_LEVEL_DOWN),
                   conditional && level < m_layout->GetLevelCount() - 1);
}

void CConfigureListingDlg::OnLevelChange()
{
    ChooseLevel(GetChosenLevel());
}

void CConfigureListingDlg::OnNumberChange(UINT id)
{
    if (m_filling)
        return;
    // OK waits until every number is there again.
    bool complete = true;
    for (int edit : kNumberEdits)
        complete = complete && ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, edit)) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), complete);
    if (id == IDC_LISTING_MARGIN_X)
        ReadNumberText(GetDlgItemText(id), -kMaxBoxSize, kMaxBoxSize, &m_layout->m_marginX);
    else if (id == IDC_LISTING_MARGIN_Y)
        ReadNumberText(GetDlgItemText(id), -kMaxBoxSize, kMaxBoxSize, &m_layout->m_marginY);
    else
        ReadNumberText(GetDlgItemText(id), 0, kMaxBoxSize, &m_layout->m_borderWidth);
    m_preview.Relayout();
}

void CConfigureListingDlg::OnAddItem()
{
    CEditItemDlg dialog(this);
    dialog.SetItem(nullptr, &m_preview);
    dialog.DoModal();
    dialog.RestoreItem();
    m_preview.Relayout();
}

void CConfigureListingDlg::OnEditItem()
{
    m_layout->EditSelectedItem(&m_preview);
}

void CConfigureListingDlg::OnDeleteItems()
{
    m_layout->RemoveSelectedItems(m_hWnd);
    m_preview.Relayout();
}

void CConfigureListingDlg::OnSolid()
{
    m_layout->m_solidBackground = true;
    ShowBackgroundMode();
    m_preview.Relayout();
}

void CConfigureListingDlg::OnImage()
{
    m_layout->m_solidBackground = false;
    ShowBackgroundMode();
    m_preview.Relayout();
}

void CConfigureListingDlg::On3dBorder()
{
    m_layout->m_3dBorder = true;
    m_preview.Relayout();
}

void CConfigureListingDlg::OnFlatBorder()
{
    m_layout->m_3dBorder = false;
    m_preview.Relayout();
}

void CConfigureListingDlg::OnSetColor()
{
    CSolidBackgroundDlg dialog(this);
    dialog.LoadFromLayout(*m_layout, GetChosenLevel());
    if (dialog.DoModal() == IDOK)
        FillLevels(dialog.StoreToLayout(*m_layout));
}

void CConfigureListingDlg::OnSetImage()
{
    CImageBackgroundDlg dialog(this);
    dialog.LoadFromLayout(*m_layout, GetChosenLevel());
    if (dialog.DoModal() == IDOK)
        FillLevels(dialog.StoreToLayout(*m_layout));
}

void CConfigureListingDlg::OnBorderColors()
{
    if (m_layout->m_solidBackground && m_layout->m_3dBorder) {
        CBorderColorsDlg dialog(this);
        dialog.LoadFromLayout(*m_layout, GetChosenLevel());
        if (dialog.DoModal() == IDOK) {
            dialog.StoreToLayout(*m_layout);
            FillLevels(LEVEL_NORMAL);
        }
        return;
    }
    CColorDialog dialog(m_layout->m_flatBorderColor, CC_FULLOPEN | CC_ANYCOLOR, this);
    if (dialog.DoModal() == IDOK) {
        m_layout->m_flatBorderColor = dialog.GetColor();
        m_preview.Relayout();
    }
}

void CConfigureListingDlg::OnAddLevel()
{
    CEditBackgroundDlg dialog(this);
    dialog.SetRule(nullptr);
    if (dialog.DoModal() != IDOK)
        return;
    CBackgroundRule rule;
    dialog.GetRule(&rule);
    m_layout->AddLevel(&rule);
    FillLevels(m_layout->GetLevelCount() - 1);
}

void CConfigureListingDlg::OnEditLevel()
{
    const int32_t level = GetChosenLevel();
    CLayoutLevel* chosen = m_layout->GetLevel(level);
    if (level < LEVEL_FIRST_CONDITIONAL || chosen == nullptr)
        return;
    CEditBackgroundDlg dialog(this);
    dialog.SetRule(chosen->m_rule.get());
    if (dialog.DoModal() != IDOK)
        return;
    if (!chosen->m_rule)
        chosen->m_rule.reset(new CBackgroundRule);
    dialog.GetRule(chosen->m_rule.get());
    FillLevels(level);
}

void CConfigureListingDlg::OnDeleteLevel()
{
    const int32_t level = GetChosenLevel();
    if (level < LEVEL_FIRST_CONDITIONAL || level >= m_layout->GetLevelCount())
        return;
    m_layout->RemoveLevel(level - LEVEL_FIRST_CONDITIONAL);
    FillLevels(level);
}

void CConfigureListingDlg::MoveLevel(int step)
{
    const int32_t level = GetChosenLevel();
    const int32_t other = level + step;
    if (level < LEVEL_FIRST_CONDITIONAL || other < LEVEL_FIRST_CONDITIONAL ||
        other >= m_layout->GetLevelCount())
        return;
    m_layout->SwapLevels(level, other);
    FillLevels(other);
}

void CConfigureListingDlg::OnMoveLevelUp()
{
    MoveLevel(-1);
}

void CConfigureListingDlg::OnMoveLevelDown()
{
    MoveLevel(1);
}
