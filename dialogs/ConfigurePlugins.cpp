#include "dialogs/ConfigurePlugins.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/WinApp.h"
#include "core/PluginManager.h"
#include "resources/resource.h"

namespace {

const int kColumnCount = 4;
const char* const kHeadings[kColumnCount] = {"Filename", "Ver.", "Priority", "Formats"};

} // namespace

BEGIN_MESSAGE_MAP(CConfigurePlugins, CDialog)
    ON_BN_CLICKED(IDC_PLUGINS_RESCAN, OnRescan)
    ON_BN_CLICKED(IDC_PLUGINS_MORE_INFO, OnMoreInfo)
    ON_NOTIFY(UDN_DELTAPOS, IDC_PLUGINS_SPIN, OnDeltaPos)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_PLUGINS_LIST, OnItemChanged)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_PLUGINS_LIST, OnColumnClick)
END_MESSAGE_MAP()

void CPluginManager::ConfigurePlugins()
{
    CConfigurePlugins dialog(AfxGetMainWnd());
    if (dialog.DoModal() == IDOK)
        SortByPriority();
}

CConfigurePlugins::CConfigurePlugins(CWnd* pParent)
    : CDialog(IDD_CONFIGURE_PLUGINS, pParent), m_selected(-1), m_sortColumn(0), m_ascending(true),
      m_filling(false)
{
}

BOOL CConfigurePlugins::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND list = ::GetDlgItem(m_hWnd, IDC_PLUGINS_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < kColumnCount; column++) {
        LVCOLUMNA lvColumn = {};
        lvColumn.mask = LVCF_TEXT | LVCF_WIDTH;
        lvColumn.pszText = const_cast<char*>(kHeadings[column]);
        lvColumn.cx = 100;
        SendDlgItemMessage(IDC_PLUGINS_LIST, LVM_INSERTCOLUMNA, WPARAM(column), LPARAM(&lvColumn));
    }
    // The up-down control only serves as a pair of arrows.
    SendDlgItemMessage(IDC_PLUGINS_SPIN, UDM_SETRANGE32, 1, 3);
    SendDlgItemMessage(IDC_PLUGINS_SPIN, UDM_SETPOS32, 0, 2);
    BuildRows();
    FillList();
    return TRUE;
}

void CConfigurePlugins::BuildRows()
{
    m_rows.clear();
    for (int i = 0; i < thePluginManager.GetCount(); i++) {
        PluginEntry* entry = thePluginManager.GetEntry(i);
        if (entry == NULL)
            continue;
        PluginRow row;
        row.fileName = entry->fileName != NULL ? entry->fileName : "";
        const char* description = entry->PluginDesc != NULL ? entry->PluginDesc() : NULL;
        row.description = description != NULL ? description : "";
        row.formats = PluginFormatsText(entry->PluginFormats != NULL ? entry->PluginFormats() : NULL);
        row.version = entry->Version != NULL ? entry->Version() : 0;
        row.priority = PluginRowPriority(entry->priority);
        m_rows.push_back(row);
    }
}

void CConfigurePlugins::FillList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_PLUGINS_LIST);
    m_filling = true;
    ListView_DeleteAllItems(list);
    if (!HasSelection())
        m_selected = m_rows.empty() ? -1 : 0;

    int widths[kColumnCount] = {};
    int item = 0;
    for (size_t index : OrderPluginRows(m_rows, m_sortColumn, m_ascending)) {
        const PluginRow& row = m_rows[index];
        std::string texts[kColumnCount] = {row.fileName, std::to_string(row.version),
                                           PluginPriorityText(row.priority), row.formats};
        LVITEMA lvItem = {};
        lvItem.mask = LVIF_TEXT | LVIF_PARAM;
        lvItem.iItem = item;
        lvItem.pszText = const_cast<char*>(texts[0].c_str());
        lvItem.lParam = LPARAM(index);
        item = int(SendDlgItemMessage(IDC_PLUGINS_LIST, LVM_INSERTITEMA, 0, LPARAM(&lvItem)));
        for (int column = 1; column < kColumnCount; column++)
            ListView_SetItemText(list, item, column, const_cast<char*>(texts[column].c_str()));
        if (int(index) == m_selected)
            ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        for (int column = 0; column < kColumnCount - 1; column++)
            widths[column] = std::max(widths[column], ListView_GetStringWidth(list, texts[column].c_str()));
        item++;
    }
    // The widest text plus a margin, and never narrower than the heading.
    for (int column = 0; column < kColumnCount - 1; column++) {
        int heading = ListView_GetStringWidth(list, kHeadings[column]) + 20;
        ListView_SetColumnWidth(list, column, std::max(widths[column] + 10, heading));
    }
    ListView_SetColumnWidth(list, kColumnCount - 1, 1024);
    m_filling = false;
    ShowPriority();
}

void CConfigurePlugins::ShowPriority()
{
    SetDlgItemText(IDC_PLUGINS_PRIORITY,
                   HasSelection() ? PluginPriorityText(m_rows[size_t(m_selected)].priority).c_str() : "");
}

void CConfigurePlugins::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if (m_filling || (change->uChanged & LVIF_STATE) == 0 || (change->uOldState & LVIS_SELECTED) != 0 ||
        (change->uNewState & LVIS_SELECTED) == 0)
        return;
    LPARAM index = change->lParam;
    if (index < 0 || size_t(index) >= m_rows.size())
        return;
    m_selected = int(index);
    ShowPriority();
}

void CConfigurePlugins::OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The arrows never move the control's own position.
    *pResult = 1;
    if (!HasSelection())
        return;
    const NMUPDOWN* arrows = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
    PluginRow& row = m_rows[size_t(m_selected)];
    row.priority = StepPluginPriority(row.priority, arrows->iDelta > 0);
    if (m_sortColumn == 2) {
        FillList();
        return;
    }
    ShowPriority();
    HWND list = ::GetDlgItem(m_hWnd, IDC_PLUGINS_LIST);
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(m_selected);
    int item = int(SendDlgItemMessage(IDC_PLUGINS_LIST, LVM_FINDITEMA, WPARAM(-1), LPARAM(&find)));
    if (item >= 0) {
        std::string text = PluginPriorityText(row.priority);
        ListView_SetItemText(list, item, 2, const_cast<char*>(text.c_str()));
    }
}

void CConfigurePlugins::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    int column = reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iSubItem;
    if (column < 0 || column >= kColumnCount)
        return;
    if (column == m_sortColumn) {
        m_ascending = !m_ascending;
    } else {
        m_sortColumn = column;
        m_ascending = true;
    }
    FillList();
}

void CConfigurePlugins::StorePriorities()
{
    CWinApp* app = AfxGetApp();
    for (size_t i = 0; i < m_rows.size(); i++) {
        PluginEntry* entry = thePluginManager.GetEntry(int(i));
        if (entry == NULL)
            continue;
        entry->priority = m_rows[i].priority;
        app->WriteProfileInt("plugins", m_rows[i].fileName.c_str(), m_rows[i].priority);
    }
}

void CConfigurePlugins::OnOK()
{
    StorePriorities();
    EndDialog(IDOK);
}

void CConfigurePlugins::OnRescan()
{
    m_selected = -1;
    StorePriorities();
    thePluginManager.LoadPlugins();
    BuildRows();
    FillList();
}

void CConfigurePlugins::OnMoreInfo()
{
    if (!HasSelection())
        return;
    const PluginRow& row = m_rows[size_t(m_selected)];
    std::string text = "Plugin: " + row.fileName + "\n\nFormats:\n" + row.formats + "\n\nDescription:\n" +
                       row.description;
    AfxMessageBox(text.c_str(), MB_OK);
}
