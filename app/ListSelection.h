// The selection rules of the painted movie list: clicks with and without
// Ctrl and Shift, the moves of the arrow, Home, End and page keys, and the
// order in which removed entries close their gaps. The entries themselves
// stay with the list; the rules reach them through IListSelection.
#pragma once

#include <cstdint>
#include <vector>

#include "core/WinTypes.h"

// No entry (anchor or type-ahead entry).
const DWORD kNoEntry = 0xFFFFFFFF;

class IListSelection {
public:
    virtual ~IListSelection() {}
    virtual DWORD GetEntryCount() const = 0;
    virtual bool IsEntrySelected(DWORD index) const = 0;
    virtual void SetEntrySelected(DWORD index, bool selected) = 0;
};

// Plain click: every other selected entry is deselected; the clicked one is
// deselected when it was the only selected entry, else selected. It becomes
// the anchor.
void ClickEntry(IListSelection& list, DWORD index, DWORD* anchor);
// Ctrl+click: the clicked entry toggles; the anchor stays.
void ToggleEntry(IListSelection& list, DWORD index);
// Shift+click: entries before the range are deselected, the range from the
// clicked entry to the anchor is selected (an anchor after the clicked entry
// keeps its own state), entries after both keep theirs. Without an anchor
// only the clicked entry is selected.
void ExtendToEntry(IListSelection& list, DWORD index, DWORD anchor);
// The entry becomes the only selected entry and the anchor.
void SelectOnlyEntry(IListSelection& list, DWORD index, DWORD* anchor);

// Keys that move the anchor.
enum ListMove { MOVE_HOME, MOVE_END, MOVE_UP, MOVE_DOWN, MOVE_PAGE_UP, MOVE_PAGE_DOWN };
// The entry a key moves the anchor to, or kNoEntry when it does not move:
// Up and Down need an anchor; the page keys move by boxesPerPage and stop at
// the first and last entry.
DWORD MoveTarget(ListMove move, DWORD anchor, DWORD count, int64_t boxesPerPage);

// The indexes to erase one after another so that exactly the given entries
// (indexes before any removal) go: each later index above an erased one is
// lowered by one. Indexes out of range or given twice are skipped.
std::vector<DWORD> RemovalSteps(const std::vector<DWORD>& indexes, DWORD count);
// Where an entry index lands after the removal steps; kNoEntry when it went.
DWORD IndexAfterRemoval(DWORD index, const std::vector<DWORD>& steps);
