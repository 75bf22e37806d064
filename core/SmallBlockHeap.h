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

// The C++ runtime keeps exceptions that find no memory in a pool of its own,
// behind a lock it makes at the pool's first use, with memory: an exception
// thrown once memory has run out would find no lock, and reporting that
// throws again without end. A program calls this at start-up, while memory
// is there, to have the lock made.
void SmallBlockHeapPrepareForFailure();

#ifdef VISTREL_TEST_BUILD
// The allocation switch of a test build (the deliverables have none). Arming
// it with nth > 0 starts a count of the malloc family's allocations (operator
// new included): the nth one from then on fails, and with andLater every one
// after it too (the exception pool is prepared first, so that such a
// failure can still be thrown). 0 disarms it. AllocationsForTest tells how many allocations
// were counted since it was armed, AllocationFailedForTest whether it made
// one fail: a sweep arms it with 1, 2, ... until an operation runs through
// without meeting it.
void FailAllocationForTest(long nth, bool andLater = false);
long AllocationsForTest();
bool AllocationFailedForTest();
#endif
