// "Configure Movies listing" under Wine: its number edits, level buttons and
// border colour button, clicks in the preview, Cancel and OK on a layout of
// its own; and the running program's "Customize 'movie-box'" command.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DialogScript.h"
#include "LayoutTestHost.h"
#include "ProgramRun.h"
#include "app/ConfigureListingDlg.h"
#include "app/EditItemDlg.h"
#include "app/ListLayout.h"
#include "core/ErrorBox.h"
#include "resources/resource.h"

namespace {

class ConfigureListingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        dlg.CreateLayout();
        ASSERT_TRUE(dlg.Create(IDD_CONFIGURE_LISTING));
        dlg.ShowWindow(SW_SHOW);
        SetPropA(dlg.m_hWnd, "VistrelSeen", HANDLE(1));  // not one for the scripts
    }
    void TearDown() override { dlg.DestroyWindow(); }

    CListLayout& Layout() { return *dlg.GetLayout(); }
    bool Enabled(int id) { return Enabled(dlg.m_hWnd, id); }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    void Click(int id) { Click(dlg.m_hWnd, id); }
    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    // Edit Item's answer that makes the element a cover and keeps it.
    static void MakeCover(HWND dialog)
    {
        Click(dialog, IDC_ITEM_COVER);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    LRESULT ChosenLevel() { return SendDlgItemMessageA(dlg.m_hWnd, IDC_LISTING_LEVELS, CB_GETCURSEL, 0, 0); }
    // Pixels of one colour in the preview's box.
    int PreviewPixels(COLORREF colour)
    {
        CListingPreview& preview = *dlg.GetPreview();
        int count = 0;
        for (int y = 0; y < preview.GetBoxHeight(); y += 2)
            for (int x = 0; x < preview.GetBoxWidth(); x += 2)
                count += GetPixel(preview.GetBoxDc(), x, y) == colour ? 1 : 0;
        return count;
    }
    void SetText(int id, const char* text) { SetDlgItemTextA(dlg.m_hWnd, id, text); }
    std::string LevelName(int level)
    {
        char text[256] = {};
        SendDlgItemMessageA(dlg.m_hWnd, IDC_LISTING_LEVELS, CB_GETLBTEXT, WPARAM(level), LPARAM(text));
        return text;
    }
    // A click in the preview on the middle of an element (NULL: at 1, 1, on
    // the border), with Ctrl held or not.
    void ClickPreview(const CLayoutSubItem* item, bool ctrl = false)
    {
        POINT at = {1, 1};
        if (item != nullptr) {
            POINT scroll = dlg.GetPreview()->GetScrollPosition();
            at = {(item->m_marginBox.left + item->m_marginBox.right) / 2 - scroll.x,
                  (item->m_marginBox.top + item->m_marginBox.bottom) / 2 - scroll.y};
        }
        SendMessageA(dlg.GetPreview()->m_hWnd, WM_LBUTTONUP, ctrl ? MK_CONTROL : 0, MAKELPARAM(at.x, at.y));
    }
    int SelectedCount()
    {
        int count = 0;
        for (int32_t i = 0; i < Layout().GetItemCount(); i++)
            count += Layout().GetItem(i)->m_selected ? 1 : 0;
        return count;
    }

    CTestLayoutHost host;
    CConfigureListingDlg dlg;
};

} // namespace

TEST_F(ConfigureListingTest, NumberEditsEnableOkAndSetTheDesign)
{
    EXPECT_EQ("5", std::string(dlg.GetDlgItemText(IDC_LISTING_MARGIN_X)));
    SetText(IDC_LISTING_MARGIN_X, "");
    EXPECT_FALSE(Enabled(IDOK));
    SetText(IDC_LISTING_MARGIN_Y, "7");
    EXPECT_FALSE(Enabled(IDOK)) << "X is still empty";
    SetText(IDC_LISTING_MARGIN_X, "12ab");
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_EQ(12, Layout().m_marginX);
    EXPECT_EQ(7, Layout().m_marginY);
    SetText(IDC_LISTING_BORDER_WIDTH, "99999999999");
    EXPECT_EQ(kMaxBoxSize, Layout().m_borderWidth);
    SetText(IDC_LISTING_BORDER_WIDTH, "-3");
    EXPECT_EQ(0, Layout().m_borderWidth);
    // The preview was laid out with the new margin around the 64-pixel cover.
    const RECT& cover = Layout().GetItem(0)->m_marginBox;
    EXPECT_EQ(64 + 2 * 12, cover.right - cover.left);
}

TEST_F(ConfigureListingTest, LevelButtonsFollowTheChosenLevel)
{
    const int last = Layout().GetLevelCount() - 1;
    ASSERT_EQ(6, last);
    const int buttons[4] = {IDC_LISTING_EDIT_LEVEL, IDC_LISTING_DELETE_LEVEL, IDC_LISTING_LEVEL_UP,
                            IDC_LISTING_LEVEL_DOWN};
    const struct {
        int level;
        bool enabled[4];
    } expected[] = {
        {0, {false, false, false, false}},
        {1, {false, false, false, false}},
        {2, {true, true, false, true}},
        {last, {true, true, true, false}},
    };
    for (const auto& row : expected) {
        ChooseLevel(dlg.m_hWnd, IDC_LISTING_LEVELS, row.level);
        for (int k = 0; k < 4; k++)
            EXPECT_EQ(row.enabled[k], Enabled(buttons[k])) << "level " << row.level << " button " << buttons[k];
    }

    // The preview shows the chosen level: level 7's normal colour fills it.
    EXPECT_GT(PreviewPixels(Layout().GetLevel(last)->m_normal), 500);

    // Moving the last level up takes the choice along; deleting the last
    // level leaves the choice on the new last one.
    std::string lastName = LevelName(last);
    Click(IDC_LISTING_LEVEL_UP);
    EXPECT_EQ(last - 1, ChosenLevel());
    EXPECT_EQ(lastName, LevelName(last - 1));
    Click(IDC_LISTING_LEVEL_DOWN);
    EXPECT_EQ(lastName, LevelName(last));
    Click(IDC_LISTING_DELETE_LEVEL);
    EXPECT_EQ(last, Layout().GetLevelCount());
    EXPECT_EQ(last - 1, ChosenLevel());
    EXPECT_FALSE(Enabled(IDC_LISTING_LEVEL_DOWN));
}

TEST_F(ConfigureListingTest, PreviewClicksSelectElements)
{
    CLayoutSubItem* title = Layout().GetItem(1);
    CLayoutSubItem* genre = Layout().GetItem(4);
    EXPECT_EQ(title, dlg.GetPreview()->ItemAt({(title->m_marginBox.left + title->m_marginBox.right) / 2,
                                               (title->m_marginBox.top + title->m_marginBox.bottom) / 2}));
    ClickPreview(title);
    EXPECT_TRUE(title->m_selected);
    EXPECT_TRUE(Enabled(IDC_LISTING_EDIT_ITEM));
    ClickPreview(genre, true);
    EXPECT_EQ(2, SelectedCount());
    EXPECT_FALSE(Enabled(IDC_LISTING_EDIT_ITEM));
    EXPECT_TRUE(Enabled(IDC_LISTING_DELETE_ITEMS));
    ClickPreview(title);
    EXPECT_EQ(0, SelectedCount()) << "a plain click on a selected element clears the others and toggles it";
    ClickPreview(genre);
    EXPECT_TRUE(genre->m_selected);
    EXPECT_EQ(1, SelectedCount());
    ClickPreview(nullptr);
    EXPECT_EQ(0, SelectedCount());
    EXPECT_FALSE(Enabled(IDC_LISTING_DELETE_ITEMS));

    // A double click opens Edit Item on that element alone; the button-up
    // that ends it selects nothing anew.
    std::string opened;
    Script edit([&](HWND dialog) {
        opened = Caption(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ClickPreview(title, true);
    POINT at = {(genre->m_marginBox.left + genre->m_marginBox.right) / 2 - dlg.GetPreview()->GetScrollPosition().x,
                (genre->m_marginBox.top + genre->m_marginBox.bottom) / 2};
    SendMessageA(dlg.GetPreview()->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(at.x, at.y));
    ClickPreview(genre);
    EXPECT_EQ("Edit Item", opened);
    EXPECT_TRUE(genre->m_selected);
    EXPECT_EQ(1, SelectedCount());
    ClickPreview(nullptr);

    // The cover others are aligned to can't go alone: the layout says why.
    ClickPreview(Layout().GetItem(0));
    Click(IDC_LISTING_DELETE_ITEMS);
    EXPECT_EQ("Item error", host.lastCaption);
    EXPECT_EQ(7, Layout().GetItemCount());
}

TEST_F(ConfigureListingTest, BorderColorsFollowTheMode)
{
    Layout().m_flatBorderColor = RGB(1, 2, 3);
    std::string seen;
    Script script([&](HWND dialog) {
        seen += Caption(dialog) + ";";
        if (Caption(dialog) == "Set 3D border colors")
            ChooseLevel(dialog, IDC_BORDER_LEVELS, 3);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    // Solid with a 3D border: the border colours, then level 1 again.
    ChooseLevel(dlg.m_hWnd, IDC_LISTING_LEVELS, 2);
    Click(IDC_LISTING_BORDER_COLORS);
    EXPECT_EQ("Set 3D border colors;", seen);
    EXPECT_EQ(0, ChosenLevel());

    // Pictures: the flat colour, whatever the 3D flag; "3D Border" is off.
    Click(IDC_LISTING_IMAGE);
    EXPECT_FALSE(Layout().m_solidBackground);
    EXPECT_FALSE(Enabled(IDC_LISTING_3D_BORDER));
    EXPECT_TRUE(IsDlgButtonChecked(dlg.m_hWnd, IDC_LISTING_FLAT_BORDER));
    EXPECT_TRUE(Layout().m_3dBorder);
    seen.clear();
    Click(IDC_LISTING_BORDER_COLORS);
    EXPECT_EQ("Color;", seen);
    EXPECT_EQ(RGB(1, 2, 3), Layout().m_flatBorderColor);
    // Without pictures every box is filled with the no-picture colour.
    EXPECT_GT(PreviewPixels(RGB(0xC0, 0, 0xC0)), 500);
}

TEST_F(ConfigureListingTest, CancelKeepsTheStoredDesignAndOkStoresIt)
{
    SetText(IDC_LISTING_MARGIN_X, "30");
    Click(IDC_LISTING_IMAGE);
    ClickPreview(Layout().GetItem(6));
    Click(IDC_LISTING_DELETE_ITEMS);
    ASSERT_EQ(6, Layout().GetItemCount());
    SendMessageA(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(5, Layout().m_marginX);
    EXPECT_TRUE(Layout().m_solidBackground);
    EXPECT_EQ(7, Layout().GetItemCount());
    EXPECT_TRUE(host.ints.empty());
    EXPECT_FALSE(host.Exists("subitems.dat"));

    SetText(IDC_LISTING_MARGIN_X, "30");
    ClickPreview(Layout().GetItem(6));
    Click(IDC_LISTING_DELETE_ITEMS);
    dlg.SaveLayout();
    CListLayout stored;
    EXPECT_EQ(30, stored.m_marginX);
    EXPECT_EQ(6, stored.GetItemCount());
    EXPECT_EQ(ITEM_TEXT, stored.GetItem(1)->m_kind) << "templates shown while editing are stored as texts";
}

// Edit Item over the preview: a new element needs a kind (and a text
// element a text) before OK; Cancel removes it. The dialog stands beside its
// owner, which follows when it is moved.
TEST_F(ConfigureListingTest, AddItemNeedsAKindAndCancelRemovesIt)
{
    bool okNew = true, okTextOnly = true, okWithText = false, beside = false, followed = false;
    Script cancel([&](HWND item) {
        okNew = Enabled(item, IDOK);
        Click(item, IDC_ITEM_TEXT);
        okTextOnly = Enabled(item, IDOK);
        SetDlgItemTextA(item, IDC_ITEM_TEMPLATE, "Hello %movie_name");
        okWithText = Enabled(item, IDOK);
        RECT owner, self;
        GetWindowRect(dlg.m_hWnd, &owner);
        GetWindowRect(item, &self);
        beside = self.left == owner.right && self.top == owner.top;
        SetWindowPos(item, NULL, self.left + 20, self.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT moved;
        GetWindowRect(dlg.m_hWnd, &moved);
        followed = moved.left == owner.left + 20 && moved.top == owner.top + 10;
        PostMessageA(item, WM_COMMAND, IDCANCEL, 0);
    });
    Click(IDC_LISTING_ADD_ITEM);
    EXPECT_FALSE(okNew);
    EXPECT_FALSE(okTextOnly);
    EXPECT_TRUE(okWithText);
    EXPECT_TRUE(beside);
    EXPECT_TRUE(followed);
    EXPECT_EQ(7, Layout().GetItemCount());

    Script keep(MakeCover);
    Click(IDC_LISTING_ADD_ITEM);
    ASSERT_EQ(8, Layout().GetItemCount());
    dlg.SaveLayout();
    CListLayout stored;
    ASSERT_EQ(8, stored.GetItemCount()) << "the stored elements are read back, not the defaults";
    EXPECT_EQ(ITEM_COVER, stored.GetItem(7)->m_kind);
}

TEST_F(ConfigureListingTest, EditCancelAfterReorderRestoresEverything)
{
    CLayoutSubItem* title = Layout().GetItem(1);
    LOGFONTA font = {};
    font.lfHeight = -20;
    strcpy(font.lfFaceName, "Tahoma");
    title->SetFont(&font);
    title->m_flags |= ITEM_CUSTOM_FONT;
    title->m_selected = true;
    std::vector<ElementState> before = ElementStates(Layout());

    bool moved = false;
    std::string faceInDialog;
    Script script([&](HWND dialog) {
        if (Caption(dialog) == "Font") {
            // Another face than the element's.
            HWND faces = GetDlgItem(dialog, 1136);
            LRESULT count = SendMessageA(faces, CB_GETCOUNT, 0, 0);
            for (LRESULT k = 0; k < count; k++) {
                char face[LF_FACESIZE] = {};
                SendMessageA(faces, CB_GETLBTEXT, WPARAM(k), LPARAM(face));
                if (strcmp(face, "Tahoma") != 0 && face[0] != '@') {
                    SendMessageA(faces, CB_SETCURSEL, WPARAM(k), 0);
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), LPARAM(faces));
                    break;
                }
            }
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return;
        }
        SetDlgItemTextA(dialog, IDC_ITEM_TEMPLATE, "changed");
        Click(dialog, IDC_ITEM_CHOOSE_FONT);
        faceInDialog = title->GetFont() != nullptr ? title->GetFont()->lfFaceName : "";
        // Right of the cover becomes left of "[%movie_type]", which lies
        // after the element: the elements are sorted.
        HWND anchors = GetDlgItem(dialog, IDC_ITEM_H_ANCHOR);
        for (LRESULT k = 0; k < SendMessageA(anchors, LB_GETCOUNT, 0, 0); k++) {
            if (SendMessageA(anchors, LB_GETITEMDATA, WPARAM(k), 0) == 3 + 1) {
                SendMessageA(anchors, LB_SETCURSEL, WPARAM(k), 0);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ITEM_H_ANCHOR, LBN_SELCHANGE), LPARAM(anchors));
            }
        }
        Click(dialog, IDC_ITEM_RIGHT);
        moved = Layout().GetItem(1) != title && title->m_hAnchor >= 0 && (title->m_flags & ITEM_RIGHT) != 0;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Click(IDC_LISTING_EDIT_ITEM);
    EXPECT_TRUE(moved);
    EXPECT_NE("Tahoma", faceInDialog);
    EXPECT_STREQ("%movie_name (%movie_year)", title->m_text);
    ASSERT_NE(nullptr, title->GetFont());
    EXPECT_STREQ("Tahoma", title->GetFont()->lfFaceName);
    EXPECT_EQ(before, ElementStates(Layout()));
}

TEST_F(ConfigureListingTest, AnchorsOfferedAndKindSwitchKeepsTheTemplate)
{
    // The cover: every element aligned to it is left out of its lists, and
    // an anchor against the box's right side refuses "Left".
    Layout().GetItem(0)->m_selected = true;
    std::vector<std::string> offered;
    bool leftWithBox = false, leftWithType = true, rightWithType = false;
    Script anchors([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_ITEM_H_ANCHOR);
        for (LRESULT k = 0; k < SendMessageA(list, LB_GETCOUNT, 0, 0); k++) {
            char text[256] = {};
            SendMessageA(list, LB_GETTEXT, WPARAM(k), LPARAM(text));
            offered.push_back(text);
        }
        leftWithBox = Enabled(dialog, IDC_ITEM_LEFT);
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ITEM_H_ANCHOR, LBN_SELCHANGE), LPARAM(list));
        leftWithType = Enabled(dialog, IDC_ITEM_LEFT);
        rightWithType = Enabled(dialog, IDC_ITEM_RIGHT);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Click(IDC_LISTING_EDIT_ITEM);
    EXPECT_EQ(std::vector<std::string>({"[base]", "Text Item [[%movie_type]]",
                                        "Text Item [Length: %movie_length_hourh %movie_length_minm]",
                                        "Text Item [Rate: %movie_rate2.1]"}),
              offered);
    EXPECT_TRUE(leftWithBox);
    EXPECT_FALSE(leftWithType);
    EXPECT_TRUE(rightWithType);

    // A text element made a cover keeps its template, in the file too.
    ClickPreview(Layout().GetItem(1));
    Script cover(MakeCover);
    Click(IDC_LISTING_EDIT_ITEM);
    dlg.SaveLayout();
    CListLayout stored;
    EXPECT_EQ(ITEM_COVER, stored.GetItem(1)->m_kind);
    EXPECT_STREQ("%movie_name (%movie_year)", stored.GetItem(1)->m_text);
}

// Background rules: adding needs every input of the kind; the rule becomes a
// level that is chosen; editing says "Edit background" and "Save".
TEST_F(ConfigureListingTest, BackgroundRulesAddAndEdit)
{
    bool okOneBound = true, okBoth = false, valueOff = true;
    std::string caption, okText;
    Script add([&](HWND dialog) {
        caption = Caption(dialog);
        okText = Caption(GetDlgItem(dialog, IDOK));
        SetDlgItemTextA(dialog, IDC_RULE_TEMPLATE, "%movie_year");
        Click(dialog, IDC_RULE_RANGE);
        SetDlgItemTextA(dialog, IDC_RULE_LOWER, "1990");
        okOneBound = Enabled(dialog, IDOK);
        SetDlgItemTextA(dialog, IDC_RULE_UPPER, "2000");
        okBoth = Enabled(dialog, IDOK);
        valueOff = !Enabled(dialog, IDC_RULE_VALUE);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(IDC_LISTING_ADD_LEVEL);
    EXPECT_EQ("Add new background", caption);
    EXPECT_EQ("Add", okText);
    EXPECT_FALSE(okOneBound);
    EXPECT_TRUE(okBoth);
    EXPECT_TRUE(valueOff);
    ASSERT_EQ(8, Layout().GetLevelCount());
    EXPECT_EQ(7, ChosenLevel());
    EXPECT_EQ("1990 < number(%movie_year) < 2000", LevelName(7));

    Script edit([&](HWND dialog) {
        caption = Caption(dialog);
        okText = Caption(GetDlgItem(dialog, IDOK));
        SetDlgItemTextA(dialog, IDC_RULE_LOWER, "99999999999");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(IDC_LISTING_EDIT_LEVEL);
    EXPECT_EQ("Edit background", caption);
    EXPECT_EQ("Save", okText);
    EXPECT_EQ(INT32_MAX, Layout().GetLevel(7)->m_rule->m_first);
    EXPECT_EQ(2000, Layout().GetLevel(7)->m_rule->m_second);

    // After the colours of another level, that level is chosen.
    Script colours([&](HWND dialog) {
        ChooseLevel(dialog, IDC_BG_LEVELS, 4);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(IDC_LISTING_SET_COLOR);
    EXPECT_EQ(4, ChosenLevel());
}

// The program's command: OK stores the design and the pane paints with it;
// Cancel changes neither the profile nor the pane.
TEST(ConfigureListingProgram, CustomizeChangesThePaneOnlyAfterOk)
{
    const COLORREF noPicture = RGB(0xC0, 0, 0xC0);
    CProgramRun run("customize");
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 3));
    HWND main = run.StartToMainWindow("\"" + catalogue + "\"");
    ASSERT_NE(main, nullptr);
    HWND pane = GetDlgItem(main, IDW_PANE);
    auto paneHas = [&](COLORREF colour) {
        RECT r;
        GetWindowRect(pane, &r);
        HDC screen = GetDC(NULL);
        int count = 0;
        for (int y = r.top; y < r.bottom; y += 3)
            for (int x = r.left; x < r.right; x += 3)
                count += GetPixel(screen, x, y) == colour ? 1 : 0;
        ReleaseDC(NULL, screen);
        return count > 300;
    };

    for (int pressed : {IDCANCEL, IDOK}) {
        run.PostCommand(ID_VIEW_CUSTOMIZE);
        HWND dialog = run.WaitDialog("Configure Movies listing");
        ASSERT_NE(dialog, nullptr);
        SendMessageA(GetDlgItem(dialog, IDC_LISTING_IMAGE), BM_CLICK, 0, 0);
        CProgramRun::Press(dialog, pressed);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
        DWORD solid = 99;
        if (pressed == IDCANCEL) {
            // Once the program answers again, Cancel's handler has run.
            DWORD_PTR answer = 0;
            ASSERT_TRUE(SendMessageTimeoutA(run.MainWindow(0), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                            kProgramWaitMs, &answer));
            EXPECT_FALSE(run.GetInt("paintitem", "solid_background", &solid));
            EXPECT_FALSE(FileExists(run.PathOf("subitems.dat")));
            EXPECT_FALSE(paneHas(noPicture));
        } else {
            // The elements' file is written after the settings.
            EXPECT_TRUE(WaitFor([&] { return FileExists(run.PathOf("subitems.dat")); }));
            EXPECT_TRUE(run.GetInt("paintitem", "solid_background", &solid));
            EXPECT_EQ(0u, solid);
            EXPECT_TRUE(WaitFor([&] { return paneHas(noPicture); }));
        }
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}

// Shown for screenshots only: SHOWCASE=configure (the default), item or
// background shows that dialog over a fresh design.
TEST(ConfigureListingShowcase, DISABLED_Show)
{
    CTestLayoutHost host;
    const char* which = getenv("SHOWCASE");
    std::string show = which != nullptr ? which : "configure";
    Script script([&](HWND dialog) {
        if (show == "item" && Caption(dialog) == "Configure Movies listing") {
            CConfigureListingDlg* configure = static_cast<CConfigureListingDlg*>(CWnd::FromHandlePermanent(dialog));
            configure->GetLayout()->GetItem(1)->m_selected = true;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LISTING_EDIT_ITEM, BN_CLICKED),
                         LPARAM(GetDlgItem(dialog, IDC_LISTING_EDIT_ITEM)));
        } else if (show == "background" && Caption(dialog) == "Configure Movies listing") {
            ChooseLevel(dialog, IDC_LISTING_LEVELS, 4);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LISTING_EDIT_LEVEL, BN_CLICKED),
                         LPARAM(GetDlgItem(dialog, IDC_LISTING_EDIT_LEVEL)));
        }
    });
    CConfigureListingDlg dialog;
    dialog.CreateLayout();
    dialog.DoModal();
}

#endif
