// "Set 3D border colors": the light and dark border colours of every level;
// the normal colour is only shown.
#pragma once

#include <vector>

#include "app/ColorStatic.h"
#include "app/LevelDialog.h"

class CBorderColorsDlg : public CLevelDialog {
public:
    explicit CBorderColorsDlg(CWnd* pParent = nullptr);

    void LoadFromLayout(const CListLayout& layout, int level);
    int StoreToLayout(CListLayout& layout) const;

    BOOL OnInitDialog() override;

protected:
    void ShowLevel() override;
    void OnChangeLight();
    void OnChangeDark();
    DECLARE_MESSAGE_MAP()

private:
    struct Colors {
        COLORREF light, normal, dark;
    };
    void Change(COLORREF Colors::*which);

    std::vector<Colors> m_colors;
    CColorStatic m_light, m_normal, m_dark;
};
