// The background dialogs on a layout of their own: levels chosen in the
// combo box, pictures taken only when stored, OK only while level 1 has a
// picture.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DialogScript.h"
#include "LayoutTestHost.h"
#include "app/BorderColorsDlg.h"
#include "app/ImageBackgroundDlg.h"
#include "app/ListLayout.h"
#include "app/SolidBackgroundDlg.h"
#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

std::string Cover()
{
    std::string path = std::string("Z:") + VISTREL_TEST_DATA + "/covers/cover_93x130.gif";
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

} // namespace

TEST(BackgroundDialogs, PicturesOnlyWhenStoredAndOkOnlyWithLevelOne)
{
    CTestLayoutHost host;
    SetLayoutHost(&host);
    CListLayout layout;
    ASSERT_GE(layout.GetLevelCount(), 3);

    // A picture for level 3, then Cancel: level 3 keeps none; OK stayed
    // disabled, level 1 having no picture.
    bool okBefore = true, okAfterLevel3 = true;
    Script cancel([&](HWND dlg) {
        if (Caption(dlg) != "Set image background") {
            SetDlgItemTextA(dlg, 1148, Cover().c_str());
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            return;
        }
        okBefore = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
        ChooseLevel(dlg, IDC_BG_LEVELS, 2);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_BROWSE, BN_CLICKED), 0);
        okAfterLevel3 = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    {
        CImageBackgroundDlg dialog;
        dialog.LoadFromLayout(layout, 0);
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_FALSE(okBefore);
    EXPECT_FALSE(okAfterLevel3);
    EXPECT_EQ(nullptr, layout.GetLevel(2)->m_picture.get());

    // Level 1 gets a picture and tiles: OK, and the store hands it over.
    bool okWithLevel1 = false;
    Script store([&](HWND dlg) {
        if (Caption(dlg) != "Set image background") {
            SetDlgItemTextA(dlg, 1148, Cover().c_str());
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            return;
        }
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_BROWSE, BN_CLICKED), 0);
        okWithLevel1 = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
        CheckDlgButton(dlg, IDC_IMAGE_STRETCH, BST_UNCHECKED);
        CheckDlgButton(dlg, IDC_IMAGE_TILE, BST_CHECKED);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_TILE, BN_CLICKED), 0);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    {
        CImageBackgroundDlg dialog;
        dialog.LoadFromLayout(layout, 0);
        ASSERT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(0, dialog.StoreToLayout(layout));
    }
    EXPECT_TRUE(okWithLevel1);
    ASSERT_NE(nullptr, layout.GetLevel(0)->m_picture.get());
    EXPECT_EQ(IMAGE_TILE, layout.GetLevel(0)->m_imageMode);

    // The colour dialogs show the chosen level and say which it was.
    Script solid([&](HWND dlg) {
        ChooseLevel(dlg, IDC_BG_LEVELS, 1);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    CSolidBackgroundDlg colours;
    colours.LoadFromLayout(layout, 0);
    COLORREF select = layout.GetLevel(1)->m_normal;
    ASSERT_EQ(IDOK, colours.DoModal());
    EXPECT_EQ(1, colours.StoreToLayout(layout));
    EXPECT_EQ(select, layout.GetLevel(1)->m_normal);
    Script border([&](HWND dlg) {
        ChooseLevel(dlg, IDC_BORDER_LEVELS, 2);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    CBorderColorsDlg borders;
    borders.LoadFromLayout(layout, 0);
    ASSERT_EQ(IDOK, borders.DoModal());
    EXPECT_EQ(2, borders.StoreToLayout(layout));
    SetLayoutHost(NULL);
}

#endif
