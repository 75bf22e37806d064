// The base of the dialogs that edit every background level at once and show
// one at a time, chosen in a "Background:" combo box of the level names.
#pragma once

#include <string>
#include <vector>

#include "app/HelpDialog.h"

class CListLayout;

class CLevelDialog : public CHelpDialog {
public:
    CLevelDialog(UINT nIDTemplate, CWnd* pParent, const char* helpTopic, int comboId);

    BOOL OnInitDialog() override;
    int GetCurrentLevel() const { return m_current; }

protected:
    // Takes the level names of the layout ("normal", "select", conditions)
    // and the level to show first.
    void LoadNames(const CListLayout& layout, int level);
    // Shows the current level's values.
    virtual void ShowLevel() = 0;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    std::vector<std::string> m_names;
    int m_current;

private:
    int m_comboId;
};
