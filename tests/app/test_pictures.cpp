// The picture object under Wine: covers in JPEG, GIF and BMP load with their
// pixel sizes, draw the right way up and save byte for byte; background
// pictures of the listing layout go to and come from their level files.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "LayoutTestHost.h"
#include "app/AppLayoutHost.h"
#include "app/ListLayout.h"
#include "app/OlePicture.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "resources/resource.h"

namespace {

std::string CoverPath(const char* name)
{
    return std::string(VISTREL_TEST_DATA) + "/covers/" + name;
}

std::vector<BYTE> ReadAll(const std::string& path)
{
    return ReadWholeFile(path);
}

// A memory context of the screen's kind with a white bitmap selected.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height)
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(NULL, screen);
        old = SelectObject(dc, bitmap);
        RECT all = { 0, 0, width, height };
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;

private:
    HBITMAP bitmap;
    HGDIOBJ old;
};

struct Cover {
    const char* name;
    int width;
    int height;
};

const Cover kCovers[] = {
    { "cover_300x475.jpg", 300, 475 },
    { "cover_300x475_progressive.jpg", 300, 475 },
    { "cover_475x300.jpg", 475, 300 },
    { "cover_300x475.gif", 300, 475 },
    { "cover_475x300.gif", 475, 300 },
    { "cover_93x130.gif", 93, 130 },
    { "cover_93x130.jpg", 93, 130 },
    { "cover_93x130.bmp", 93, 130 },
};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }
    MemoryCanvas canvas{ 600, 600 };
    CTestLayoutHost host;
};

TEST_F(PictureTest, CoversLoadWithTheirSizesAndSaveByteForByte)
{
    ASSERT_EQ(96, GetDeviceCaps(canvas.dc, LOGPIXELSX));
    for (const Cover& cover : kCovers) {
        std::vector<BYTE> original = ReadAll(CoverPath(cover.name));
        ASSERT_FALSE(original.empty()) << cover.name;
        COlePicture picture;
        ASSERT_TRUE(picture.LoadFromFile(CoverPath(cover.name).c_str())) << cover.name;
        SIZE size = picture.GetPixelSize(canvas.dc);
        EXPECT_EQ(cover.width, size.cx) << cover.name;
        EXPECT_EQ(cover.height, size.cy) << cover.name;

        std::string saved = host.Path(std::string("saved-") + cover.name);
        ASSERT_TRUE(picture.SaveToFile(saved.c_str())) << cover.name;
        EXPECT_EQ(original, ReadAll(saved)) << cover.name;

        COlePicture fromMemory;
        ASSERT_TRUE(fromMemory.LoadFromMemory(original.data(), DWORD(original.size())));
        EXPECT_EQ(original, fromMemory.GetBytes());
    }
}

// The test covers run from navy at the top to orange at the bottom.
TEST_F(PictureTest, DrawsTheRightWayUp)
{
    COlePicture picture;
    ASSERT_TRUE(picture.LoadFromFile(CoverPath("cover_93x130.bmp").c_str()));
    ASSERT_TRUE(picture.Draw(canvas.dc, 10, 10));
    COLORREF top = GetPixel(canvas.dc, 50, 12);
    COLORREF bottom = GetPixel(canvas.dc, 50, 10 + 127);
    EXPECT_GT(GetBValue(top), GetRValue(top));
    EXPECT_GT(GetRValue(bottom), GetBValue(bottom));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(canvas.dc, 50, 10 + 131));  // natural size

    RECT stretched = { 200, 0, 400, 400 };
    ASSERT_TRUE(picture.DrawStretched(canvas.dc, stretched));
    EXPECT_NE(RGB(255, 255, 255), GetPixel(canvas.dc, 398, 398));
    top = GetPixel(canvas.dc, 300, 2);
    EXPECT_GT(GetBValue(top), GetRValue(top));
}

TEST_F(PictureTest, WhatIsNoPictureLeavesItEmpty)
{
    COlePicture picture;
    ASSERT_TRUE(picture.LoadFromFile(CoverPath("cover_93x130.gif").c_str()));
    const BYTE junk[] = "this is not a picture at all, just some words";
    EXPECT_FALSE(picture.LoadFromMemory(junk, sizeof junk));
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(NULL, picture.GetPicture());
    EXPECT_FALSE(picture.LoadFromMemory(junk, 0));
    EXPECT_FALSE(picture.LoadFromFile(host.Path("missing.jpg").c_str()));
    host.WriteFile("empty.jpg", {});
    EXPECT_FALSE(picture.LoadFromFile(host.Path("empty.jpg").c_str()));

    // An empty picture draws, measures and saves nothing.
    SIZE size = picture.GetPixelSize(canvas.dc);
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, size.cy);
    EXPECT_FALSE(picture.Draw(canvas.dc, 0, 0));
    EXPECT_FALSE(picture.Render(canvas.dc, 0, 0, 10, 10));
    EXPECT_FALSE(picture.SaveToFile(host.Path("nothing.dat").c_str()));
    EXPECT_FALSE(host.Exists("nothing.dat"));
}

TEST_F(PictureTest, DefaultPicturesFromTheResources)
{
    struct Resource {
        UINT id;
        const char* file;
        int width;
        int height;
    } resources[] = {
        { IDR_DEFAULT_PICTURE, "default_picture.gif", 64, 96 },
        { IDR_DEFAULT_COVER, "default_cover.gif", 100, 140 },
    };
    for (const Resource& resource : resources) {
        COlePicture picture;
        ASSERT_TRUE(picture.LoadFromResource("GIF", resource.id));
        SIZE size = picture.GetPixelSize(canvas.dc);
        EXPECT_EQ(resource.width, size.cx);
        EXPECT_EQ(resource.height, size.cy);
        EXPECT_EQ(ReadAll(std::string(VISTREL_TEST_DATA) + "/../../resources/" + resource.file),
                  picture.GetBytes());
    }
    COlePicture missing;
    EXPECT_FALSE(missing.LoadFromResource("GIF", 4711));
    EXPECT_FALSE(missing.LoadFromResource("JPEG", IDR_DEFAULT_COVER));
}

// Level pictures go to "imgbg<N>.dat" as they were loaded and move with
// their levels; a level without a picture leaves no file behind.
TEST_F(PictureTest, LevelPicturesInTheLayoutFiles)
{
    std::vector<BYTE> jpeg = ReadAll(CoverPath("cover_300x475.jpg"));
    std::vector<BYTE> gif = ReadAll(CoverPath("cover_93x130.gif"));
    host.WriteFile("imgbg4.dat", { 'o', 'l', 'd' });

    CListLayout layout;
    ASSERT_EQ(7, layout.GetLevelCount());
    layout.GetLevel(0)->m_picture.reset(new COlePicture);
    ASSERT_TRUE(layout.GetLevel(0)->m_picture->LoadFromFile(CoverPath("cover_300x475.jpg").c_str()));
    layout.GetLevel(2)->m_picture.reset(new COlePicture);
    ASSERT_TRUE(layout.GetLevel(2)->m_picture->LoadFromFile(CoverPath("cover_93x130.gif").c_str()));
    layout.SwapLevels(2, 3);
    layout.Save();
    EXPECT_EQ(jpeg, host.ReadFile("imgbg1.dat"));
    EXPECT_FALSE(host.Exists("imgbg3.dat"));
    EXPECT_EQ(gif, host.ReadFile("imgbg4.dat"));
    EXPECT_FALSE(host.Exists("imgbg2.dat"));

    CListLayout loaded;
    ASSERT_TRUE(loaded.GetLevel(0)->m_picture != NULL);
    EXPECT_EQ(jpeg, loaded.GetLevel(0)->m_picture->GetBytes());
    EXPECT_EQ(NULL, loaded.GetLevel(2)->m_picture.get());
    ASSERT_TRUE(loaded.GetLevel(3)->m_picture != NULL);
    EXPECT_EQ(gif, loaded.GetLevel(3)->m_picture->GetBytes());
    char* condition = loaded.GetConditionText(3);
    EXPECT_STREQ("%movie_have_seen_it = \"No\"", condition);
    free(condition);

    // Removing a level moves its successors' pictures down with them.
    loaded.RemoveLevel(0);
    loaded.Save();
    EXPECT_EQ(gif, host.ReadFile("imgbg3.dat"));
    EXPECT_FALSE(host.Exists("imgbg4.dat"));

    // A picture file that is no picture gives a level without one.
    host.WriteFile("imgbg1.dat", { 'j', 'u', 'n', 'k' });
    CListLayout junk;
    EXPECT_EQ(NULL, junk.GetLevel(0)->m_picture.get());
    EXPECT_EQ(6, junk.GetLevelCount());
}

// The program's host: the folder of the program file and the registry
// profile of the application object.
TEST(AppLayoutHostTest, ProgramFolderAndProfile)
{
    CWinApp app("Vistrel Layout Test");
    char company[80];
    snprintf(company, sizeof company, "VistrelAppTest-%lu", GetCurrentProcessId());
    app.SetRegistryKey(company);

    CAppLayoutHost host;
    std::string folder = host.GetFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('\\', folder.back());
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    EXPECT_EQ(0u, std::string(module).find(folder));

    EXPECT_EQ(5, host.GetProfileInt("paintitem", "margin_x", 5));
    EXPECT_TRUE(host.WriteProfileInt("paintitem", "margin_x", -2));
    EXPECT_EQ(-2, host.GetProfileInt("paintitem", "margin_x", 5));
    std::vector<BYTE> data;
    EXPECT_FALSE(host.GetProfileBinary("paintitem", "color_normal1", &data));
    const BYTE color[4] = { 0xDD, 0xF7, 0xFA, 0 };
    EXPECT_TRUE(host.WriteProfileBinary("paintitem", "color_normal1", color, 4));
    ASSERT_TRUE(host.GetProfileBinary("paintitem", "color_normal1", &data));
    EXPECT_EQ(std::vector<BYTE>(color, color + 4), data);

    AfxSetMessageBoxRecording(true);
    host.ShowStopMessage(NULL, "1 object(s) a aligned", "Item error");
    EXPECT_EQ("1 object(s) a aligned", AfxLastMessageBoxText());

    SHDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + company).c_str());
}

} // namespace

#endif
