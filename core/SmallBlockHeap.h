// Looks into and steers the Windows programs' small-block heap, which takes
// the place of the malloc family there (SmallBlockHeap.cpp). These calls
// exist in the Windows build only.
#pragma once

#include <cstddef>

// Bytes the heap holds committed: its pages in use, the free pages it keeps,
// and its page table.
size_t SmallBlockHeapCommitted();

// Calls the heap has made to the system to commit or decommit its pages.
// Under Wine one call can take milliseconds, whatever its length: tests and
// benchmarks count them.
size_t SmallBlockHeapPageCalls();

// Whether new blocks come from the heap (true) or all go to the C runtime's
// own heap (false). Every block is given back to whichever heap handed it
// out, so the heap can be switched off and on again at any time; it stays
// off when its set-up did not find the runtime's functions.
bool SmallBlockHeapIsOn();
void SetSmallBlockHeapOn(bool on);

// Whether the block lies in the heap's own address range.
bool SmallBlockHeapOwns(const void* block);

// Test hook: repeats the set-up's look-up of the runtime's functions as if the
// runtime could not be found: the heap goes off for good, and every block it
// did not hand out goes to the system's heap from then on. A block the runtime
// handed out before must not be given back after it: a test process calls it
// and ends soon after.
void SmallBlockHeapFailLookupForTest();
