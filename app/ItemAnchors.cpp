#include "app/ItemAnchors.h"

#include <memory>
#include <utility>

#include "app/LayoutSubItem.h"
#include "app/ListLayout.h"

namespace {

bool IsHorizontal(DWORD bit)
{
    return (bit & ITEM_HORIZONTAL) != 0;
}

} // namespace

std::vector<int32_t> GetAnchorCandidates(const CListLayout& layout, int32_t e)
{
    const int32_t count = layout.GetItemCount();
    // reaches[i]: following the anchors in use from i leads to e. Every
    // element is settled once, by a walk that stops at settled elements.
    enum { UNKNOWN, WALKING, REACHES, FREE };
    std::vector<BYTE> state(size_t(count), UNKNOWN);
    if (e >= 0 && e < count)
        state[size_t(e)] = REACHES;

    std::vector<int32_t> candidates;
    std::vector<std::pair<int32_t, int>> path;  // element, next axis to follow (2: both followed)
    for (int32_t start = 0; start < count; start++) {
        if (state[size_t(start)] == UNKNOWN) {
            state[size_t(start)] = WALKING;
            path.push_back(std::make_pair(start, 0));
        }
        while (!path.empty()) {
            std::pair<int32_t, int>& top = path.back();
            if (top.second == 2) {
                if (state[size_t(top.first)] == WALKING)
                    state[size_t(top.first)] = FREE;
                path.pop_back();
                continue;
            }
            const int32_t next = layout.GetAnchorInUse(top.first, top.second++);
            if (next < 0 || next >= count)
                continue;  // the box, or no element: the chain ends
            if (state[size_t(next)] == REACHES) {
                // Everything on the path leads to e through this element.
                for (const auto& step : path)
                    state[size_t(step.first)] = REACHES;
            } else if (state[size_t(next)] == UNKNOWN) {
                state[size_t(next)] = WALKING;
                path.push_back(std::make_pair(next, 0));
            }
            // FREE adds nothing; WALKING is a cycle among the others, which
            // only a damaged layout holds: there the walk just has to end.
        }
        if (start != e && state[size_t(start)] == FREE)
            candidates.push_back(start);
    }
    return candidates;
}

bool IsAlignmentAllowed(const CListLayout& layout, int32_t anchor, DWORD bit)
{
    if (anchor == -1)
        return true;
    const CLayoutSubItem* t = layout.GetItem(anchor);
    if (t == NULL)
        return false;
    const bool horizontal = IsHorizontal(bit);
    const DWORD nearBit = horizontal ? ITEM_LEFT : ITEM_TOP;
    const DWORD farBit = horizontal ? ITEM_RIGHT : ITEM_BOTTOM;
    const bool alignedOnAxis = horizontal ? t->HasHorizontalAlignment() : t->HasVerticalAlignment();
    if (!alignedOnAxis)
        return bit != farBit || (horizontal ? t->m_x : t->m_y) != 0;
    const int32_t tAnchor = horizontal ? t->m_hAnchor : t->m_vAnchor;
    if (layout.GetItem(tAnchor) != NULL)
        return true;  // aligned to another element, not to the box
    if (bit == farBit)
        return (t->m_flags & nearBit) == 0;
    if (bit == nearBit)
        return (t->m_flags & farBit) == 0;
    return true;
}

CItemBackup::CItemBackup() : m_taken(false)
{
}

CItemBackup::~CItemBackup()
{
}

void CItemBackup::Take(const CListLayout& layout, const CLayoutSubItem& item, bool isNew)
{
    m_copy.reset();
    if (!isNew) {
        m_copy.reset(new CLayoutSubItem);
        m_copy->CopyFrom(item);
    }
    m_order.clear();
    for (int32_t i = 0; i < layout.GetItemCount(); i++) {
        if (!isNew || layout.GetItem(i) != &item)
            m_order.push_back(layout.GetItem(i));
    }
    m_taken = true;
}

void CItemBackup::Forget()
{
    m_copy.reset();
    m_order.clear();
    m_taken = false;
}

void CItemBackup::Restore(CListLayout& layout, CLayoutSubItem** item)
{
    if (!m_taken)
        return;
    std::vector<std::unique_ptr<CLayoutSubItem>>& items = layout.m_items;
    const int32_t count = layout.GetItemCount();
    // moved[index now] = index restored.
    std::vector<int32_t> moved(size_t(count), -1);
    std::vector<std::unique_ptr<CLayoutSubItem>> ordered;
    for (const CLayoutSubItem* wanted : m_order) {
        const int32_t i = layout.IndexOfItem(wanted);
        if (i >= 0 && moved[size_t(i)] < 0) {
            moved[size_t(i)] = int32_t(ordered.size());
            ordered.push_back(std::move(items[size_t(i)]));
        }
    }
    for (int32_t i = 0; i < count; i++) {
        if (moved[size_t(i)] < 0) {
            moved[size_t(i)] = int32_t(ordered.size());
            ordered.push_back(std::move(items[size_t(i)]));
        }
    }
    for (const std::unique_ptr<CLayoutSubItem>& element : ordered) {
        for (int32_t* anchor : { &element->m_hAnchor, &element->m_vAnchor }) {
            if (*anchor >= 0 && *anchor < count)
                *anchor = moved[size_t(*anchor)];
        }
    }
    items.swap(ordered);

    const bool present = layout.IndexOfItem(*item) >= 0;
    if (present && m_copy)
        (*item)->CopyFrom(*m_copy);
    else if (present)
        layout.DeleteItem(item);  // last now, so no anchor moves
    Forget();
}
