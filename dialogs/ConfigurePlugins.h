// "Configure plugins": lists the loaded format plug-ins, changes their
// priorities or disables them, describes them and rescans their folder.
#pragma once

#include <vector>

#include "classlib/Dialog.h"
#include "dialogs/PluginRows.h"

class CConfigurePlugins : public CDialog {
public:
    explicit CConfigurePlugins(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnRescan();
    void OnMoreInfo();
    void OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void BuildRows();
    void FillList();
    void ShowPriority();
    // Gives the manager's entries the rows' priorities and stores them.
    void StorePriorities();
    bool HasSelection() const { return m_selected >= 0 && size_t(m_selected) < m_rows.size(); }

    std::vector<PluginRow> m_rows;
    int m_selected;
    int m_sortColumn;
    bool m_ascending;
    bool m_filling;
};
