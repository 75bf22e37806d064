// "Add file to movie": the catalogue's free media files (held by no movie),
// split into those that fit the edited movie and the rest, to be added to
// it; files new to the catalogue come through the add-files routine.
#pragma once

#include <memory>
#include <vector>

#include "app/HelpDialog.h"
#include "core/WinTypes.h"

class CMovie;

// One offered file: its line, whether it fits the movie and why not.
class CAddFileItem {
public:
    CAddFileItem();
    virtual ~CAddFileItem();

    BYTE m_fits;
    char* m_text;
    char* m_reason;
    DWORD m_fileId;

private:
    CAddFileItem(const CAddFileItem&) = delete;
    CAddFileItem& operator=(const CAddFileItem&) = delete;
};

class CAddFileDlg : public CHelpDialog {
public:
    explicit CAddFileDlg(CWnd* pParent = nullptr);

    // The edited movie (not owned); the chosen files are added to it. Builds
    // the offered files; NULL offers none.
    void SetMovie(CMovie* movie);
    const std::vector<std::unique_ptr<CAddFileItem>>& GetItems() const { return m_items; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelectionChange();
    void OnDoubleClick();
    void OnInfo();
    void OnAddNewFiles();
    DECLARE_MESSAGE_MAP()

private:
    HWND VisibleList() const;

    CMovie* m_movie;
    std::vector<std::unique_ptr<CAddFileItem>> m_items;
    HWND m_lists[2];  // "Good files", "All files": children of the tab control
};
