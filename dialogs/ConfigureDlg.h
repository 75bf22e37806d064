// "Configure": the program's options, each a setting of the profile.
#pragma once

#include "app/HelpDialog.h"

class CConfigureDlg : public CHelpDialog {
public:
    explicit CConfigureDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
};
