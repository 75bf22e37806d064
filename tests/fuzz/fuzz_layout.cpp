// Loads the listing layout from hostile files: the first byte is the stored
// element count, the second the stored level count, the third the length of
// the rule file of level 3; the rest is "subitems.dat". Whatever loads must
// hold together (anchors in range and without cycles), sort without
// looping, and what came from the file must read back the same after a save.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/ListLayout.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/StrUtil.h"
#include "tests/app/LayoutTestHost.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

bool SameItem(const CLayoutSubItem& a, const CLayoutSubItem& b)
{
    bool sameFont = (a.GetFont() == NULL) == (b.GetFont() == NULL) &&
                    (a.GetFont() == NULL || memcmp(a.GetFont(), b.GetFont(), sizeof(LOGFONTA)) == 0);
    bool aligned = a.m_placement == PLACE_ALIGNED;
    return a.m_kind == b.m_kind && a.m_placement == b.m_placement && a.m_x == b.m_x &&
           a.m_y == b.m_y && a.m_width == b.m_width && a.m_height == b.m_height &&
           a.m_flags == b.m_flags && StrEqual(a.m_text, b.m_text) &&
           (!aligned || (a.m_hAnchor == b.m_hAnchor && a.m_vAnchor == b.m_vAnchor)) &&
           (!(a.m_flags & ITEM_CUSTOM_COLOR) || a.m_color == b.m_color) &&
           (!(a.m_flags & ITEM_CUSTOM_FONT) || sameFont);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One folder for the whole run, removed at exit.
    static CTestLayoutHost folder;
    CTestLayoutHost* host = &folder;
    SetErrorBoxRecording(true);
    if (size < 3)
        return 0;
    host->ints.clear();
    host->binaries.clear();
    host->SetInt("subitems", data[0] & 0x3F);
    host->SetInt("bgs", data[1] % 5);
    size_t ruleLength = data[2] < size - 3 ? data[2] : size - 3;
    host->WriteFile("bg_def3.dat", std::vector<BYTE>(data + 3, data + 3 + ruleLength));
    host->WriteFile("subitems.dat", std::vector<BYTE>(data + 3 + ruleLength, data + size));
    remove(host->Path("bg_def4.dat").c_str());

    CListLayout layout;
    Check(layout.GetLevelCount() >= 2 && layout.GetItemCount() > 0);
    Check(layout.HasSoundAnchors());
    layout.SortItemsByAnchor();
    Check(layout.HasSoundAnchors());
    for (int32_t i = 0; i < layout.GetItemCount(); i++) {
        const CLayoutSubItem& item = *layout.GetItem(i);
        Check(!item.HasHorizontalAlignment() || item.m_hAnchor < i);
        Check(!item.HasVerticalAlignment() || item.m_vAnchor < i);
    }

    CMovie movie;
    StrSet(&movie.m_title, "Fuzz");
    StrSet(&movie.m_mediaTypeName, "DVD");
    int32_t level = layout.ChooseLevel(&movie, false);
    Check(level >= 0 && level < layout.GetLevelCount());
    for (int32_t i = 0; i <= layout.GetLevelCount(); i++)
        free(layout.GetConditionText(i));

    // What came from the file (not the defaults) must read back the same.
    if (layout.GetItemCount() != (data[0] & 0x3F))
        return 0;
    layout.Save();
    CListLayout again;
    Check(again.GetLevelCount() == layout.GetLevelCount());
    Check(again.GetItemCount() == layout.GetItemCount());
    for (int32_t i = 0; i < layout.GetItemCount(); i++)
        Check(SameItem(*layout.GetItem(i), *again.GetItem(i)));
    return 0;
}
