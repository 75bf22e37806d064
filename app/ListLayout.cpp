#include "app/ListLayout.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "app/LayoutHost.h"
#include "app/SafeFileWriter.h"
#include "core/StrUtil.h"

namespace {

const char kSection[] = "paintitem";
const char kItemsFile[] = "subitems.dat";

// Colours of a level: light, normal, dark.
struct LevelColors {
    COLORREF light;
    COLORREF normal;
    COLORREF dark;
};

const LevelColors kNormalColors = { 0xFFFFE6, 0xFAF7DD, 0x7A7861 };
const LevelColors kSelectColors = { 0xAAD8FF, 0x759FFF, 0x2C4EC7 };
const LevelColors kConditionalColors = { 0xFFFFFF, 0x808080, 0x000000 };

// The example levels of a first start, each an equals rule that ignores case.
struct ExampleLevel {
    const char* text;
    const char* value;
    LevelColors colors;
};

const ExampleLevel kExampleLevels[] = {
    { "%movie_have_seen_it", "No", { 0xE6FFFF, 0xDDF7FA, 0x61787A } },
    { "%movie_type", "DVDrip (DivX)", { 0xE6FFE6, 0xDDFADD, 0x617A61 } },
    { "%movie_type", "DVD", { 0xC8C8FF, 0x8080DC, 0x202064 } },
    { "%movie_type", "SVCD", { 0xF2E6FF, 0xF0DDFA, 0x6E617A } },
    { "%movie_type", "VCD", { 0xFFE6F2, 0xFADDF0, 0x7A616E } },
};

// The elements of a first start: a cover on the left, texts beside it.
struct DefaultItem {
    BYTE kind;
    const char* text;
    int32_t hAnchor;
    int32_t width;
    int32_t height;
    DWORD flags;
};

const DefaultItem kDefaultItems[] = {
    { ITEM_COVER, NULL, -1, 64, 96, 0x870 },
    { ITEM_TEXT, "%movie_name (%movie_year)", 0, 10, 10, 0x140 },
    { ITEM_TEXT, "With: %movie_actor1_name, %movie_actor2_name, %movie_actor3_name", 0, 10, 10, 0x240 },
    { ITEM_TEXT, "[%movie_type]", -1, 10, 10, 0x180 },
    { ITEM_TEXT, "Genre: %movie_genre", 0, 10, 10, 0x840 },
    { ITEM_TEXT, "Length: %movie_length_hourh %movie_length_minm", -1, 10, 10, 0x280 },
    { ITEM_TEXT, "Rate: %movie_rate2.1", -1, 10, 10, 0x880 },
};

std::string LevelKey(const char* name, int32_t level)
{
    char key[48];
    snprintf(key, sizeof key, "%s%ld", name, long(level));
    return key;
}

std::string LevelFile(const std::string& folder, const char* name, int32_t level)
{
    char file[48];
    snprintf(file, sizeof file, "%s%ld.dat", name, long(level));
    return folder + file;
}

int ReadInt(ILayoutHost* host, const char* entry, int defaultValue)
{
    return host != NULL ? host->GetProfileInt(kSection, entry, defaultValue) : defaultValue;
}

// A colour is taken only when exactly its 4 bytes come back.
COLORREF ReadColor(ILayoutHost* host, const char* entry, COLORREF defaultValue)
{
    std::vector<BYTE> data;
    if (host == NULL || !host->GetProfileBinary(kSection, entry, &data) || data.size() != 4)
        return defaultValue;
    return DWORD(data[0]) | (DWORD(data[1]) << 8) | (DWORD(data[2]) << 16) | (DWORD(data[3]) << 24);
}

void WriteColor(ILayoutHost* host, const char* entry, COLORREF color)
{
    BYTE data[4] = { BYTE(color), BYTE(color >> 8), BYTE(color >> 16), BYTE(color >> 24) };
    host->WriteProfileBinary(kSection, entry, data, 4);
}

bool Refers(int32_t anchor, int32_t index)
{
    return anchor >= 0 && anchor == index;
}

} // namespace

#ifdef _WIN32
void CLevelBackground::Release()
{
    if (m_dc != NULL) {
        if (m_oldBitmap != NULL)
            SelectObject(m_dc, m_oldBitmap);
        DeleteDC(m_dc);
    }
    if (m_bitmap != NULL)
        DeleteObject(m_bitmap);
    m_dc = NULL;
    m_bitmap = NULL;
    m_oldBitmap = NULL;
}
#endif

CListLayout::CListLayout(IListLayoutOwner* owner, COlePicture* defaultCover)
    : m_solidBackground(true), m_3dBorder(true), m_borderWidth(5), m_marginX(5), m_marginY(5),
      m_flatBorderColor(0), m_cachedWidth(0), m_cachedHeight(0), m_selectedCount(0),
      m_owner(owner), m_defaultCover(defaultCover)
{
    if (m_defaultCover == NULL && m_owner != NULL)
        m_defaultCover = m_owner->GetDefaultPicture();
    m_levels.emplace_back(new CLayoutLevel(kNormalColors.light, kNormalColors.normal, kNormalColors.dark));
    m_levels.emplace_back(new CLayoutLevel(kSelectColors.light, kSelectColors.normal, kSelectColors.dark));
    Load();
}

CListLayout::~CListLayout()
{
}

CLayoutLevel* CListLayout::GetLevel(int32_t index) const
{
    return index >= 0 && index < GetLevelCount() ? m_levels[size_t(index)].get() : NULL;
}

CLayoutSubItem* CListLayout::GetItem(int32_t index) const
{
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].get() : NULL;
}

int32_t CListLayout::IndexOfItem(const CLayoutSubItem* item) const
{
    for (size_t i = 0; i < m_items.size(); i++) {
        if (m_items[i].get() == item)
            return int32_t(i);
    }
    return -1;
}

bool CListLayout::Load()
{
    ILayoutHost* host = GetLayoutHost();
    m_borderWidth = ReadInt(host, "border_width", 5);
    m_marginX = ReadInt(host, "margin_x", 5);
    m_marginY = ReadInt(host, "margin_y", 5);
    m_solidBackground = ReadInt(host, "solid_background", 1) == 1;
    m_3dBorder = ReadInt(host, "3d_border", 1) == 1;
    LoadLevels();
    LoadItems();
    m_cachedWidth = 0;
    m_cachedHeight = 0;
    if (m_owner != NULL)
        m_owner->RebuildBoxes();
    return true;
}

void CListLayout::LoadLevels()
{
    ILayoutHost* host = GetLayoutHost();
    std::string folder = host != NULL ? host->GetFolder() : std::string();
    m_levels.clear();

    int stored = ReadInt(host, "bgs", 0);
    m_flatBorderColor = ReadColor(host, "flat_border_color", 0);
    bool neverSaved = stored == 0;
    // The levels are read one after another, so a huge stored count costs
    // nothing: the first conditional level without its rule file ends it.
    int64_t count = stored < 2 ? 2 : stored;
    for (int32_t n = 1; n <= count; n++) {
        const LevelColors& defaults = n == 1 ? kNormalColors : n == 2 ? kSelectColors : kConditionalColors;
        std::unique_ptr<CLayoutLevel> level(new CLayoutLevel(
            ReadColor(host, LevelKey("color_light", n).c_str(), defaults.light),
            ReadColor(host, LevelKey("color_normal", n).c_str(), defaults.normal),
            ReadColor(host, LevelKey("color_dark", n).c_str(), defaults.dark)));
        BYTE mode = BYTE(ReadInt(host, LevelKey("img_bg_mode", n).c_str(), IMAGE_STRETCH));
        level->m_imageMode = mode == IMAGE_TILE ? IMAGE_TILE : IMAGE_STRETCH;
        if (host != NULL) {
            level->m_picture.reset(new COlePicture);
            if (!level->m_picture->LoadFromFile(LevelFile(folder, "imgbg", n).c_str()))
                level->m_picture.reset();
        }
        if (n >= 3) {
            // A level without a readable rule ends the levels.
            level->m_rule.reset(new CBackgroundRule);
            if (host == NULL || !level->m_rule->Load(LevelFile(folder, "bg_def", n).c_str()))
                break;
        }
        m_levels.push_back(std::move(level));
    }

    if (neverSaved && m_levels.size() == 2 && m_solidBackground) {
        for (const ExampleLevel& example : kExampleLevels) {
            std::unique_ptr<CLayoutLevel> level(new CLayoutLevel(
                example.colors.light, example.colors.normal, example.colors.dark));
            level->m_rule.reset(new CBackgroundRule);
            level->m_rule->m_kind = RULE_EQUALS;
            StrSet(&level->m_rule->m_template, example.text);
            StrSet(&level->m_rule->m_value, example.value);
            level->m_rule->m_first = 0;
            m_levels.push_back(std::move(level));
        }
    }
}

void CListLayout::LoadItems()
{
    ILayoutHost* host = GetLayoutHost();
    m_items.clear();
    m_selectedCount = 0;
    int stored = ReadInt(host, "subitems", 0);
    FILE* f = host != NULL && stored > 0 ? fopen((host->GetFolder() + kItemsFile).c_str(), "rb") : NULL;
    if (f != NULL) {
        // Every record must read, and the anchors must hold together;
        // anything else is a damaged file and gives the defaults.
        for (int i = 0; i < stored; i++) {
            std::unique_ptr<CLayoutSubItem> item(new CLayoutSubItem);
            if (!item->Load(f)) {
                m_items.clear();
                break;
            }
            m_items.push_back(std::move(item));
        }
        fclose(f);
        if (!HasSoundAnchors())
            m_items.clear();
    }
    if (m_items.empty())
        AddDefaultItems();
}

void CListLayout::AddDefaultItems()
{
    for (const DefaultItem& def : kDefaultItems) {
        CLayoutSubItem* item = NewItem();
        DWORD length = def.text != NULL ? DWORD(strlen(def.text) + 1) : 0;
        item->Set(def.kind, PLACE_ALIGNED, def.hAnchor, -1, 0, 0, def.width, def.height,
                  def.flags, def.text, length, 0);
    }
}

void CListLayout::Save()
{
    ILayoutHost* host = GetLayoutHost();
    if (host == NULL)
        return;
    std::string folder = host->GetFolder();
    host->WriteProfileInt(kSection, "border_width", m_borderWidth);
    host->WriteProfileInt(kSection, "margin_x", m_marginX);
    host->WriteProfileInt(kSection, "margin_y", m_marginY);
    host->WriteProfileInt(kSection, "solid_background", m_solidBackground ? 1 : 0);
    host->WriteProfileInt(kSection, "3d_border", m_3dBorder ? 1 : 0);
    WriteColor(host, "flat_border_color", m_flatBorderColor);

    // The level files first; the level count names only levels whose files
    // were written. A level without a picture loses its picture file, so
    // that it never shows a picture another level left under that number.
    int32_t saved = 0;
    for (int32_t n = 1; n <= GetLevelCount(); n++) {
        const CLayoutLevel& level = *m_levels[size_t(n - 1)];
        std::string picture = LevelFile(folder, "imgbg", n);
        if (level.m_picture == NULL || !level.m_picture->SaveToFile(picture.c_str()))
            remove(picture.c_str());
        if (n >= 3) {
            CBackgroundRule none;
            const CBackgroundRule* rule = level.m_rule ? level.m_rule.get() : &none;
            if (!rule->Save(LevelFile(folder, "bg_def", n).c_str()))
                break;
        }
        host->WriteProfileInt(kSection, LevelKey("img_bg_mode", n).c_str(), level.m_imageMode);
        WriteColor(host, LevelKey("color_normal", n).c_str(), level.m_normal);
        WriteColor(host, LevelKey("color_light", n).c_str(), level.m_light);
        WriteColor(host, LevelKey("color_dark", n).c_str(), level.m_dark);
        saved = n;
    }
    host->WriteProfileInt(kSection, "bgs", saved);

    // The elements replace the old file only when all of them were written,
    // and only then does the count change.
    CSafeFileWriter writer;
    FILE* f = writer.Open((folder + kItemsFile).c_str());
    if (f == NULL)
        return;
    bool ok = true;
    for (size_t i = 0; i < m_items.size() && ok; i++)
        ok = m_items[i]->Save(f);
    if (ok && writer.Commit())
        host->WriteProfileInt(kSection, "subitems", GetItemCount());
}

CLayoutSubItem* CListLayout::HitTest(POINT point) const
{
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items) {
        const RECT& box = item->m_marginBox;
        if (point.x >= box.left && point.x < box.right && point.y >= box.top && point.y < box.bottom)
            return item.get();
    }
    return NULL;
}

void CListLayout::ClearSelection()
{
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items)
        item->m_selected = false;
    m_selectedCount = 0;
}

bool CListLayout::RemoveSelectedItems(HWND parent)
{
    int32_t count = GetItemCount();
    bool any = false;
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items)
        any = any || item->m_selected;
    if (!any)
        return false;

    long aligned = 0;
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items) {
        if (item->m_selected || !item->IsAligned())
            continue;
        bool toSelected = false;
        for (int32_t anchor : { item->m_hAnchor, item->m_vAnchor }) {
            if (anchor >= 0 && anchor < count && m_items[size_t(anchor)]->m_selected)
                toSelected = true;
        }
        if (toSelected)
            aligned++;
    }
    if (aligned > 0) {
        char text[160];
        snprintf(text, sizeof text,
                 "%ld object(s) a aligned to a item about to be removed. You have to change "
                 "their alignment first.",
                 aligned);
        ILayoutHost* host = GetLayoutHost();
        if (host != NULL)
            host->ShowStopMessage(parent, text, "Item error");
        return false;
    }

    // Every anchor past a removed element moves down with the elements;
    // one left on the removed element itself (an unused anchor) is cleared.
    for (int32_t i = 0; i < GetItemCount();) {
        if (!m_items[size_t(i)]->m_selected) {
            i++;
            continue;
        }
        m_items.erase(m_items.begin() + i);
        for (const std::unique_ptr<CLayoutSubItem>& item : m_items) {
            for (int32_t* anchor : { &item->m_hAnchor, &item->m_vAnchor }) {
                if (*anchor > i)
                    (*anchor)--;
                else if (Refers(*anchor, i))
                    *anchor = -1;
            }
        }
    }
    m_selectedCount = 0;
    return true;
}

CLayoutSubItem* CListLayout::NewItem()
{
    m_items.emplace_back(new CLayoutSubItem);
    return m_items.back().get();
}

void CListLayout::DeleteItem(CLayoutSubItem** item)
{
    if (item == NULL || *item == NULL)
        return;
    const int32_t index = IndexOfItem(*item);
    if (index >= 0)
        m_items.erase(m_items.begin() + index);
    *item = NULL;
}

void CListLayout::ShowTemplates()
{
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items) {
        if (item->m_kind == ITEM_TEXT)
            item->m_kind = ITEM_TEMPLATE;
    }
}

void CListLayout::SwapLinks(int32_t a, int32_t b)
{
    for (const std::unique_ptr<CLayoutSubItem>& item : m_items) {
        for (int32_t* anchor : { &item->m_hAnchor, &item->m_vAnchor }) {
            if (*anchor == a)
                *anchor = b;
            else if (*anchor == b)
                *anchor = a;
        }
    }
}

void CListLayout::SwapItems(int32_t a, int32_t b)
{
    std::swap(m_items[size_t(a)], m_items[size_t(b)]);
    SwapLinks(a, b);
}

int32_t CListLayout::GetAnchorInUse(int32_t index, int axis) const
{
    const CLayoutSubItem& item = *m_items[size_t(index)];
    if (axis == 0)
        return item.HasHorizontalAlignment() ? item.m_hAnchor : -1;
    return item.HasVerticalAlignment() ? item.m_vAnchor : -1;
}

bool CListLayout::HasSoundAnchors() const
{
    int32_t count = GetItemCount();
    for (int32_t i = 0; i < count; i++) {
        const CLayoutSubItem& item = *m_items[size_t(i)];
        if (!item.IsAligned())
            continue;
        for (int32_t anchor : { item.m_hAnchor, item.m_vAnchor }) {
            if (anchor != -1 && (anchor < 0 || anchor >= count || anchor == i))
                return false;
        }
    }

    // Depth-first over the anchors in use; meeting an element that is still
    // on the path closes a cycle.
    enum { UNSEEN, ON_PATH, DONE };
    std::vector<BYTE> state(size_t(count), UNSEEN);
    std::vector<std::pair<int32_t, int>> path;  // element, next axis to follow (2: both followed)
    for (int32_t start = 0; start < count; start++) {
        if (state[size_t(start)] != UNSEEN)
            continue;
        state[size_t(start)] = ON_PATH;
        path.push_back(std::make_pair(start, 0));
        while (!path.empty()) {
            std::pair<int32_t, int>& top = path.back();
            if (top.second == 2) {
                state[size_t(top.first)] = DONE;
                path.pop_back();
                continue;
            }
            const int32_t next = GetAnchorInUse(top.first, top.second++);
            if (next < 0)
                continue;
            if (state[size_t(next)] == ON_PATH)
                return false;
            if (state[size_t(next)] == UNSEEN) {
                state[size_t(next)] = ON_PATH;
                path.push_back(std::make_pair(next, 0));
            }
        }
    }
    return true;
}

void CListLayout::SortItemsByAnchor()
{
    // The passes below end only when the anchors form no cycle.
    if (!HasSoundAnchors())
        return;
    int32_t count = GetItemCount();

    // Elements placed by themselves go first.
    int32_t front = 0;
    for (int32_t i = 0; i < count; i++) {
        const CLayoutSubItem& item = *m_items[size_t(i)];
        if (!item.HasHorizontalAlignment() && !item.HasVerticalAlignment()) {
            if (i != front)
                SwapItems(i, front);
            front++;
        }
    }

    // Then every element that lies before one of its anchors changes places
    // with it, until none does.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int32_t i = front; i < count && !swapped; i++) {
            const CLayoutSubItem& item = *m_items[size_t(i)];
            int32_t later = -1;
            if (item.HasHorizontalAlignment() && item.m_hAnchor > i)
                later = item.m_hAnchor;
            else if (item.HasVerticalAlignment() && item.m_vAnchor > i)
                later = item.m_vAnchor;
            if (later >= 0) {
                SwapItems(i, later);
                swapped = true;
            }
        }
    }
}

char* CListLayout::GetConditionText(int32_t level) const
{
    char* text = NULL;
    if (level == LEVEL_NORMAL) {
        StrSet(&text, "normal");
    } else if (level == LEVEL_SELECT) {
        StrSet(&text, "select");
    } else if (level > LEVEL_SELECT && level < GetLevelCount() && m_levels[size_t(level)]->m_rule) {
        const CBackgroundRule& rule = *m_levels[size_t(level)]->m_rule;
        const char* expression = rule.m_template != NULL ? rule.m_template : "";
        switch (rule.m_kind) {
        case RULE_EQUALS:
            StrAppendFormat(&text, "%s = \"%s\"", expression, rule.m_value != NULL ? rule.m_value : "");
            break;
        case RULE_LONGER_THAN:
            StrAppendFormat(&text, "length(%s) > %ld", expression, long(rule.m_first));
            break;
        case RULE_NUMBER_RANGE:
            StrAppendFormat(&text, "%ld < number(%s) < %ld", long(rule.m_first), expression,
                            long(rule.m_second));
            break;
        default:
            StrSet(&text, "-- error --");
            break;
        }
    }
    return text;
}

int32_t CListLayout::ChooseLevel(const CMovie* movie, bool selected) const
{
    if (selected)
        return LEVEL_SELECT;
    for (int32_t i = LEVEL_FIRST_CONDITIONAL; i < GetLevelCount(); i++) {
        const CBackgroundRule* rule = m_levels[size_t(i)]->m_rule.get();
        if (rule != NULL && rule->Matches(movie))
            return i;
    }
    return LEVEL_NORMAL;
}

void CListLayout::AddLevel(const CBackgroundRule* rule)
{
    if (rule == NULL)
        return;
    std::unique_ptr<CLayoutLevel> level(new CLayoutLevel(0xFFFFFF, 0x808080, 0x404040));
    level->m_rule.reset(new CBackgroundRule);
    level->m_rule->CopyFrom(rule);
    m_levels.push_back(std::move(level));
}

void CListLayout::RemoveLevel(int32_t index)
{
    int32_t level = index + LEVEL_FIRST_CONDITIONAL;
    if (index < 0 || level >= GetLevelCount())
        return;
    m_levels.erase(m_levels.begin() + level);
}

void CListLayout::SwapLevels(int32_t a, int32_t b)
{
    if (a < LEVEL_FIRST_CONDITIONAL || b < LEVEL_FIRST_CONDITIONAL || a >= GetLevelCount() ||
        b >= GetLevelCount())
        return;
    std::swap(m_levels[size_t(a)], m_levels[size_t(b)]);
}
