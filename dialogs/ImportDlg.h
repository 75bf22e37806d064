// "Import": reads movies from a delimited text file, lists them, and adds
// the chosen ones or all to the catalogue.
#pragma once

#include <string>
#include <vector>

#include "app/HelpDialog.h"
#include "dialogs/ImportText.h"

class CMovieCollection;

class CImportDlg : public CHelpDialog {
public:
    explicit CImportDlg(CWnd* pParent = nullptr);

    // The catalogue the rows go into; theCollection unless set.
    void SetCollection(CMovieCollection* collection) { m_collection = collection; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnFileChange();
    void OnBrowse();
    void OnImport();
    void OnAdd();
    void OnAddAll();
    DECLARE_MESSAGE_MAP()

private:
    // The divider of a box: the one character, a blank for "[space]", a tab
    // for "[tab]", 0 for none; false when the text is longer.
    bool ReadDivider(int id, char* divider) const;
    // Adds the row behind a list item; false when the collection refused it.
    bool AddRow(CImportAdder& adder, int item);
    void EnableAddButtons();

    CMovieCollection* m_collection;
    std::vector<ImportRow> m_rows;
    ImportMapping m_mapping;
};
