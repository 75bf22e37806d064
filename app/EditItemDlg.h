// "Edit Item": one element of the layout that the configuration dialog's
// preview shows. The element is changed in place, so the preview beside the
// dialog follows every change; Cancel puts the element (and the order of
// all elements) back as it was, or removes the element when it was new.
#pragma once

#include <cstdint>

#include "app/ColorStatic.h"
#include "app/HelpDialog.h"
#include "app/ItemAnchors.h"
#include "classlib/ListBox.h"
#include "export/ScriptEdit.h"

class CListLayout;
class CLayoutSubItem;
class CListingPreview;

class CEditItemDlg : public CHelpDialog {
public:
    explicit CEditItemDlg(CWnd* pParent = nullptr);
    ~CEditItemDlg() override;

    // An element of the preview's layout, or NULL for a new element at the
    // end of it. The element is selected.
    void SetItem(CLayoutSubItem* item, CListingPreview* preview);
    // Called after the dialog whatever its result: undoes a cancelled edit.
    void RestoreItem();
    // The element edited; NULL once a new element was cancelled.
    CLayoutSubItem* GetItem() const { return m_item; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnMove(int x, int y);
    DECLARE_MESSAGE_MAP()

private:
    CListLayout* Layout() const;
    // Shows the element and lays the preview out again; false when the
    // element is no longer in the layout.
    bool Refresh(bool initial);
    void ShowFontAndColor(bool text);
    void CheckAnchors();
    bool FillAnchorList(CListBox& list, int32_t current);
    void EnableControls();
    // Handles one notification; true when the element changed.
    bool OnControl(int id, int code);
    void ReadNumber(int id, int32_t low, int32_t high, int32_t* value);
    void PickFont();
    void PickColor();
    void PlaceBesideOwner();

    CLayoutSubItem* m_item;
    int32_t m_index;
    CItemBackup m_backup;
    bool m_new;
    CListingPreview* m_preview;
    bool m_updating;
    RECT m_placed;            // where the dialog last was, to move the owner along
    bool m_placedKnown;
    CScriptEdit m_template;
    CListBox m_hAnchors;
    CListBox m_vAnchors;
    CColorStatic m_swatch;
};
