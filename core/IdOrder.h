// Records of one kind kept in ascending id order, and the lookups over them
// by binary search. The store and the repair of a loaded catalogue share them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "core/WinTypes.h"

// Ids are u32; this one means "none" and is never a record's id.
const DWORD NO_ID = 0xFFFFFFFF;

// New ids stay below this; at it a collection is full.
const DWORD ID_LIMIT = 0xFFFFFFF5;

// The position of the first record whose id is id or greater.
template <class T>
size_t LowerBound(const std::vector<std::unique_ptr<T>>& list, DWORD id)
{
    size_t low = 0, high = list.size();
    while (low < high) {
        size_t mid = low + (high - low) / 2;
        if (list[mid]->m_id < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

template <class T>
T* FindRecord(const std::vector<std::unique_ptr<T>>& list, DWORD id)
{
    size_t i = LowerBound(list, id);
    return i < list.size() && list[i]->m_id == id ? list[i].get() : NULL;
}

// The first id above id; NO_ID starts at the first record, and NO_ID comes
// back when there is none. Every record with the id itself is stepped over,
// so a walk moves on even past equal ids (which the loader never lets in).
template <class T>
DWORD NextId(const std::vector<std::unique_ptr<T>>& list, DWORD id)
{
    if (list.empty())
        return NO_ID;
    if (id == NO_ID)
        return list.front()->m_id;
    size_t i = LowerBound(list, id + 1);
    return i < list.size() ? list[i]->m_id : NO_ID;
}
