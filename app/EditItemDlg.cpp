#include "app/EditItemDlg.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/ListLayout.h"
#include "app/ListingPreview.h"
#include "app/NumberText.h"
#include "app/PaintItem.h"
#include "classlib/ColorDialog.h"
#include "classlib/FontDialog.h"
#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/edit_item_dialog.html";

// The alignment radio buttons with their bits.
struct AlignmentButton {
    int id;
    DWORD bit;
};
const AlignmentButton kAlignmentButtons[] = {
    {IDC_ITEM_LEFT, ITEM_LEFT},   {IDC_ITEM_HCENTER, ITEM_HCENTER},  {IDC_ITEM_RIGHT, ITEM_RIGHT},
    {IDC_ITEM_TOP, ITEM_TOP},     {IDC_ITEM_VCENTER, ITEM_VCENTER},  {IDC_ITEM_BOTTOM, ITEM_BOTTOM},
};

// The check boxes that each stand for one flag.
struct FlagBox {
    int id;
    DWORD flag;
};
const FlagBox kFlagBoxes[] = {
    {IDC_ITEM_REAL_SIZE, ITEM_REAL_SIZE}, {IDC_ITEM_KEEP_ASPECT, ITEM_KEEP_ASPECT},
    {IDC_ITEM_NEVER_ZOOM, ITEM_NEVER_ZOOM}, {IDC_ITEM_USE_FONT, ITEM_CUSTOM_FONT},
    {IDC_ITEM_USE_COLOR, ITEM_CUSTOM_COLOR}, {IDC_ITEM_CLIP, ITEM_CLIP_TEXT},
};

bool IsTextKind(BYTE kind)
{
    return kind == ITEM_TEXT || kind == ITEM_TEMPLATE;
}

DWORD AxisBits(DWORD bit)
{
    return (bit & ITEM_HORIZONTAL) != 0 ? DWORD(ITEM_HORIZONTAL) : DWORD(ITEM_VERTICAL);
}

std::string AnchorLabel(const CLayoutSubItem& item)
{
    if (item.m_kind == ITEM_COVER)
        return "Cover Item";
    char* text = nullptr;
    if (item.m_text != nullptr)
        StrAppendFormat(&text, "Text Item [%s]", item.m_text);
    else
        StrSet(&text, "Text Item [NULL]");
    std::string label = text;
    free(text);
    return label;
}

} // namespace

BEGIN_MESSAGE_MAP(CEditItemDlg, CHelpDialog)
    ON_WM_MOVE()
END_MESSAGE_MAP()

CEditItemDlg::CEditItemDlg(CWnd* pParent)
    : CHelpDialog(IDD_EDIT_ITEM, pParent, kHelpTopic), m_item(nullptr), m_index(-1), m_new(false),
      m_preview(nullptr), m_updating(false), m_placed(), m_placedKnown(false)
{
}

CEditItemDlg::~CEditItemDlg()
{
}

CListLayout* CEditItemDlg::Layout() const
{
    return m_preview != nullptr ? m_preview->GetLayout() : nullptr;
}

void CEditItemDlg::SetItem(CLayoutSubItem* item, CListingPreview* preview)
{
    m_preview = preview;
    CListLayout* layout = Layout();
    if (layout == nullptr)
        return;
    m_new = item == nullptr;
    m_item = m_new ? layout->NewItem() : item;
    m_backup.Take(*layout, *m_item, m_new);
    m_item->m_selected = true;
}

void CEditItemDlg::RestoreItem()
{
    if (Layout() != nullptr)
        m_backup.Restore(*Layout(), &m_item);
}

BOOL CEditItemDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    m_template.SubclassDlgItem(IDC_ITEM_TEMPLATE, this);
    m_template.SetMovieContext(false, true);
    m_hAnchors.SubclassDlgItem(IDC_ITEM_H_ANCHOR, this);
    m_vAnchors.SubclassDlgItem(IDC_ITEM_V_ANCHOR, this);
    m_swatch.SubclassDlgItem(IDC_ITEM_COLOR_SWATCH, this);
    PlaceBesideOwner();
    Refresh(true);
    return TRUE;
}

void CEditItemDlg::OnOK()
{
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)))
        return;
    m_backup.Forget();
    EndDialog(IDOK);
}

void CEditItemDlg::OnCancel()
{
    if (m_new && Layout() != nullptr) {
        m_backup.Restore(*Layout(), &m_item);
        m_preview->Relayout();
    }
    EndDialog(IDCANCEL);
}

BOOL CEditItemDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (lParam != 0 && id != IDOK && id != IDCANCEL && m_item != nullptr) {
        // The dialog's own refresh changes controls too; those changes are
        // not the user's.
        if (!m_updating && OnControl(id, code))
            Refresh(false);
        return TRUE;
    }
    return CHelpDialog::OnCommand(wParam, lParam);
}

void CEditItemDlg::ReadNumber(int id, int32_t low, int32_t high, int32_t* value)
{
    ReadNumberText(GetDlgItemText(id), low, high, value);
}

bool CEditItemDlg::OnControl(int id, int code)
{
    CLayoutSubItem& item = *m_item;
    if (code == EN_CHANGE) {
        switch (id) {
        case IDC_ITEM_X: ReadNumber(id, -kMaxBoxSize, kMaxBoxSize, &item.m_x); return true;
        case IDC_ITEM_Y: ReadNumber(id, -kMaxBoxSize, kMaxBoxSize, &item.m_y); return true;
        case IDC_ITEM_WIDTH: ReadNumber(id, 0, kMaxBoxSize, &item.m_width); return true;
        case IDC_ITEM_HEIGHT: ReadNumber(id, 0, kMaxBoxSize, &item.m_height); return true;
        case IDC_ITEM_TEMPLATE: {
            std::string text = m_template.GetWindowText();
            StrSet(&item.m_text, text.empty() ? nullptr : text.c_str());
            item.m_textLength = text.empty() ? 0 : DWORD(text.size() + 1);
            return true;
        }
        }
        return false;
    }
    if (code == LBN_SELCHANGE && (id == IDC_ITEM_H_ANCHOR || id == IDC_ITEM_V_ANCHOR)) {
        CListBox& list = id == IDC_ITEM_H_ANCHOR ? m_hAnchors : m_vAnchors;
        int selected = list.GetCurSel();
        if (selected < 0)
            return false;
        // Item data is the anchor plus one, so that the box is not LB_ERR.
        int32_t anchor = int32_t(list.GetItemData(selected)) - 1;
        (id == IDC_ITEM_H_ANCHOR ? item.m_hAnchor : item.m_vAnchor) = anchor;
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    for (const AlignmentButton& button : kAlignmentButtons) {
        if (button.id == id) {
            item.m_flags = (item.m_flags & ~AxisBits(button.bit)) | button.bit;
            return true;
        }
    }
    for (const FlagBox& box : kFlagBoxes) {
        if (box.id == id) {
            if (IsDlgButtonChecked(id) == BST_CHECKED)
                item.m_flags |= box.flag;
            else
                item.m_flags &= ~box.flag;
            return true;
        }
    }
    switch (id) {
    case IDC_ITEM_ABSOLUTE: item.m_placement = PLACE_ABSOLUTE; return true;
    case IDC_ITEM_ALIGNED: item.m_placement = PLACE_ALIGNED; return true;
    case IDC_ITEM_COVER: item.m_kind = ITEM_COVER; return true;
    case IDC_ITEM_TEXT: item.m_kind = ITEM_TEMPLATE; return true;
    case IDC_ITEM_CHOOSE_FONT: PickFont(); return true;
    case IDC_ITEM_CHOOSE_COLOR: PickColor(); return true;
    }
    return false;
}

bool CEditItemDlg::Refresh(bool initial)
{
    CListLayout* layout = Layout();
    m_updating = true;
    m_index = layout != nullptr ? layout->IndexOfItem(m_item) : -1;
    if (m_index < 0) {
        ShowError(0, "Something went terrably wrong here, the item you are eding do not exist...");
        m_updating = false;
        return false;
    }
    if (initial) {
        const int ids[4] = {IDC_ITEM_X, IDC_ITEM_Y, IDC_ITEM_WIDTH, IDC_ITEM_HEIGHT};
        const int32_t values[4] = {m_item->m_x, m_item->m_y, m_item->m_width, m_item->m_height};
        for (int k = 0; k < 4; k++)
            SetWndLong(::GetDlgItem(m_hWnd, ids[k]), long(values[k]));
        m_template.SetWindowText(m_item->m_text != nullptr ? m_item->m_text : "");
    }
    ShowFontAndColor(IsTextKind(m_item->m_kind));
    CheckAnchors();
    EnableControls();
    if (m_item->HasHorizontalAlignment() || m_item->HasVerticalAlignment()) {
        if (!FillAnchorList(m_hAnchors, m_item->m_hAnchor) || !FillAnchorList(m_vAnchors, m_item->m_vAnchor)) {
            m_updating = false;
            return true;
        }
    } else {
        m_hAnchors.ResetContent();
        m_vAnchors.ResetContent();
    }
    m_preview->Relayout(m_item);
    m_updating = false;
    return true;
}

void CEditItemDlg::ShowFontAndColor(bool text)
{
    const bool font = (m_item->m_flags & ITEM_CUSTOM_FONT) != 0;
    const bool color = (m_item->m_flags & ITEM_CUSTOM_COLOR) != 0;
    HFONT sample = font ? m_item->GetFontHandle() : NULL;
    ::SendDlgItemMessage(m_hWnd, IDC_ITEM_FONT_SAMPLE, WM_SETFONT,
                         WPARAM(sample != NULL ? sample : GetFont()), TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ITEM_CHOOSE_FONT), text && font);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ITEM_CHOOSE_COLOR), text && color);
    m_swatch.SetColor(color ? m_item->m_color : GetSysColor(COLOR_WINDOWTEXT));
}

void CEditItemDlg::CheckAnchors()
{
    CListLayout& layout = *Layout();
    // An anchor that would close a cycle (one the lists never offer, left
    // from before its axis was in use) goes back to the box.
    std::vector<int32_t> candidates = GetAnchorCandidates(layout, m_index);
    for (int32_t* anchor : {&m_item->m_hAnchor, &m_item->m_vAnchor}) {
        if (*anchor != -1 && std::find(candidates.begin(), candidates.end(), *anchor) == candidates.end())
            *anchor = -1;
    }

    // Anchors are laid out before the elements aligned to them.
    const bool horizontal = m_item->HasHorizontalAlignment() && m_item->m_hAnchor > m_index;
    const bool vertical = m_item->HasVerticalAlignment() && m_item->m_vAnchor > m_index;
    if (horizontal || vertical) {
        layout.SortItemsByAnchor();
        m_index = layout.IndexOfItem(m_item);
    }

    if (!m_item->IsAligned())
        return;
    for (DWORD axis : {DWORD(ITEM_HORIZONTAL), DWORD(ITEM_VERTICAL)}) {
        DWORD bits = m_item->m_flags & axis;
        int32_t anchor = axis == ITEM_HORIZONTAL ? m_item->m_hAnchor : m_item->m_vAnchor;
        if (bits != 0 && !IsAlignmentAllowed(layout, anchor, bits))
            m_item->m_flags &= ~axis;
    }
}

void CEditItemDlg::EnableControls()
{
    const CListLayout& layout = *Layout();
    const CLayoutSubItem& item = *m_item;
    auto enable = [this](int id, bool on) { ::EnableWindow(::GetDlgItem(m_hWnd, id), on); };
    auto check = [this](int id, bool on) { CheckDlgButton(id, on ? BST_CHECKED : BST_UNCHECKED); };

    const bool aligned = item.IsAligned();
    check(IDC_ITEM_ABSOLUTE, !aligned);
    check(IDC_ITEM_ALIGNED, aligned);
    enable(IDC_ITEM_H_ANCHOR, aligned);
    enable(IDC_ITEM_V_ANCHOR, aligned);
    for (const AlignmentButton& button : kAlignmentButtons) {
        int32_t anchor = AxisBits(button.bit) == ITEM_HORIZONTAL ? item.m_hAnchor : item.m_vAnchor;
        enable(button.id, aligned && IsAlignmentAllowed(layout, anchor, button.bit));
        check(button.id, aligned && (item.m_flags & button.bit) != 0);
    }
    // An offset counts where no alignment bit places the element.
    enable(IDC_ITEM_X, !item.HasHorizontalAlignment());
    enable(IDC_ITEM_Y, !item.HasVerticalAlignment());

    const bool text = IsTextKind(item.m_kind);
    const bool cover = item.m_kind == ITEM_COVER;
    check(IDC_ITEM_TEXT, text);
    check(IDC_ITEM_COVER, cover);
    for (int id : {IDC_ITEM_TEMPLATE, IDC_ITEM_USE_FONT, IDC_ITEM_USE_COLOR, IDC_ITEM_CLIP})
        enable(id, text);
    for (int id : {IDC_ITEM_REAL_SIZE, IDC_ITEM_KEEP_ASPECT, IDC_ITEM_NEVER_ZOOM})
        enable(id, cover);
    const bool sized = text ? (item.m_flags & ITEM_CLIP_TEXT) != 0 : cover && (item.m_flags & ITEM_REAL_SIZE) == 0;
    enable(IDC_ITEM_WIDTH, sized);
    enable(IDC_ITEM_HEIGHT, sized);
    for (const FlagBox& box : kFlagBoxes)
        check(box.id, (item.m_flags & box.flag) != 0);

    // An element without a kind, or a text element without a text, would
    // make the next load throw away the whole stored design.
    const bool complete = cover || (text && item.m_text != nullptr && item.m_text[0] != 0);
    enable(IDOK, complete);
}

bool CEditItemDlg::FillAnchorList(CListBox& list, int32_t current)
{
    const CListLayout& layout = *Layout();
    std::vector<std::string> labels = {"[base]"};
    std::vector<int32_t> anchors = {-1};
    for (int32_t candidate : GetAnchorCandidates(layout, m_index)) {
        labels.push_back(AnchorLabel(*layout.GetItem(candidate)));
        anchors.push_back(candidate);
    }
    list.ResetContent();
    for (size_t k = 0; k < labels.size(); k++) {
        int index = list.AddString(labels[k].c_str());
        list.SetItemData(index, DWORD_PTR(anchors[k] + 1));
        if (anchors[k] == current)
            list.SetCurSel(index);
    }

    HDC dc = ::GetDC(list.m_hWnd);
    if (dc == NULL) {
        ShowError(0, "Problem (big) to get device for ListBox.");
        return false;
    }
    HGDIOBJ old = SelectObject(dc, list.GetFont() != NULL ? HGDIOBJ(list.GetFont()) : GetStockObject(DEFAULT_GUI_FONT));
    LONG widest = 0;
    for (const std::string& label : labels) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, label.c_str(), int(label.size()), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ::ReleaseDC(list.m_hWnd, dc);
    list.SetHorizontalExtent(int(widest) + 4);
    return true;
}

void CEditItemDlg::PickFont()
{
    CFontDialog dialog(m_item->GetFont(), CF_SCREENFONTS | CF_EFFECTS | CF_FORCEFONTEXIST, nullptr, this);
    if (dialog.DoModal() != IDOK)
        return;
    LOGFONTA chosen;
    dialog.GetCurrentFont(&chosen);
    // The colour chosen in the font dialog is not the element's: it keeps
    // its own text colour.
    m_item->SetFont(&chosen);
    if (m_item->GetFontHandle() == NULL)
        m_item->SetFont(nullptr);
}

void CEditItemDlg::PickColor()
{
    CColorDialog dialog(m_item->m_color, CC_FULLOPEN | CC_ANYCOLOR, this);
    if (dialog.DoModal() == IDOK)
        m_item->m_color = dialog.GetColor();
}

void CEditItemDlg::PlaceBesideOwner()
{
    RECT self;
    GetWindowRect(&self);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT screen;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0))
        SetRect(&screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int width = self.right - self.left, height = self.bottom - self.top;
    int x = self.left, y = self.top;
    if (owner != NULL) {
        RECT o;
        ::GetWindowRect(owner, &o);
        const int ow = o.right - o.left, oh = o.bottom - o.top;
        const int sw = screen.right - screen.left, sh = screen.bottom - screen.top;
        if (ow + width <= sw) {
            // Side by side, centred as a pair, the owner on the left.
            int left = screen.left + (sw - ow - width) / 2;
            int top = screen.top + std::max(0, (sh - std::max(oh, height)) / 2);
            ::SetWindowPos(owner, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            x = left + ow;
            y = top;
        } else {
            x = screen.left + std::max(0, (sw - width) / 2);
            y = screen.bottom - height;
        }
    }
    y = std::max<int>(screen.top, std::min<int>(y, screen.bottom - height));
    SetRect(&m_placed, x, y, x + width, y + height);
    m_placedKnown = true;
    SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditItemDlg::OnMove(int, int)
{
    Default();
    if (!m_placedKnown)
        return;
    RECT now;
    GetWindowRect(&now);
    const int dx = now.left - m_placed.left, dy = now.top - m_placed.top;
    m_placed = now;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner == NULL || (dx == 0 && dy == 0))
        return;
    RECT o;
    ::GetWindowRect(owner, &o);
    ::SetWindowPos(owner, NULL, o.left + dx, o.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CListLayout::EditSelectedItem(CListingPreview* preview)
{
    CLayoutSubItem* item = nullptr;
    for (const std::unique_ptr<CLayoutSubItem>& element : m_items) {
        if (element->m_selected) {
            item = element.get();
            break;
        }
    }
    if (item == nullptr || preview == nullptr || preview->GetLayout() != this)
        return false;
    CEditItemDlg dialog(preview->GetParent());
    dialog.SetItem(item, preview);
    const bool kept = dialog.DoModal() == IDOK;
    dialog.RestoreItem();
    preview->Relayout();
    return kept;
}
