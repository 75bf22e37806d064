// Movie-boxes painted by the listing cells under Wine: the background of the
// chosen level, borders, growth of the box and the cache of painted boxes.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "app/ListLayout.h"
#include "app/ListingCell.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

const COLORREF kBorder = RGB(255, 0, 0);
const COLORREF kNormal = RGB(0, 128, 0);
const COLORREF kSelect = RGB(0, 0, 200);
const COLORREF kDvd = RGB(200, 200, 0);

class TestOwner : public IListingCellOwner {
public:
    TestOwner()
    {
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, NULL, NULL,
                                 GetModuleHandle(NULL), NULL);
    }
    ~TestOwner() override { DestroyWindow(window); }

    HWND GetCellWindow() override { return window; }
    CListLayout* GetCellLayout() override { return layout; }
    void GetScrollOffset(int32_t* x, int64_t* y) override { *x = 0; *y = scrollY; }
    RECT GetCellClientRect() override { return {0, 0, 400, 300}; }
    bool KeepsAllCells() override { return false; }
    void PlaceCellAgain(CListingCell* cell, int32_t width, int32_t height) override
    {
        placedWidth = width;
        placedHeight = height;
        RECT r;
        cell->GetRect(&r);
        r.right = r.left + width;
        r.bottom = r.top + height;
        cell->SetRect(r);
    }
    void OnCellCached(CListingCell* cell) override { cached.insert(cell); }
    void OnCellReleased(CListingCell* cell) override { cached.erase(cell); }

    HWND window;
    CListLayout* layout = NULL;
    int64_t scrollY = 0;
    int32_t placedWidth = 0, placedHeight = 0;
    std::set<CListingCell*> cached;
};

// A memory context of the client's size to draw cells into.
class Canvas {
public:
    Canvas()
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 400, 300);
        old = SelectObject(dc, bitmap);
        ReleaseDC(NULL, screen);
        RECT all = {0, 0, 400, 300};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

class ListingCellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        theCollection.Clear();
        layout.m_items.clear();
        layout.m_solidBackground = true;
        layout.m_3dBorder = false;
        layout.m_borderWidth = 3;
        layout.m_flatBorderColor = kBorder;
        layout.GetLevel(LEVEL_NORMAL)->m_normal = kNormal;
        layout.GetLevel(LEVEL_SELECT)->m_normal = kSelect;
        CBackgroundRule rule;
        rule.m_kind = RULE_EQUALS;
        StrSet(&rule.m_template, "%movie_type");
        StrSet(&rule.m_value, "DVD");
        while (layout.GetLevelCount() > 2)
            layout.RemoveLevel(0);
        layout.AddLevel(&rule);
        layout.GetLevel(2)->m_normal = kDvd;
        layout.m_cachedWidth = layout.m_cachedHeight = 0;
        owner.layout = &layout;
    }
    void TearDown() override { theCollection.Clear(); }

    DWORD AddMovie(const char* title, const char* type)
    {
        CMovie movie;
        StrSet(&movie.m_title, title);
        StrSet(&movie.m_customType, type);
        movie.m_modified = 1;
        return theCollection.AddMovie(&movie, false);
    }

    CListLayout layout;
    TestOwner owner;
};

TEST_F(ListingCellTest, BoxTakesTheBackgroundOfItsLevelAndTheFlatBorder)
{
    DWORD plain = AddMovie("Plain", "VHS");
    DWORD dvd = AddMovie("Disc", "DVD");
    CListingCell a(&owner), b(&owner);
    a.SetRect({0, 0, 100, 50});
    b.SetRect({0, 50, 100, 100});
    a.Show();
    b.Show();
    ASSERT_TRUE(a.AssignMovie(plain, false));
    ASSERT_TRUE(b.AssignMovie(dvd, false));
    Canvas canvas;
    a.Draw(canvas.dc);
    b.Draw(canvas.dc);
    EXPECT_EQ(kBorder, canvas.At(0, 0));
    EXPECT_EQ(kBorder, canvas.At(2, 2));
    EXPECT_EQ(kNormal, canvas.At(3, 3));
    EXPECT_EQ(kNormal, canvas.At(96, 46));
    EXPECT_EQ(kBorder, canvas.At(99, 49));
    EXPECT_EQ(kDvd, canvas.At(50, 75));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(150, 20));  // nothing outside the boxes

    // Selected: the select level even though a rule matches.
    b.Select();
    b.Draw(canvas.dc);
    EXPECT_EQ(kSelect, canvas.At(50, 75));
    b.Deselect();
    b.Draw(canvas.dc);
    EXPECT_EQ(kDvd, canvas.At(50, 75));
}

TEST_F(ListingCellTest, PicturesMissingOnEveryLevelFillWithTheMarkerColour)
{
    layout.m_solidBackground = false;
    layout.m_borderWidth = 0;
    DWORD id = AddMovie("Plain", "VHS");
    CListingCell cell(&owner);
    cell.SetRect({0, 0, 80, 40});
    cell.Show();
    ASSERT_TRUE(cell.AssignMovie(id, false));
    Canvas canvas;
    cell.Draw(canvas.dc);
    EXPECT_EQ(RGB(0xC0, 0x00, 0xC0), canvas.At(0, 0));
    EXPECT_EQ(RGB(0xC0, 0x00, 0xC0), canvas.At(79, 39));
}

TEST_F(ListingCellTest, ThreeDimensionalBorderShadesTowardTheNormalColour)
{
    layout.m_3dBorder = true;
    CLayoutLevel* normal = layout.GetLevel(LEVEL_NORMAL);
    normal->m_light = RGB(250, 250, 250);
    normal->m_normal = RGB(100, 100, 100);
    normal->m_dark = RGB(10, 10, 10);
    DWORD id = AddMovie("Plain", "VHS");
    CListingCell cell(&owner);
    cell.SetRect({0, 0, 80, 40});
    cell.Show();
    ASSERT_TRUE(cell.AssignMovie(id, false));
    Canvas canvas;
    cell.Draw(canvas.dc);
    auto rings = BorderRingColors(normal->m_light, normal->m_normal, normal->m_dark, 3);
    EXPECT_EQ(rings[0].first, canvas.At(0, 10));
    EXPECT_EQ(rings[0].second, canvas.At(79, 10));
    EXPECT_EQ(rings[1].first, canvas.At(1, 10));
    EXPECT_EQ(RGB(100, 100, 100), canvas.At(40, 20));
}

TEST_F(ListingCellTest, ABoxThatNeedsMoreRoomIsPlacedAgainOnce)
{
    CLayoutSubItem* item = layout.NewItem();
    item->Set(ITEM_COVER, PLACE_ABSOLUTE, -1, -1, 10, 10, 150, 60, 0, NULL, 0, 0);
    DWORD id = AddMovie("Plain", "VHS");
    CListingCell cell(&owner);
    cell.SetRect({0, 0, 80, 40});
    cell.Show();
    ASSERT_TRUE(cell.AssignMovie(id, false));
    const int32_t w = 10 + 5 + 150 + 5, h = 10 + 5 + 60 + 5;  // margins of 5
    EXPECT_EQ(w, owner.placedWidth);
    EXPECT_EQ(h, owner.placedHeight);
    Canvas canvas;
    cell.Draw(canvas.dc);
    // The cover element without any picture draws nothing over the background.
    EXPECT_EQ(kNormal, canvas.At(60, 40));
    EXPECT_EQ(kBorder, canvas.At(w - 1, h - 1));
}

TEST_F(ListingCellTest, RenderingClearsTheStoredModifiedFlag)
{
    DWORD id = AddMovie("Plain", "VHS");
    CMovie* copy = theCollection.GetMovieCopy(id);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(1, copy->m_modified);
    theCollection.ReleaseMovieCopy(&copy);
    CListingCell cell(&owner);
    cell.SetRect({0, 0, 80, 40});
    cell.Show();
    ASSERT_TRUE(cell.AssignMovie(id, false));
    copy = theCollection.GetMovieCopy(id);
    EXPECT_EQ(0, copy->m_modified);
    theCollection.ReleaseMovieCopy(&copy);
    EXPECT_FALSE(cell.AssignMovie(id + 100, false));
}

TEST_F(ListingCellTest, OnlyCellsInTheClientAreaKeepBitmaps)
{
    DWORD id = AddMovie("Plain", "VHS");
    CListingCell upper(&owner), lower(&owner);
    upper.SetRect({0, 0, 80, 40});
    lower.SetRect({0, 4000, 80, 4040});
    upper.Show();
    lower.Show();
    ASSERT_TRUE(upper.AssignMovie(id, false));
    ASSERT_TRUE(lower.AssignMovie(id, false));
    Canvas canvas;
    upper.Draw(canvas.dc);
    lower.Draw(canvas.dc);
    EXPECT_TRUE(upper.HasCache());
    EXPECT_FALSE(lower.HasCache());
    EXPECT_EQ(1u, owner.cached.size());
    // Scrolled down: the lower one is painted, the upper one gives up its bitmap.
    owner.scrollY = 3900;
    upper.Draw(canvas.dc);
    lower.Draw(canvas.dc);
    EXPECT_FALSE(upper.HasCache());
    EXPECT_TRUE(lower.HasCache());
    EXPECT_EQ(kNormal, canvas.At(40, 4020 - 3900));
    EXPECT_EQ(1u, owner.cached.size());
}

}  // namespace

#endif
