#include "app/ListSelection.h"

#include <algorithm>

void ClickEntry(IListSelection& list, DWORD index, DWORD* anchor)
{
    DWORD count = list.GetEntryCount();
    if (index >= count)
        return;
    bool othersSelected = false;
    for (DWORD i = 0; i < count; i++) {
        if (i != index && list.IsEntrySelected(i)) {
            othersSelected = true;
            list.SetEntrySelected(i, false);
        }
    }
    bool onlySelected = list.IsEntrySelected(index) && !othersSelected;
    list.SetEntrySelected(index, !onlySelected);
    *anchor = index;
}

void ToggleEntry(IListSelection& list, DWORD index)
{
    if (index < list.GetEntryCount())
        list.SetEntrySelected(index, !list.IsEntrySelected(index));
}

void ExtendToEntry(IListSelection& list, DWORD index, DWORD anchor)
{
    DWORD count = list.GetEntryCount();
    if (index >= count)
        return;
    if (anchor >= count) {
        for (DWORD i = 0; i < count; i++)
            list.SetEntrySelected(i, i == index);
        return;
    }
    DWORD first = std::min(index, anchor);
    DWORD last = anchor > index ? anchor - 1 : index;  // a later anchor keeps its state
    for (DWORD i = 0; i < first; i++)
        list.SetEntrySelected(i, false);
    for (DWORD i = first; i <= last; i++)
        list.SetEntrySelected(i, true);
}

void SelectOnlyEntry(IListSelection& list, DWORD index, DWORD* anchor)
{
    DWORD count = list.GetEntryCount();
    if (index >= count)
        return;
    for (DWORD i = 0; i < count; i++) {
        bool want = i == index;
        if (list.IsEntrySelected(i) != want)
            list.SetEntrySelected(i, want);
    }
    *anchor = index;
}

DWORD MoveTarget(ListMove move, DWORD anchor, DWORD count, int64_t boxesPerPage)
{
    if (count == 0)
        return kNoEntry;
    bool valid = anchor < count;
    switch (move) {
    case MOVE_HOME:
        return 0;
    case MOVE_END:
        return count - 1;
    case MOVE_UP:
        return valid && anchor > 0 ? anchor - 1 : kNoEntry;
    case MOVE_DOWN:
        return valid && anchor + 1 < count ? anchor + 1 : kNoEntry;
    case MOVE_PAGE_UP:
    case MOVE_PAGE_DOWN: {
        if (boxesPerPage < 1)
            boxesPerPage = 1;
        int64_t from = valid ? int64_t(anchor) : 0;
        int64_t to = move == MOVE_PAGE_UP ? from - boxesPerPage : from + boxesPerPage;
        to = std::max<int64_t>(0, std::min<int64_t>(to, int64_t(count) - 1));
        return DWORD(to);
    }
    }
    return kNoEntry;
}

std::vector<DWORD> RemovalSteps(const std::vector<DWORD>& indexes, DWORD count)
{
    std::vector<DWORD> pending(indexes);
    std::vector<DWORD> steps;
    for (size_t i = 0; i < pending.size(); i++) {
        DWORD index = pending[i];
        if (index >= count)
            continue;
        steps.push_back(index);
        count--;
        for (size_t j = i + 1; j < pending.size(); j++) {
            if (pending[j] == index)
                pending[j] = kNoEntry;  // the same entry twice
            else if (pending[j] > index && pending[j] != kNoEntry)
                pending[j]--;
        }
    }
    return steps;
}

DWORD IndexAfterRemoval(DWORD index, const std::vector<DWORD>& steps)
{
    for (DWORD step : steps) {
        if (index == kNoEntry || index == step)
            return kNoEntry;
        if (index > step)
            index--;
    }
    return index;
}
