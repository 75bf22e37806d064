// "Set image background": the picture and image mode of every level. A
// picture chosen here belongs to the dialog until the caller stores it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/CoverStatic.h"
#include "app/LevelDialog.h"
#include "app/OlePicture.h"

class CImageBackgroundDlg : public CLevelDialog {
public:
    explicit CImageBackgroundDlg(CWnd* pParent = nullptr);

    void LoadFromLayout(const CListLayout& layout, int level);
    // Modes go back for every level; a picture chosen here replaces the
    // level's, which the layout then owns.
    int StoreToLayout(CListLayout& layout);

    BOOL OnInitDialog() override;

protected:
    void ShowLevel() override;
    void OnBrowse();
    void OnStretch();
    void OnTile();
    DECLARE_MESSAGE_MAP()

private:
    struct Level {
        COlePicture* picture = nullptr;        // the layout's, or chosen
        std::unique_ptr<COlePicture> chosen;   // chosen in this dialog
        std::string path;
        BYTE mode = 1;
    };
    void EnableOk();

    std::vector<Level> m_levels;
    CCoverStatic m_preview;
};
