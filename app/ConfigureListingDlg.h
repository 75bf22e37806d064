// "Configure Movies listing": the design of the movie-box (its elements,
// margins, border and background levels) on a layout of the dialog's own,
// shown live in a sample box. Nothing reaches the stored design until the
// caller saves the layout after OK.
#pragma once

#include <cstdint>
#include <memory>

#include "app/HelpDialog.h"
#include "app/ListingPreview.h"
#include "app/OlePicture.h"

class CListLayout;

class CConfigureListingDlg : public CHelpDialog {
public:
    explicit CConfigureListingDlg(CWnd* pParent = nullptr);
    ~CConfigureListingDlg() override;

    // A new layout with the stored design, shown in the preview.
    void CreateLayout();
    // Stores the dialog's design (after OK).
    void SaveLayout();
    CListLayout* GetLayout() const { return m_layout.get(); }
    CListingPreview* GetPreview() { return &m_preview; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnAddItem();
    void OnEditItem();
    void OnDeleteItems();
    void OnSolid();
    void OnImage();
    void OnSetColor();
    void OnSetImage();
    void On3dBorder();
    void OnFlatBorder();
    void OnBorderColors();
    void OnNumberChange(UINT id);
    void OnLevelChange();
    void OnAddLevel();
    void OnEditLevel();
    void OnDeleteLevel();
    void OnMoveLevelUp();
    void OnMoveLevelDown();
    DECLARE_MESSAGE_MAP()

private:
    int32_t GetChosenLevel() const;
    // Fills the level list and chooses a level, shown in the preview.
    void FillLevels(int32_t level);
    void ChooseLevel(int32_t level);
    void UpdateLevelButtons();
    void ShowBackgroundMode();
    void MoveLevel(int step);

    COlePicture m_sampleCover;
    bool m_hasSampleCover;
    std::unique_ptr<CListLayout> m_layout;
    CListingPreview m_preview;
    bool m_filling;   // the dialog sets its own edits
};
