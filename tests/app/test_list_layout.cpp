// The listing layout model: first-start defaults, the profile and the three
// kinds of layout file, damaged files, saving safely, and the editing
// operations on elements and levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "LayoutTestHost.h"
#include "app/ListLayout.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/StrUtil.h"

namespace {

class CountingOwner : public IListLayoutOwner {
public:
    void RebuildBoxes() override { rebuilds++; }
    COlePicture* GetDefaultPicture() override { return &picture; }
    int rebuilds = 0;
    COlePicture picture;
};

std::string Text(char* heap)
{
    std::string text = heap != NULL ? heap : "(null)";
    free(heap);
    return text;
}

LOGFONTA MakeFont(const char* face, LONG height)
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = 700;
    font.lfItalic = 1;
    strcpy(font.lfFaceName, face);
    return font;
}

void SetRule(CBackgroundRule* rule, BYTE kind, const char* text, const char* value, int32_t first,
             int32_t second = 0)
{
    rule->m_kind = kind;
    StrSet(&rule->m_template, text);
    StrSet(&rule->m_value, value);
    rule->m_first = first;
    rule->m_second = second;
}

class ListLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }

    // An element of the given kind and placement.
    static CLayoutSubItem* Add(CListLayout& layout, BYTE kind, BYTE placement, DWORD flags,
                               const char* text, int32_t h = -1, int32_t v = -1)
    {
        CLayoutSubItem* item = layout.NewItem();
        item->Set(kind, placement, h, v, 0, 0, 10, 10, flags, text, text ? DWORD(strlen(text) + 1) : 0, 0);
        return item;
    }

    // Saves the layout's elements as they are, without any check.
    void SaveItems(CListLayout& layout)
    {
        layout.Save();
        ASSERT_EQ(layout.GetItemCount(), host.Int("subitems"));
    }

    // Whether the layout holds the seven elements of a first start.
    static bool HasDefaultItems(const CListLayout& layout)
    {
        if (layout.GetItemCount() != 7)
            return false;
        const CLayoutSubItem* cover = layout.GetItem(0);
        const CLayoutSubItem* last = layout.GetItem(6);
        return cover->m_kind == ITEM_COVER && cover->m_width == 64 && cover->m_height == 96 &&
               cover->m_flags == 0x870 && StrEqual(last->m_text, "Rate: %movie_rate2.1");
    }

    CTestLayoutHost host;
};

TEST_F(ListLayoutTest, FirstStartGivesTheDefaultDesign)
{
    CountingOwner owner;
    CListLayout layout(&owner);
    EXPECT_EQ(1, owner.rebuilds);
    EXPECT_EQ(&owner.picture, layout.m_defaultCover);
    EXPECT_EQ(5, layout.m_borderWidth);
    EXPECT_EQ(5, layout.m_marginX);
    EXPECT_EQ(5, layout.m_marginY);
    EXPECT_TRUE(layout.m_solidBackground);
    EXPECT_TRUE(layout.m_3dBorder);
    EXPECT_EQ(0u, layout.m_flatBorderColor);

    ASSERT_EQ(7, layout.GetLevelCount());
    EXPECT_EQ(0xFAF7DDu, layout.GetLevel(0)->m_normal);
    EXPECT_EQ(0xFFFFE6u, layout.GetLevel(0)->m_light);
    EXPECT_EQ(0x2C4EC7u, layout.GetLevel(1)->m_dark);
    EXPECT_EQ(NULL, layout.GetLevel(1)->m_rule.get());
    const char* values[] = { "No", "DVDrip (DivX)", "DVD", "SVCD", "VCD" };
    for (int i = 0; i < 5; i++) {
        const CLayoutLevel* level = layout.GetLevel(2 + i);
        ASSERT_TRUE(level->m_rule != NULL);
        EXPECT_EQ(RULE_EQUALS, level->m_rule->m_kind);
        EXPECT_EQ(0, level->m_rule->m_first);
        EXPECT_STREQ(values[i], level->m_rule->m_value);
        EXPECT_EQ(IMAGE_STRETCH, level->m_imageMode);
        EXPECT_EQ(NULL, level->m_picture.get());
    }
    EXPECT_EQ(0x8080DCu, layout.GetLevel(4)->m_normal);
    EXPECT_EQ("%movie_have_seen_it = \"No\"", Text(layout.GetConditionText(2)));

    ASSERT_TRUE(HasDefaultItems(layout));
    const int32_t anchors[] = { -1, 0, 0, -1, 0, -1, -1 };
    const DWORD flags[] = { 0x870, 0x140, 0x240, 0x180, 0x840, 0x280, 0x880 };
    for (int i = 0; i < 7; i++) {
        const CLayoutSubItem* item = layout.GetItem(i);
        EXPECT_EQ(PLACE_ALIGNED, item->m_placement);
        EXPECT_EQ(anchors[i], item->m_hAnchor);
        EXPECT_EQ(-1, item->m_vAnchor);
        EXPECT_EQ(flags[i], item->m_flags);
        EXPECT_EQ(i == 0 ? ITEM_COVER : ITEM_TEXT, item->m_kind);
    }
    EXPECT_TRUE(layout.HasSoundAnchors());
}

TEST_F(ListLayoutTest, ExampleLevelsOnlyWhenNothingWasSavedInSolidMode)
{
    host.SetInt("bgs", 2);
    EXPECT_EQ(2, CListLayout().GetLevelCount());
    host.SetInt("bgs", 0);
    host.SetInt("solid_background", 0);
    CListLayout pictures;
    EXPECT_EQ(2, pictures.GetLevelCount());
    EXPECT_FALSE(pictures.m_solidBackground);
    host.SetInt("solid_background", 3);  // anything but 1 means pictures
    host.SetInt("3d_border", 0);
    CListLayout flat;
    EXPECT_FALSE(flat.m_solidBackground);
    EXPECT_FALSE(flat.m_3dBorder);
}

TEST_F(ListLayoutTest, AMissingRuleFileEndsTheLevels)
{
    CBackgroundRule rule;
    SetRule(&rule, RULE_EQUALS, "%movie_type", "DVD", 0);
    for (int n : { 3, 5, 6 })
        ASSERT_TRUE(rule.Save(host.Path("bg_def" + std::to_string(n) + ".dat").c_str()));
    host.SetInt("bgs", 6);
    EXPECT_EQ(3, CListLayout().GetLevelCount());

    // So does an unreadable one.
    host.WriteFile("bg_def4.dat", { '%', 'x', 0, RULE_EQUALS, 'a' });
    EXPECT_EQ(3, CListLayout().GetLevelCount());
    ASSERT_TRUE(rule.Save(host.Path("bg_def4.dat").c_str()));
    EXPECT_EQ(6, CListLayout().GetLevelCount());
}

TEST_F(ListLayoutTest, ProfileValuesAndTheirDefaults)
{
    host.SetInt("bgs", 2);
    host.SetInt("border_width", -3);
    host.SetInt("img_bg_mode1", 2);
    host.SetInt("img_bg_mode2", 258);  // kept as a byte: 2
    host.binaries["paintitem/color_normal1"] = { 1, 2, 3, 0 };
    host.binaries["paintitem/color_light1"] = { 1, 2, 3 };  // not 4 bytes: the default
    host.binaries["paintitem/flat_border_color"] = { 0x11, 0x22, 0x33, 0x44 };
    CListLayout layout;
    EXPECT_EQ(-3, layout.m_borderWidth);
    EXPECT_EQ(IMAGE_TILE, layout.GetLevel(0)->m_imageMode);
    EXPECT_EQ(IMAGE_TILE, layout.GetLevel(1)->m_imageMode);
    EXPECT_EQ(0x030201u, layout.GetLevel(0)->m_normal);
    EXPECT_EQ(0xFFFFE6u, layout.GetLevel(0)->m_light);
    EXPECT_EQ(0x44332211u, layout.m_flatBorderColor);
    host.SetInt("img_bg_mode1", 7);
    EXPECT_EQ(IMAGE_STRETCH, CListLayout().GetLevel(0)->m_imageMode);
}

// Every kind of element and every flag, fonts, colours, and levels with
// rules of every kind survive a save and a load.
TEST_F(ListLayoutTest, SaveAndLoadRoundTrip)
{
    CListLayout layout;
    layout.m_items.clear();
    layout.m_borderWidth = 2;
    layout.m_marginX = 7;
    layout.m_marginY = 0;
    layout.m_solidBackground = false;
    layout.m_3dBorder = false;
    layout.m_flatBorderColor = 0x00ABCDEF;

    CLayoutSubItem* cover = Add(layout, ITEM_COVER, PLACE_ALIGNED, 0x040 | 0x800, NULL);
    cover->m_width = 64;
    cover->m_height = 96;
    CLayoutSubItem* styled = Add(layout, ITEM_TEXT, PLACE_ALIGNED, 0x001 | 0x002 | 0x004 | 0x040 | 0x100,
                                 "%movie_name (%movie_year)", 0, -1);
    LOGFONTA font = MakeFont("Arial", -12);
    styled->SetFont(&font);
    styled->m_color = RGB(1, 2, 3);
    CLayoutSubItem* absolute = Add(layout, ITEM_TEMPLATE, PLACE_ABSOLUTE, 0x008 | 0x010 | 0x020, "[%movie_type]");
    absolute->m_x = 7;
    absolute->m_y = -3;
    absolute->m_width = 20;
    absolute->m_height = 30;
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, 0x001 | 0x080 | 0x200, "no font", 1, 0);  // flag without a font
    Add(layout, ITEM_COVER, PLACE_ALIGNED, 0x400 | 0x800, "kept", 1, 3);

    layout.GetLevel(0)->m_imageMode = IMAGE_TILE;
    layout.GetLevel(1)->m_normal = 0x010203;
    CBackgroundRule rule;
    SetRule(&rule, RULE_EQUALS, "%movie_type", "DVD", 1);
    layout.AddLevel(&rule);
    SetRule(&rule, RULE_LONGER_THAN, "%movie_plot", NULL, 100);
    layout.AddLevel(&rule);
    SetRule(&rule, RULE_NUMBER_RANGE, "%movie_year", NULL, -1, 2000);
    layout.AddLevel(&rule);
    SetRule(&rule, 7, "%movie_name", NULL, 0);
    layout.AddLevel(&rule);
    layout.RemoveLevel(0);  // the first example level
    layout.GetLevel(3)->m_light = 0x00FEDCBA;
    layout.Save();

    EXPECT_EQ(10, host.Int("bgs"));
    EXPECT_EQ(5, host.Int("subitems"));
    EXPECT_EQ(0, host.Int("solid_background"));
    EXPECT_EQ(2, host.Int("img_bg_mode1"));
    EXPECT_EQ((std::vector<BYTE>{ 0xEF, 0xCD, 0xAB, 0 }), host.binaries["paintitem/flat_border_color"]);
    EXPECT_EQ((std::vector<BYTE>{ 0xBA, 0xDC, 0xFE, 0 }), host.binaries["paintitem/color_light4"]);
    EXPECT_FALSE(host.Exists("subitems.dat.tmp"));

    CountingOwner owner;
    CListLayout loaded(&owner, &owner.picture);
    EXPECT_EQ(1, owner.rebuilds);
    EXPECT_EQ(2, loaded.m_borderWidth);
    EXPECT_EQ(7, loaded.m_marginX);
    EXPECT_EQ(0, loaded.m_marginY);
    EXPECT_FALSE(loaded.m_solidBackground);
    EXPECT_FALSE(loaded.m_3dBorder);
    EXPECT_EQ(0x00ABCDEFu, loaded.m_flatBorderColor);

    ASSERT_EQ(layout.GetLevelCount(), loaded.GetLevelCount());
    for (int32_t i = 0; i < layout.GetLevelCount(); i++) {
        const CLayoutLevel& a = *layout.GetLevel(i);
        const CLayoutLevel& b = *loaded.GetLevel(i);
        EXPECT_EQ(a.m_imageMode, b.m_imageMode) << i;
        EXPECT_EQ(a.m_light, b.m_light) << i;
        EXPECT_EQ(a.m_normal, b.m_normal) << i;
        EXPECT_EQ(a.m_dark, b.m_dark) << i;
        EXPECT_EQ(Text(layout.GetConditionText(i)), Text(loaded.GetConditionText(i))) << i;
    }
    EXPECT_EQ("\"DVD\"", Text(loaded.GetConditionText(6)).substr(14));
    EXPECT_EQ(1, loaded.GetLevel(6)->m_rule->m_first);
    EXPECT_EQ("-- error --", Text(loaded.GetConditionText(9)));

    ASSERT_EQ(5, loaded.GetItemCount());
    for (int32_t i = 0; i < 5; i++) {
        const CLayoutSubItem& a = *layout.GetItem(i);
        const CLayoutSubItem& b = *loaded.GetItem(i);
        EXPECT_EQ(a.m_kind == ITEM_TEMPLATE ? BYTE(ITEM_TEXT) : a.m_kind, b.m_kind) << i;
        EXPECT_EQ(a.m_placement, b.m_placement) << i;
        EXPECT_EQ(a.m_x, b.m_x) << i;
        EXPECT_EQ(a.m_y, b.m_y) << i;
        EXPECT_EQ(a.m_width, b.m_width) << i;
        EXPECT_EQ(a.m_height, b.m_height) << i;
        EXPECT_EQ(a.m_flags, b.m_flags) << i;
        EXPECT_TRUE(StrEqual(a.m_text, b.m_text)) << i;
        EXPECT_EQ(a.m_textLength, b.m_textLength) << i;
        EXPECT_EQ(a.m_hAnchor, b.m_hAnchor) << i;
        EXPECT_EQ(a.m_vAnchor, b.m_vAnchor) << i;
        EXPECT_EQ((a.m_flags & ITEM_CUSTOM_COLOR) ? a.m_color : 0u, b.m_color) << i;
        EXPECT_EQ((a.m_flags & ITEM_CUSTOM_FONT) && a.GetFont() != NULL, b.GetFont() != NULL) << i;
    }
    ASSERT_TRUE(loaded.GetItem(1)->GetFont() != NULL);
    EXPECT_EQ(0, memcmp(&font, loaded.GetItem(1)->GetFont(), sizeof font));
}

TEST_F(ListLayoutTest, RecordLayout)
{
    CListLayout layout;
    layout.m_items.clear();
    CLayoutSubItem* item = Add(layout, ITEM_TEXT, PLACE_ALIGNED, 0x004 | 0x001 | 0x040, "ab", 2, -1);
    layout.ShowTemplates();
    EXPECT_EQ(ITEM_TEMPLATE, item->m_kind);
    item->m_x = -1;
    item->m_color = RGB(10, 20, 30);
    layout.Save();
    const BYTE expected[] = {
        1, 0,                               // kind 3 is stored as 1; aligned
        0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, // x, y
        10, 0, 0, 0, 10, 0, 0, 0,           // width, height
        0x45, 0, 0, 0,                      // flags
        3, 0, 0, 0, 'a', 'b', 0,            // template with its NUL
        0, 0, 0, 0,                         // no font
        10, 20, 30,                         // red, green, blue
        2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, // anchors
    };
    EXPECT_EQ(std::vector<BYTE>(expected, expected + sizeof expected), host.ReadFile("subitems.dat"));
}

// A file cut anywhere, or any record that breaks the rules, gives the
// defaults; nothing crashes and nothing of the damaged file is kept.
TEST_F(ListLayoutTest, DamagedItemFilesGiveTheDefaults)
{
    CListLayout layout;
    layout.m_items.clear();
    LOGFONTA font = MakeFont("Tahoma", 9);
    Add(layout, ITEM_COVER, PLACE_ABSOLUTE, 0x020, NULL);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, 0x001 | 0x004 | 0x040, "%movie_name", 0, -1)->SetFont(&font);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, 0x100, "%movie_genre", -1, 1);
    SaveItems(layout);
    std::vector<BYTE> good = host.ReadFile("subitems.dat");
    ASSERT_EQ(3, CListLayout().GetItemCount());

    for (size_t n = 0; n < good.size(); n++) {
        host.WriteFile("subitems.dat", std::vector<BYTE>(good.begin(), good.begin() + n));
        CListLayout cut;
        ASSERT_TRUE(HasDefaultItems(cut)) << "cut at " << n;
    }

    // The count names more records than the file holds.
    host.WriteFile("subitems.dat", good);
    host.SetInt("subitems", 4);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));
    // Records beyond the count are not read.
    host.SetInt("subitems", 2);
    EXPECT_EQ(2, CListLayout().GetItemCount());
    host.SetInt("subitems", -1);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));
    host.SetInt("subitems", 3);

    // Damaged bytes of the first record, a cover: kind, placement, template
    // length, and a template without its NUL.
    const size_t kKind = 0, kPlacement = 1, kLength = 22;
    struct Patch {
        size_t offset;
        std::vector<BYTE> bytes;
    } patches[] = {
        { kKind, { 3 } },
        { kKind, { 0 } },
        { kKind, { 9 } },
        { kPlacement, { 2 } },
        { kLength, { 0xFF, 0xFF, 0xFF, 0xFF } },
        { kLength, { 0x01, 0x00, 0x01, 0x00 } },  // longer than any template may be
        { kLength, { 0x02, 0, 0, 0 } },           // eats two bytes of the next record
    };
    for (const Patch& patch : patches) {
        std::vector<BYTE> bad = good;
        std::copy(patch.bytes.begin(), patch.bytes.end(), bad.begin() + patch.offset);
        host.WriteFile("subitems.dat", bad);
        EXPECT_TRUE(HasDefaultItems(CListLayout())) << "offset " << patch.offset;
    }
}

TEST_F(ListLayoutTest, TemplatesAndFontBlocksAreChecked)
{
    CListLayout layout;
    layout.m_items.clear();
    // A text element must have a template; a cover may have one.
    Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, 0, NULL);
    SaveItems(layout);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));

    layout.m_items.clear();
    Add(layout, ITEM_COVER, PLACE_ABSOLUTE, ITEM_CUSTOM_FONT, "cover text");
    Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, 0, "x");
    SaveItems(layout);
    std::vector<BYTE> bytes = host.ReadFile("subitems.dat");
    {
        CListLayout loaded;
        ASSERT_EQ(2, loaded.GetItemCount());
        EXPECT_STREQ("cover text", loaded.GetItem(0)->m_text);
        EXPECT_EQ(ITEM_CUSTOM_FONT, loaded.GetItem(0)->m_flags);  // the flag stays without a font
        EXPECT_EQ(NULL, loaded.GetItem(0)->GetFont());
    }

    // Template "x" stored as 2 bytes "x\0"; make it "xy" with no NUL at all,
    // then "\0y" with its NUL too early.
    size_t second = bytes.size() - (26 + 2);
    ASSERT_EQ('x', bytes[second + 26]);
    std::vector<BYTE> bad = bytes;
    bad[second + 27] = 'y';
    host.WriteFile("subitems.dat", bad);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));
    bad = bytes;
    bad[second + 26] = 0;
    bad[second + 27] = 'y';
    host.WriteFile("subitems.dat", bad);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));

    // A font block of any length but 60 is passed over and gives no font.
    size_t fontLength = 26 + 11;
    bad = bytes;
    bad[fontLength] = 3;
    bad.insert(bad.begin() + fontLength + 4, { 'a', 'b', 'c' });
    host.WriteFile("subitems.dat", bad);
    {
        CListLayout loaded;
        ASSERT_EQ(2, loaded.GetItemCount());
        EXPECT_EQ(NULL, loaded.GetItem(0)->GetFont());
        EXPECT_STREQ("x", loaded.GetItem(1)->m_text);
    }
    bad[fontLength] = 0xF0;  // longer than the file
    host.WriteFile("subitems.dat", bad);
    EXPECT_TRUE(HasDefaultItems(CListLayout()));
}

TEST_F(ListLayoutTest, AnchorsMustHoldTogether)
{
    struct Case {
        const char* what;
        int32_t h0, v0, h1, v1;
        DWORD flags0, flags1;
        bool sound;
    } cases[] = {
        { "chain", -1, -1, 0, 0, ITEM_LEFT, ITEM_LEFT | ITEM_TOP, true },
        { "out of range", 2, -1, -1, -1, ITEM_LEFT, ITEM_LEFT, false },
        { "unused and out of range", -1, 5, -1, -1, ITEM_LEFT, ITEM_LEFT, false },
        { "below -1", -2, -1, -1, -1, ITEM_LEFT, 0, false },
        { "itself", 0, -1, -1, -1, ITEM_LEFT, 0, false },
        { "itself, unused", -1, 0, -1, -1, ITEM_LEFT, 0, false },
        { "cycle", 1, -1, 0, -1, ITEM_LEFT, ITEM_RIGHT, false },
        { "cycle across axes", 1, -1, -1, 0, ITEM_HCENTER, ITEM_BOTTOM, false },
        // An anchor without an alignment bit on its axis is not followed.
        { "anchor left from an old alignment", 1, -1, 0, -1, ITEM_LEFT, ITEM_TOP, true },
        { "no bits at all", 1, 1, 0, 0, 0, 0, true },
    };
    for (const Case& c : cases) {
        CListLayout layout;
        layout.m_items.clear();
        Add(layout, ITEM_TEXT, PLACE_ALIGNED, c.flags0, "a", c.h0, c.v0);
        Add(layout, ITEM_TEXT, PLACE_ALIGNED, c.flags1, "b", c.h1, c.v1);
        EXPECT_EQ(c.sound, layout.HasSoundAnchors()) << c.what;
        SaveItems(layout);
        CListLayout loaded;
        EXPECT_EQ(c.sound ? 2 : 7, loaded.GetItemCount()) << c.what;
    }

    // A longer cycle, and absolute elements whose anchors mean nothing.
    CListLayout layout;
    layout.m_items.clear();
    Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, ITEM_LEFT, "free", 0, 0);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_TOP, "a", -1, 2);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_LEFT, "b", 3, -1);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_VCENTER | ITEM_RIGHT, "c", 0, 1);
    EXPECT_FALSE(layout.HasSoundAnchors());
    layout.GetItem(3)->m_flags = ITEM_RIGHT;
    EXPECT_TRUE(layout.HasSoundAnchors());
}

// A write that fails leaves the design that was saved before.
TEST_F(ListLayoutTest, AFailedSaveKeepsTheSavedDesign)
{
    CListLayout layout;
    layout.m_items.resize(3);
    layout.Save();
    std::vector<BYTE> saved = host.ReadFile("subitems.dat");
    ASSERT_EQ(3, host.Int("subitems"));
    ASSERT_EQ(7, host.Int("bgs"));

    // The copy cannot be made: a folder stands where it would go.
    std::filesystem::create_directory(host.Path("subitems.dat.tmp"));
    std::filesystem::create_directory(host.Path("bg_def5.dat.tmp"));
    CListLayout changed;
    changed.m_items.resize(1);
    changed.GetLevel(4)->m_rule->m_kind = RULE_LONGER_THAN;
    changed.GetLevel(5)->m_normal = 0x123456;
    changed.Save();
    EXPECT_EQ(saved, host.ReadFile("subitems.dat"));
    EXPECT_EQ(3, host.Int("subitems"));
    // Levels up to the one whose rule could not be written.
    EXPECT_EQ(4, host.Int("bgs"));
    EXPECT_NE((std::vector<BYTE>{ 0x56, 0x34, 0x12, 0 }), host.binaries["paintitem/color_normal6"]);

    CListLayout loaded;
    EXPECT_EQ(3, loaded.GetItemCount());
    EXPECT_EQ(4, loaded.GetLevelCount());
}

TEST_F(ListLayoutTest, ALevelWithoutPictureLosesItsPictureFile)
{
    host.WriteFile("imgbg2.dat", { 'o', 'l', 'd' });
    host.WriteFile("imgbg9.dat", { 'o', 'l', 'd' });  // beyond the levels: left alone
    CListLayout layout;
    layout.Save();
    EXPECT_FALSE(host.Exists("imgbg2.dat"));
    EXPECT_TRUE(host.Exists("imgbg9.dat"));
}

TEST_F(ListLayoutTest, RemovingSelectedItems)
{
    CListLayout layout;
    layout.m_items.clear();
    CLayoutSubItem* early = Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_LEFT | ITEM_TOP, "early", 3, 4);
    CLayoutSubItem* gone = Add(layout, ITEM_COVER, PLACE_ALIGNED, ITEM_LEFT, NULL);
    CLayoutSubItem* loose = Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, 0, "loose", 1, 1);
    CLayoutSubItem* target = Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_RIGHT, "target");
    CLayoutSubItem* below = Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_TOP, "below", -1, 3);
    CLayoutSubItem* onGone = Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_LEFT, "on gone", 1, -1);

    EXPECT_FALSE(layout.RemoveSelectedItems(NULL));  // nothing selected
    EXPECT_EQ(0, host.messages);

    gone->m_selected = true;
    layout.m_selectedCount = 1;
    EXPECT_FALSE(layout.RemoveSelectedItems(NULL));
    EXPECT_EQ(6, layout.GetItemCount());
    EXPECT_EQ("1 object(s) a aligned to a item about to be removed. You have to change their "
              "alignment first.",
              host.lastMessage);
    EXPECT_EQ("Item error", host.lastCaption);

    // Removed together with the element aligned to it.
    onGone->m_selected = true;
    EXPECT_TRUE(layout.RemoveSelectedItems(NULL));
    EXPECT_EQ(0u, layout.m_selectedCount);
    ASSERT_EQ(4, layout.GetItemCount());
    EXPECT_EQ(early, layout.GetItem(0));
    EXPECT_EQ(loose, layout.GetItem(1));
    // Every anchor past the removed element follows it, also of earlier ones.
    EXPECT_EQ(target, layout.GetItem(early->m_hAnchor));
    EXPECT_EQ(below, layout.GetItem(early->m_vAnchor));
    EXPECT_EQ(target, layout.GetItem(below->m_vAnchor));
    // An unused anchor on the removed element is cleared.
    EXPECT_EQ(-1, loose->m_hAnchor);
    EXPECT_TRUE(layout.HasSoundAnchors());
}

// Sorting puts every anchor in use before the elements aligned to it and
// keeps each anchor on the element it named.
TEST_F(ListLayoutTest, SortingByAnchor)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; round++) {
        CListLayout layout;
        layout.m_items.clear();
        int count = 1 + int(random() % 12);
        // Anchors point to earlier elements only, so there is no cycle...
        for (int i = 0; i < count; i++) {
            int32_t h = i > 0 && random() % 3 ? int32_t(random() % i) : -1;
            int32_t v = i > 0 && random() % 3 ? int32_t(random() % i) : -1;
            DWORD flags = (random() % 2 ? DWORD(ITEM_LEFT) : 0u) | (random() % 2 ? DWORD(ITEM_BOTTOM) : 0u);
            BYTE placement = random() % 5 ? PLACE_ALIGNED : PLACE_ABSOLUTE;
            Add(layout, ITEM_TEXT, placement, flags, std::to_string(i).c_str(), h, v);
        }
        // ...until the elements are shuffled.
        for (int i = count - 1; i > 0; i--) {
            int j = int(random() % (i + 1));
            std::swap(layout.m_items[size_t(i)], layout.m_items[size_t(j)]);
            layout.SwapLinks(i, j);
        }
        std::vector<std::string> named(size_t(count) * 2);
        auto names = [&](std::vector<std::string>* out) {
            for (int i = 0; i < count; i++) {
                const CLayoutSubItem& item = *layout.GetItem(i);
                (*out)[size_t(atoi(item.m_text)) * 2] = item.m_hAnchor < 0 ? "-" : layout.GetItem(item.m_hAnchor)->m_text;
                (*out)[size_t(atoi(item.m_text)) * 2 + 1] = item.m_vAnchor < 0 ? "-" : layout.GetItem(item.m_vAnchor)->m_text;
            }
        };
        names(&named);
        ASSERT_TRUE(layout.HasSoundAnchors());

        layout.SortItemsByAnchor();
        std::vector<std::string> after(named.size());
        names(&after);
        EXPECT_EQ(named, after) << "round " << round;
        bool freeOnes = true;
        for (int i = 0; i < count; i++) {
            const CLayoutSubItem& item = *layout.GetItem(i);
            bool free = !item.HasHorizontalAlignment() && !item.HasVerticalAlignment();
            EXPECT_TRUE(!free || freeOnes) << "round " << round << ": free elements come first";
            freeOnes = freeOnes && free;
            if (item.HasHorizontalAlignment()) {
                EXPECT_LT(item.m_hAnchor, i) << "round " << round;
            }
            if (item.HasVerticalAlignment()) {
                EXPECT_LT(item.m_vAnchor, i) << "round " << round;
            }
        }
    }

    // A cycle (which no editor makes) is left alone instead of looping.
    CListLayout layout;
    layout.m_items.clear();
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_LEFT, "a", 1, -1);
    Add(layout, ITEM_TEXT, PLACE_ALIGNED, ITEM_LEFT, "b", 0, -1);
    layout.SortItemsByAnchor();
    EXPECT_STREQ("a", layout.GetItem(0)->m_text);
}

TEST_F(ListLayoutTest, ConditionTexts)
{
    CListLayout layout;
    while (layout.GetLevelCount() > 2)
        layout.RemoveLevel(0);
    CBackgroundRule rule;
    SetRule(&rule, RULE_EQUALS, "%movie_type", "DVD", 1);
    layout.AddLevel(&rule);
    SetRule(&rule, RULE_LONGER_THAN, "%movie_plot", NULL, 100);
    layout.AddLevel(&rule);
    SetRule(&rule, RULE_NUMBER_RANGE, "%movie_year", NULL, -1, 2000);
    layout.AddLevel(&rule);
    SetRule(&rule, RULE_NONE, NULL, NULL, 0);
    layout.AddLevel(&rule);
    layout.AddLevel(NULL);  // nothing happens
    ASSERT_EQ(6, layout.GetLevelCount());
    EXPECT_EQ("normal", Text(layout.GetConditionText(0)));
    EXPECT_EQ("select", Text(layout.GetConditionText(1)));
    EXPECT_EQ("%movie_type = \"DVD\"", Text(layout.GetConditionText(2)));
    EXPECT_EQ("length(%movie_plot) > 100", Text(layout.GetConditionText(3)));
    EXPECT_EQ("-1 < number(%movie_year) < 2000", Text(layout.GetConditionText(4)));
    EXPECT_EQ("-- error --", Text(layout.GetConditionText(5)));
    EXPECT_EQ(NULL, layout.GetConditionText(6));
    EXPECT_EQ(NULL, layout.GetConditionText(-1));
    layout.GetLevel(5)->m_rule.reset();
    EXPECT_EQ(NULL, layout.GetConditionText(5));

    // A new level's colours.
    EXPECT_EQ(0xFFFFFFu, layout.GetLevel(2)->m_light);
    EXPECT_EQ(0x808080u, layout.GetLevel(2)->m_normal);
    EXPECT_EQ(0x404040u, layout.GetLevel(2)->m_dark);
}

// Moving and removing levels keeps each level's colours, mode, picture and
// rule together, and the order decides which rule a box takes.
TEST_F(ListLayoutTest, LevelEditingKeepsLevelsWhole)
{
    CListLayout layout;  // normal, select and the five examples
    CMovie dvd;
    StrSet(&dvd.m_mediaTypeName, "DVD");
    dvd.m_seen = 0;
    EXPECT_EQ(2, layout.ChooseLevel(&dvd, false));  // "not seen" comes first
    EXPECT_EQ(1, layout.ChooseLevel(&dvd, true));
    dvd.m_seen = 1;
    EXPECT_EQ(4, layout.ChooseLevel(&dvd, false));

    COlePicture* picture = new COlePicture;
    layout.GetLevel(4)->m_picture.reset(picture);
    layout.GetLevel(4)->m_imageMode = IMAGE_TILE;
    const CBackgroundRule* dvdRule = layout.GetLevel(4)->m_rule.get();

    layout.SwapLevels(4, 2);
    EXPECT_EQ(dvdRule, layout.GetLevel(2)->m_rule.get());
    EXPECT_EQ(picture, layout.GetLevel(2)->m_picture.get());
    EXPECT_EQ(IMAGE_TILE, layout.GetLevel(2)->m_imageMode);
    EXPECT_EQ(0x8080DCu, layout.GetLevel(2)->m_normal);
    EXPECT_EQ("%movie_have_seen_it = \"No\"", Text(layout.GetConditionText(4)));
    dvd.m_seen = 0;
    EXPECT_EQ(2, layout.ChooseLevel(&dvd, false));  // the DVD rule now comes first

    // The fixed levels never move, and indices out of range do nothing.
    for (int32_t a : { 0, 1, 7, -1 })
        layout.SwapLevels(a, 3);
    EXPECT_EQ(dvdRule, layout.GetLevel(2)->m_rule.get());
    EXPECT_EQ(0xFAF7DDu, layout.GetLevel(0)->m_normal);

    layout.RemoveLevel(0);  // level 3, the DVD level
    ASSERT_EQ(6, layout.GetLevelCount());
    EXPECT_EQ("%movie_type = \"DVDrip (DivX)\"", Text(layout.GetConditionText(2)));
    EXPECT_EQ(0xDDFADDu, layout.GetLevel(2)->m_normal);
    layout.RemoveLevel(4);
    layout.RemoveLevel(-1);
    EXPECT_EQ(6, layout.GetLevelCount());
    EXPECT_EQ(3, layout.ChooseLevel(&dvd, false));

    // The whole design survives a save with the levels in their new order.
    layout.Save();
    CListLayout loaded;
    ASSERT_EQ(6, loaded.GetLevelCount());
    for (int32_t i = 0; i < 6; i++) {
        EXPECT_EQ(Text(layout.GetConditionText(i)), Text(loaded.GetConditionText(i)));
        EXPECT_EQ(layout.GetLevel(i)->m_normal, loaded.GetLevel(i)->m_normal);
    }
}

TEST_F(ListLayoutTest, HitTestTakesTheFirstElementUnderThePoint)
{
    CListLayout layout;
    layout.m_items.clear();
    CLayoutSubItem* a = Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, 0, "a");
    CLayoutSubItem* b = Add(layout, ITEM_TEXT, PLACE_ABSOLUTE, 0, "b");
    a->m_marginBox = { 0, 0, 10, 10 };
    b->m_marginBox = { 5, 5, 20, 20 };
    EXPECT_EQ(a, layout.HitTest({ 5, 5 }));
    EXPECT_EQ(b, layout.HitTest({ 10, 10 }));
    EXPECT_EQ(b, layout.HitTest({ 19, 5 }));
    EXPECT_EQ(NULL, layout.HitTest({ 20, 19 }));
    EXPECT_EQ(NULL, layout.HitTest({ -1, 0 }));

    a->m_selected = b->m_selected = true;
    layout.ClearSelection();
    EXPECT_FALSE(a->m_selected || b->m_selected);
}

TEST_F(ListLayoutTest, CopiesAreDeepFontIncluded)
{
    CListLayout layout;
    CLayoutSubItem* source = layout.GetItem(1);
    LOGFONTA font = MakeFont("Courier New", -20);
    source->SetFont(&font);
    CLayoutSubItem copy;
    copy.CopyFrom(*source);
    EXPECT_STREQ(source->m_text, copy.m_text);
    EXPECT_NE(source->m_text, copy.m_text);
    EXPECT_EQ(source->m_flags, copy.m_flags);
    EXPECT_EQ(source->m_hAnchor, copy.m_hAnchor);
    ASSERT_TRUE(copy.GetFont() != NULL);
    EXPECT_NE(source->GetFont(), copy.GetFont());
    EXPECT_EQ(0, memcmp(&font, copy.GetFont(), sizeof font));
    source->SetFont(NULL);
    copy.CopyFrom(*source);
    EXPECT_EQ(NULL, copy.GetFont());

    // An element the editor made and then dropped.
    CLayoutSubItem* fresh = layout.NewItem();
    EXPECT_EQ(-1, fresh->m_hAnchor);
    layout.DeleteItem(&fresh);
    EXPECT_EQ(NULL, fresh);
    EXPECT_EQ(7, layout.GetItemCount());
}

TEST_F(ListLayoutTest, WithoutHostTheDefaultsApplyAndNothingIsWritten)
{
    SetLayoutHost(NULL);
    CListLayout layout;
    EXPECT_EQ(7, layout.GetLevelCount());
    EXPECT_TRUE(HasDefaultItems(layout));
    layout.Save();
    EXPECT_FALSE(host.Exists("subitems.dat"));
    SetLayoutHost(&host);
}

} // namespace
