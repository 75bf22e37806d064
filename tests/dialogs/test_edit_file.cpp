// The edit-file dialog: it shows the stored part number and hands the typed
// one back without storing it.
#include <gtest/gtest.h>

#include <climits>

#include "DialogDriver.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/EditFileDlg.h"
#include "resources/resource.h"

namespace {

DWORD StoreFile(const char* name, int32_t part)
{
    CMovieFile file;
    StrSet(&file.m_fileName, name);
    file.m_partNumber = part;
    return theCollection.AddFile(&file);
}

int32_t StoredPart(DWORD id)
{
    CMovieFile* file = theCollection.GetFileCopy(id);
    int32_t part = file->m_partNumber;
    theCollection.ReleaseFileCopy(&file);
    return part;
}

} // namespace

TEST(EditFileDlg, HandsTheNumberBackAndStoresNothing)
{
    ScopedProfile profile("EditFile");
    theCollection.Clear();
    DWORD part3 = StoreFile("Heist cd3.avi", 3);
    DWORD none = StoreFile("Heist.avi", -1);

    struct Case {
        DWORD id;
        const char* typed;
        const char* shown;
        INT_PTR result;
        int32_t part;
    } cases[] = {
        {part3, "12", "3", IDOK, 12},
        {part3, "99999999999", "3", IDOK, INT_MAX},  // held at the limit
        {none, nullptr, "", IDCANCEL, -1},           // nothing typed: Cancel
    };
    for (const Case& c : cases) {
        std::string name, shown;
        bool okEmpty = true;
        DialogDriver driver([&](HWND dlg) {
            EXPECT_EQ("Edit file", WindowCaption(dlg));
            name = ItemText(dlg, IDC_EDITFILE_NAME);
            shown = ItemText(dlg, IDC_EDITFILE_COUNT);
            SetItemText(dlg, IDC_EDITFILE_COUNT, "");
            okEmpty = IsItemEnabled(dlg, IDOK);
            SendMessage(dlg, WM_COMMAND, IDOK, 0);  // empty: stays open
            if (c.typed != nullptr) {
                SetItemText(dlg, IDC_EDITFILE_COUNT, c.typed);
                PostClick(dlg, IDOK);
            } else {
                PostClick(dlg, IDCANCEL);
            }
        });
        CEditFileDlg dlg;
        dlg.SetFileId(c.id);
        EXPECT_EQ(c.result, dlg.DoModal()) << c.shown;
        EXPECT_EQ(c.shown, shown);
        EXPECT_FALSE(okEmpty);
        if (c.result == IDOK)
            EXPECT_EQ(c.part, dlg.GetPartNumber());
    }
    EXPECT_EQ(3, StoredPart(part3));  // the catalogue is untouched
    EXPECT_EQ(-1, StoredPart(none));

    // A file that isn't stored: the dialog doesn't even show.
    int shownCount = 0;
    DialogDriver driver([&](HWND) { shownCount++; });
    CEditFileDlg missing;
    missing.SetFileId(9999);
    EXPECT_EQ(IDCANCEL, missing.DoModal());
    EXPECT_EQ(0, shownCount);
    theCollection.Clear();
}
