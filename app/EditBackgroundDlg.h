// "Add/Edit background": the rule of a conditional background level, a
// template and a test on its expansion (equals a value, is longer than a
// number of characters, or is a number between two bounds).
#pragma once

#include "app/BackgroundRule.h"
#include "app/HelpDialog.h"
#include "export/ScriptEdit.h"

class CEditBackgroundDlg : public CHelpDialog {
public:
    explicit CEditBackgroundDlg(CWnd* pParent = nullptr);

    // The rule to edit, copied; NULL adds a new one.
    void SetRule(const CBackgroundRule* rule);
    // Copies the rule as OK left it into *rule.
    void GetRule(CBackgroundRule* rule) const;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Enables the inputs of the chosen kind, and OK when they are complete.
    void UpdateControls();
    bool IsEmpty(int id) const;

    CBackgroundRule m_rule;
    bool m_adding;
    CScriptEdit m_template;
};
