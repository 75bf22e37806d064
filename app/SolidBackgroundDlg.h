// "Solid background colors": the normal colour of every background level.
#pragma once

#include <vector>

#include "app/ColorStatic.h"
#include "app/LevelDialog.h"

class CSolidBackgroundDlg : public CLevelDialog {
public:
    explicit CSolidBackgroundDlg(CWnd* pParent = nullptr);

    void LoadFromLayout(const CListLayout& layout, int level);
    // Writes every level's colour back; the level last shown.
    int StoreToLayout(CListLayout& layout) const;

    BOOL OnInitDialog() override;

protected:
    void ShowLevel() override;
    void OnChange();
    DECLARE_MESSAGE_MAP()

private:
    std::vector<COLORREF> m_colors;
    CColorStatic m_swatch;
};
