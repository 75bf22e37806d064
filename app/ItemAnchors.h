// The rules of the Edit Item dialog that need no window: which elements an
// element may be aligned to, which alignments an anchor allows, and the
// order of the elements kept from before an edit so that a cancelled edit
// puts everything back where it was.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/LayoutSubItem.h"
#include "core/WinTypes.h"

class CListLayout;

// The elements that may anchor element e, in layout order: every other
// element whose anchors in use never lead back to e, so that no choice
// closes a cycle. Each element is looked at once, so the walk ends after as
// many steps as there are elements.
std::vector<int32_t> GetAnchorCandidates(const CListLayout& layout, int32_t e);

// Whether one alignment bit (ITEM_LEFT ... ITEM_VCENTER) may be used with
// the anchor on its axis: always with the box (-1), never with an index
// that names no element, and otherwise unless it would put the element
// beyond the box: beside an anchor that lies against the box's edge on that
// side (placed at offset 0, or aligned to that edge of the box).
bool IsAlignmentAllowed(const CListLayout& layout, int32_t anchor, DWORD bit);

// What undoes the edit of one element: a copy of it as it was (none for a
// new element) and the order of all elements. Laying the edited element out
// may reorder the elements and renumber every anchor, which leaves the
// copy's anchors naming the wrong elements; Restore puts the order back
// first, so they name the right ones again.
class CItemBackup {
public:
    CItemBackup();
    ~CItemBackup();

    // Before the edit; a new element is already in the layout.
    void Take(const CListLayout& layout, const CLayoutSubItem& item, bool isNew);
    // Puts the elements back in their old order (any added since after
    // them) with every anchor renumbered, then the element as it was; a new
    // element is deleted and *item set to NULL. Nothing once forgotten.
    void Restore(CListLayout& layout, CLayoutSubItem** item);
    // The edit is kept.
    void Forget();
    bool IsTaken() const { return m_taken; }

private:
    CItemBackup(const CItemBackup&) = delete;
    CItemBackup& operator=(const CItemBackup&) = delete;

    std::unique_ptr<CLayoutSubItem> m_copy;  // NULL for a new element
    std::vector<const CLayoutSubItem*> m_order;
    bool m_taken;
};
