// The picture controls in a real window under Wine: the cover control with
// its default cover, fitting and painting, the cover menu and its commands,
// the full-size cover dialog, the colour swatch and the text over a
// captured background.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "LayoutTestHost.h"
#include "app/ColorStatic.h"
#include "app/CoverStatic.h"
#include "app/ImageStatic.h"
#include "app/ShowCoverDlg.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "resources/resource.h"

namespace {

std::vector<BYTE> ReadCover(const char* name)
{
    return ReadWholeFile(std::string(VISTREL_TEST_DATA) + "/covers/" + name);
}

std::vector<BYTE> DefaultCoverBytes()
{
    COlePicture picture;
    picture.LoadFromResource("GIF", IDR_DEFAULT_COVER);
    return picture.GetBytes();
}

COLORREF PixelOf(CWnd& wnd, int x, int y)
{
    HDC dc = ::GetDC(wnd.m_hWnd);
    COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(wnd.m_hWnd, dc);
    return color;
}

// A window that holds the controls and answers the cover menu's questions.
class CCoverPage : public CWnd, public ICoverOwner {
public:
    bool HasCover() override { return hasCover; }
    void ShowCover() override { shown++; }
    void GetCoverType(char** type) override { *type = NULL; typeAsked++; }
    bool LoadCover(const char*) override { loaded++; return true; }
    bool SaveCover(const char*) override { saved++; return true; }
    bool RemoveCover() override { removed++; return true; }

    bool hasCover = true;
    int shown = 0, typeAsked = 0, loaded = 0, saved = 0, removed = 0;
};

class PictureControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        ASSERT_TRUE(page.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)GetStockObject(WHITE_BRUSH)),
                                  "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 700, NULL, NULL));
    }
    void TearDown() override
    {
        if (page.m_hWnd != NULL)
            page.DestroyWindow();
    }

    CCoverPage page;
};

TEST_F(PictureControlTest, TheCoverControlFallsBackToTheDefaultCover)
{
    CCoverStatic cover;
    EXPECT_EQ(DefaultCoverBytes(), cover.m_picture->GetBytes());
    EXPECT_TRUE(cover.m_ownsPicture);
    EXPECT_TRUE(cover.m_keepAspect);
    ASSERT_TRUE(cover.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 150), &page, IDC_COVER));

    std::vector<BYTE> jpeg = ReadCover("cover_93x130.jpg");
    cover.SetImageAndSize(jpeg.data(), DWORD(jpeg.size()), false, true);
    EXPECT_EQ(jpeg, cover.m_picture->GetBytes());
    cover.SetImageAndSize(jpeg.data(), 0, false, true);
    EXPECT_EQ(DefaultCoverBytes(), cover.m_picture->GetBytes());
    const BYTE junk[] = "no picture";
    cover.SetImageAndSize(junk, sizeof junk, false, false);
    EXPECT_EQ(DefaultCoverBytes(), cover.m_picture->GetBytes());
    EXPECT_FALSE(cover.m_keepAspect);

    // A borrowed picture is shown but never deleted, and forgotten by the
    // next cover, which the control owns again.
    COlePicture borrowed;
    ASSERT_TRUE(borrowed.LoadFromMemory(jpeg.data(), DWORD(jpeg.size())));
    cover.SetImage(&borrowed);
    EXPECT_EQ(&borrowed, cover.m_picture);
    EXPECT_FALSE(cover.m_ownsPicture);
    cover.SetImageAndSize(NULL, 0, false, true);
    EXPECT_NE(&borrowed, cover.m_picture);
    EXPECT_TRUE(cover.m_ownsPicture);
    EXPECT_EQ(jpeg, borrowed.GetBytes());
}

TEST_F(PictureControlTest, FittingSizesTheControlAndItsParent)
{
    page.MoveWindow(0, 0, 300, 300);  // room to grow on the screen
    CCoverStatic cover;
    ASSERT_TRUE(cover.Create("", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 110, 150), &page, IDC_COVER));
    CRect pageBefore, coverBefore;
    page.GetWindowRect(&pageBefore);
    cover.GetWindowRect(&coverBefore);

    std::vector<BYTE> gif = ReadCover("cover_300x475.gif");
    cover.SetImageAndSize(gif.data(), DWORD(gif.size()), true, false);
    CRect client, coverAfter, pageAfter;
    cover.GetClientRect(&client);
    cover.GetWindowRect(&coverAfter);
    page.GetWindowRect(&pageAfter);
    EXPECT_EQ(300, client.Width());
    EXPECT_EQ(475, client.Height());
    EXPECT_EQ(coverAfter.Width() - coverBefore.Width(), pageAfter.Width() - pageBefore.Width());
    EXPECT_EQ(coverAfter.Height() - coverBefore.Height(), pageAfter.Height() - pageBefore.Height());
    EXPECT_EQ("[300x475]", page.GetWindowText());
}

TEST_F(PictureControlTest, CoverPainting)
{
    CCoverStatic cover;
    ASSERT_TRUE(cover.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 200), &page, IDC_COVER));
    cover.SetImage(NULL);
    EXPECT_EQ(RGB(192, 0, 192), PixelOf(cover, 100, 100));

    // A wide picture kept in proportion: black above and below it.
    std::vector<BYTE> wide = ReadCover("cover_475x300.jpg");
    cover.SetImageAndSize(wide.data(), DWORD(wide.size()), false, true);
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(cover, 100, 5));
    EXPECT_NE(RGB(0, 0, 0), PixelOf(cover, 100, 100));
    // Stretched over the whole control.
    cover.SetImageAndSize(wide.data(), DWORD(wide.size()), false, false);
    EXPECT_NE(RGB(0, 0, 0), PixelOf(cover, 100, 5));
}

TEST_F(PictureControlTest, TheCoverMenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_COVER_MENU));
    HMENU popup = menu.GetSubMenu(0);
    ASSERT_TRUE(popup != NULL);
    const UINT ids[] = { ID_COVER_SHOW, ID_COVER_LOAD, ID_COVER_SAVE, ID_COVER_REMOVE };
    const char* texts[] = { "S&how cover in fullsize", "&Load new cover...", "&Save cover as...", "&Remove cover" };
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(ids[i], ::GetMenuItemID(popup, i));
        char text[64] = {};
        ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(texts[i], text);
    }

    auto enabled = [popup](UINT id) { return (::GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) == 0; };
    struct Case {
        bool readOnly, hasCover, show, load, save, remove;
    } cases[] = {
        { false, true, true, true, true, true },
        { false, false, false, true, false, false },
        { true, true, true, false, false, false },
        { true, false, false, false, false, false },
    };
    for (const Case& c : cases) {
        CCoverStatic::EnableCoverMenu(popup, c.readOnly, c.hasCover);
        EXPECT_EQ(c.show, enabled(ID_COVER_SHOW));
        EXPECT_EQ(c.load, enabled(ID_COVER_LOAD));
        EXPECT_EQ(c.save, enabled(ID_COVER_SAVE));
        EXPECT_EQ(c.remove, enabled(ID_COVER_REMOVE));
    }

    // The commands go to the control and from there to its page.
    CCoverStatic cover;
    ASSERT_TRUE(cover.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &page, IDC_COVER));
    cover.SendMessage(WM_COMMAND, ID_COVER_SHOW, 0);
    cover.SendMessage(WM_COMMAND, ID_COVER_REMOVE, 0);
    cover.SendMessage(WM_COMMAND, ID_COVER_SAVE, 0);  // no type: no dialog, nothing saved
    EXPECT_EQ(1, page.shown);
    EXPECT_EQ(1, page.removed);
    EXPECT_EQ(1, page.typeAsked);
    EXPECT_EQ(0, page.saved);
}

TEST_F(PictureControlTest, TheFullSizeCoverDialog)
{
    std::vector<BYTE> jpeg = ReadCover("cover_300x475.jpg");
    CShowCoverDlg dialog(&page);
    dialog.SetCover(DWORD(jpeg.size()), jpeg.data());
    ASSERT_TRUE(dialog.Create(IDD_SHOW_COVER, &page));
    EXPECT_EQ("[300x475]", dialog.GetWindowText());
    CRect client;
    dialog.m_cover.GetClientRect(&client);
    EXPECT_EQ(300, client.Width());
    EXPECT_EQ(475, client.Height());
    EXPECT_FALSE(dialog.m_cover.m_keepAspect);
    dialog.DestroyWindow();

    CShowCoverDlg empty(&page);
    ASSERT_TRUE(empty.Create(IDD_SHOW_COVER, &page));
    EXPECT_EQ("[100x140]", empty.GetWindowText());
    empty.DestroyWindow();
}

TEST_F(PictureControlTest, TheColourSwatch)
{
    CColorStatic swatch;
    ASSERT_TRUE(swatch.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(300, 300, 340, 340), &page));
    swatch.SetColor(RGB(0, 128, 255));
    EXPECT_EQ(RGB(0, 128, 255), swatch.m_color);
    EXPECT_EQ(RGB(0, 128, 255), PixelOf(swatch, 20, 20));
    swatch.SetColor(RGB(255, 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(swatch, 20, 20));
}

TEST_F(PictureControlTest, TextOverACapturedBackground)
{
    CImageStatic label;
    ASSERT_TRUE(label.Create("first", WS_CHILD | WS_VISIBLE, CRect(20, 400, 320, 430), &page));
    page.UpdateWindow();
    EXPECT_EQ(NULL, label.m_text);

    label.SetWindowText("Choose the export format");
    EXPECT_STREQ("Choose the export format", label.m_text);
    EXPECT_FALSE(label.m_needsCapture);  // painted at once
    ASSERT_TRUE(label.m_memDC != NULL);
    {
        CClientDC dc(&label);
        CSize extent = dc.GetTextExtent("Choose the export format", 24);
        EXPECT_EQ(extent.cx + 5, label.m_captured.cx);
        EXPECT_EQ(extent.cy, label.m_captured.cy);
    }
    EXPECT_EQ("first", label.GetWindowText());  // the text is kept, not passed on

    // The background under the text is the page's white, and the text is drawn.
    bool dark = false;
    for (int x = 0; x < label.m_captured.cx && !dark; x++)
        for (int y = 0; y < label.m_captured.cy && !dark; y++)
            dark = PixelOf(label, x, y) == RGB(0, 0, 0);
    EXPECT_TRUE(dark);
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(label, label.m_captured.cx + 20, 2));

    CFont font;
    ASSERT_TRUE(font.CreateFont(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    label.SetFont(&font, TRUE);
    ASSERT_TRUE(label.m_font != NULL);
    EXPECT_NE(font.m_hObject, label.m_font->m_hObject);
    label.SetWindowText("Bigger");
    EXPECT_GE(label.m_captured.cy, 28);
    label.SetFont((HFONT)NULL, TRUE);
    EXPECT_EQ(NULL, label.m_font);
}

} // namespace

#endif
