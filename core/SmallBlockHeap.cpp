// The program's malloc family on Windows. A catalogue is millions of small
// heap blocks (every text, cast entry and stream of every record), and the
// system heap takes a lock and walks its lists for each one; loading a large
// catalogue spent as long allocating as reading. Blocks of up to kLargest
// bytes come from 64 KiB pages in one reserved address range instead; larger
// blocks, and every block the C runtime's DLL handed out itself (its strdup,
// for one), stay with the runtime's own heap. The range decides who owns a
// pointer.
//
// A page serves one size class while it holds blocks. A table beside the
// range keeps, per page, its class, its count of blocks handed out and its
// own list of blocks given back, so that a free is a constant number of
// steps. A page whose last block comes back goes to one pool of free pages
// that every class takes from. Beyond kKeptFreePages the pool is trimmed to
// half of them, and decommitted pages are committed again a run at a time when
// taken: under Wine one call to the system can take milliseconds, whatever
// its length, and closing a catalogue frees thousands of pages.
#ifdef _WIN32

#include "core/SmallBlockHeap.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const size_t kGranule = 16;                 // alignment, and the class step up to kSmall
const size_t kSmall = 512;
const size_t kSmallClasses = kSmall / kGranule;
const size_t kLargest = 16384;              // larger blocks go to the runtime
// The compiler takes every block of operator new to be aligned to its
// default new alignment. The runtime's malloc, which serves the larger
// blocks, aligns to 16 bytes on 64-bit Windows and to 8 on 32-bit Windows,
// where the build tells the compiler so (-faligned-new=8, CMakeLists.txt).
#ifdef _WIN64
const size_t kRuntimeAlignment = 16;
#else
const size_t kRuntimeAlignment = 8;
#endif
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ <= kRuntimeAlignment,
              "operator new would promise more alignment than the runtime's malloc gives");
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ <= kGranule, "the heap's blocks are aligned to kGranule");
// Above kSmall, four classes to each doubling: no block wastes a quarter.
const size_t kMediumSizes[] = {640,  768,  896,  1024, 1280, 1536,  1792,  2048,  2560,  3072,
                               3584, 4096, 5120, 6144, 7168, 8192, 10240, 12288, 14336, 16384};
const size_t kClasses = kSmallClasses + sizeof kMediumSizes / sizeof kMediumSizes[0];
const size_t kPageShift = 16;                 // a page of one class: 64 KiB
const size_t kPageSize = size_t(1) << kPageShift;
const uint32_t kCommitStep = 16;              // pages are committed up to 1 MiB at a time
// Free pages kept committed for the next blocks of any class (32 MiB); a page
// freed beyond them has the pool trimmed to kTrimmedFreePages.
const uint32_t kKeptFreePages = 512;
const uint32_t kTrimmedFreePages = kKeptFreePages / 2;
#ifdef _WIN64
const size_t kRangeSize = size_t(16) << 30;   // 16 GiB of address space
#else
const size_t kRangeSize = size_t(256) << 20;  // 256 MiB: the rest stays free
#endif
const uint32_t kPages = uint32_t(kRangeSize / kPageSize);
const uint32_t kNoPage = 0xFFFFFFFF;
// The class of a free page: committed in the pool, or decommitted.
const uint8_t kFreeKept = 0xFF;
const uint8_t kFreeDecommitted = 0xFE;
#ifndef NDEBUG
const size_t kMostBlocks = kPageSize / kGranule;
#endif

typedef void*(__cdecl* MallocFn)(size_t);
typedef void(__cdecl* FreeFn)(void*);
typedef void*(__cdecl* ReallocFn)(void*, size_t);

struct FreeBlock {
    FreeBlock* next;
};

struct PageInfo {
    FreeBlock* freed;   // blocks given back, to be handed out again first
    uint32_t next;      // links in the class's list of pages with room, or in the
    uint32_t prev;      // list of kept or of decommitted free pages
    uint16_t live;      // blocks handed out
    uint16_t carved;    // blocks cut from the page since it joined its class
    uint8_t cls;        // kFreeKept or kFreeDecommitted while the page is free
#ifndef NDEBUG
    uint32_t handedOut[kMostBlocks / 32];  // one bit per block handed out
#endif
};

struct Heap {
    std::atomic<int> state;   // 0 not set up, 1 setting up, 2 ready
    std::atomic<bool> on;     // new blocks come from the range
    bool runtimeFound;
    CRITICAL_SECTION lock;
    char* base;               // NULL when the heap is not in use
    PageInfo* pages;          // the page table, reserved beside the range
    uint32_t top;             // pages [0, top) have served a class
    uint32_t committedTop;    // pages [top, committedTop) are committed, never used
    uint32_t keptFree;        // the pool: committed free pages...
    uint32_t keptCount;
    uint32_t decommitted;     // ...and decommitted ones
    uint32_t decommittedCount;
    size_t pageCalls;         // calls to commit or decommit pages
    MallocFn runtimeMalloc;
    FreeFn runtimeFree;
    ReallocFn runtimeRealloc;
    uint32_t classSize[kClasses];
    uint16_t capacity[kClasses];  // blocks to a page
    uint32_t current[kClasses];   // the page blocks are cut from
    uint32_t roomy[kClasses];     // the other pages that have blocks given back
};

// Zero-initialised before any code runs: the C runtime's start-up already
// allocates, before constructors would.
Heap g_heap;

class CHeapLock {
public:
    CHeapLock() { EnterCriticalSection(&g_heap.lock); }
    ~CHeapLock() { LeaveCriticalSection(&g_heap.lock); }
    CHeapLock(const CHeapLock&) = delete;
    CHeapLock& operator=(const CHeapLock&) = delete;
};

// When the runtime cannot be found, blocks go to the system's heap.
void* __cdecl SystemMalloc(size_t n)
{
    return HeapAlloc(GetProcessHeap(), 0, n == 0 ? 1 : n);
}

void __cdecl SystemFree(void* p)
{
    HeapFree(GetProcessHeap(), 0, p);
}

void* __cdecl SystemRealloc(void* p, size_t n)
{
    return HeapReAlloc(GetProcessHeap(), 0, p, n == 0 ? 1 : n);
}

// The runtime is the DLL that holds the C streams: whichever runtime the
// program was linked with, not a DLL of some fixed name.
void LookUpRuntime(bool failForTest)
{
    HMODULE runtime = NULL;
    if (!failForTest)
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(stdin), &runtime);
    FARPROC m = runtime != NULL ? GetProcAddress(runtime, "malloc") : NULL;
    FARPROC f = runtime != NULL ? GetProcAddress(runtime, "free") : NULL;
    FARPROC r = runtime != NULL ? GetProcAddress(runtime, "realloc") : NULL;
    g_heap.runtimeFound = m != NULL && f != NULL && r != NULL;
    if (g_heap.runtimeFound) {
        g_heap.runtimeMalloc = reinterpret_cast<MallocFn>(m);
        g_heap.runtimeFree = reinterpret_cast<FreeFn>(f);
        g_heap.runtimeRealloc = reinterpret_cast<ReallocFn>(r);
    } else {
        g_heap.runtimeMalloc = SystemMalloc;
        g_heap.runtimeFree = SystemFree;
        g_heap.runtimeRealloc = SystemRealloc;
    }
    g_heap.on.store(g_heap.runtimeFound && g_heap.base != NULL, std::memory_order_relaxed);
}

void SetUp()
{
    if (g_heap.state.load(std::memory_order_acquire) == 2)
        return;
    int expected = 0;
    if (g_heap.state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
        InitializeCriticalSectionAndSpinCount(&g_heap.lock, 4000);
        for (size_t i = 0; i < kClasses; i++) {
            g_heap.classSize[i] = uint32_t(i < kSmallClasses ? (i + 1) * kGranule : kMediumSizes[i - kSmallClasses]);
            g_heap.capacity[i] = uint16_t(kPageSize / g_heap.classSize[i]);
            g_heap.current[i] = kNoPage;
            g_heap.roomy[i] = kNoPage;
        }
        g_heap.keptFree = kNoPage;
        g_heap.decommitted = kNoPage;
        // Without the runtime's functions the heap stays off, and every block
        // comes from the system's heap.
        LookUpRuntime(false);
        if (g_heap.runtimeFound) {
            char* base = static_cast<char*>(VirtualAlloc(NULL, kRangeSize, MEM_RESERVE, PAGE_NOACCESS));
            void* pages = VirtualAlloc(NULL, kPages * sizeof(PageInfo), MEM_RESERVE, PAGE_NOACCESS);
            if (base != NULL && pages != NULL) {
                g_heap.base = base;
                g_heap.pages = static_cast<PageInfo*>(pages);
                g_heap.on.store(true, std::memory_order_relaxed);
            } else {
                if (base != NULL)
                    VirtualFree(base, 0, MEM_RELEASE);
                if (pages != NULL)
                    VirtualFree(pages, 0, MEM_RELEASE);
            }
        }
        g_heap.state.store(2, std::memory_order_release);
        return;
    }
    while (g_heap.state.load(std::memory_order_acquire) != 2)
        SwitchToThread();
}

bool Owns(const void* p)
{
    const char* c = static_cast<const char*>(p);
    return g_heap.base != NULL && c >= g_heap.base && c < g_heap.base + kRangeSize;
}

char* PageAddress(uint32_t page)
{
    return g_heap.base + (size_t(page) << kPageShift);
}

uint32_t PageOf(const void* p)
{
    return uint32_t(size_t(static_cast<const char*>(p) - g_heap.base) >> kPageShift);
}

size_t ClassOf(size_t n)
{
    if (n <= kSmall)
        return n == 0 ? 0 : (n - 1) / kGranule;
    size_t index = 0;
    while (kMediumSizes[index] < n)
        index++;
    return kSmallClasses + index;
}

// Lists of pages: a class's pages with room other than its current page, and
// the kept and the decommitted free pages.
void Link(uint32_t& head, uint32_t page)
{
    PageInfo& info = g_heap.pages[page];
    info.prev = kNoPage;
    info.next = head;
    if (info.next != kNoPage)
        g_heap.pages[info.next].prev = page;
    head = page;
}

void Unlink(uint32_t& head, uint32_t page)
{
    PageInfo& info = g_heap.pages[page];
    if (info.prev != kNoPage)
        g_heap.pages[info.prev].next = info.next;
    else
        head = info.next;
    if (info.next != kNoPage)
        g_heap.pages[info.next].prev = info.prev;
}

// Called locked, as is all below.
void Keep(uint32_t page)
{
    g_heap.pages[page].cls = kFreeKept;
    Link(g_heap.keptFree, page);
    g_heap.keptCount++;
}

bool IsFree(uint32_t page)
{
    return g_heap.pages[page].cls >= kFreeDecommitted;
}

// Decommits the free pages [first, end) in one call. Pages among them that
// are decommitted already stay so: the system takes that as it is.
void Decommit(uint32_t first, uint32_t end)
{
    g_heap.pageCalls++;
    if (!VirtualFree(PageAddress(first), size_t(end - first) << kPageShift, MEM_DECOMMIT))
        return;
    for (uint32_t page = first; page < end; page++) {
        if (g_heap.pages[page].cls == kFreeDecommitted)
            continue;
        Unlink(g_heap.keptFree, page);
        g_heap.keptCount--;
        g_heap.pages[page].cls = kFreeDecommitted;
        Link(g_heap.decommitted, page);
        g_heap.decommittedCount++;
    }
}

// Decommits kept pages down to kTrimmedFreePages, a run of adjacent free pages
// to a call, runs of many kept pages first.
void Trim()
{
    const uint32_t passes[] = {kCommitStep, 4, 1};  // kept pages a run needs, pass by pass
    for (uint32_t least : passes) {
        uint32_t page = 0;
        while (page < g_heap.top && g_heap.keptCount > kTrimmedFreePages) {
            // From the run's first kept page to its last.
            uint32_t first = kNoPage, end = kNoPage, kept = 0;
            for (; page < g_heap.top && IsFree(page); page++) {
                if (g_heap.pages[page].cls == kFreeKept) {
                    first = first == kNoPage ? page : first;
                    end = page + 1;
                    kept++;
                }
            }
            if (kept != 0 && kept >= least)
                Decommit(first, end);
            page++;
        }
    }
}

// A committed free page: from the pool, the committed fresh pages, the
// decommitted pool pages or fresh ones committed now. kNoPage when the range
// is full or memory cannot be committed.
uint32_t TakeFreePage()
{
    uint32_t page = g_heap.keptFree;
    if (page != kNoPage) {
        Unlink(g_heap.keptFree, page);
        g_heap.keptCount--;
        return page;
    }
    if (g_heap.top < g_heap.committedTop)
        return g_heap.top++;
    page = g_heap.decommitted;
    if (page != kNoPage) {
        // The pool is empty: the decommitted pages around this one are
        // committed with it in one call and kept.
        uint32_t first = page, end = page + 1;
        while (first > 0 && end - first < kCommitStep && g_heap.pages[first - 1].cls == kFreeDecommitted)
            first--;
        while (end < g_heap.top && end - first < kCommitStep && g_heap.pages[end].cls == kFreeDecommitted)
            end++;
        g_heap.pageCalls++;
        if (VirtualAlloc(PageAddress(first), size_t(end - first) << kPageShift, MEM_COMMIT, PAGE_READWRITE) == NULL)
            return kNoPage;
        for (uint32_t other = first; other < end; other++) {
            Unlink(g_heap.decommitted, other);
            g_heap.decommittedCount--;
            if (other != page)
                Keep(other);
        }
        return page;
    }
    if (g_heap.committedTop == kPages)
        return kNoPage;
    uint32_t step = kPages - g_heap.committedTop < kCommitStep ? kPages - g_heap.committedTop : kCommitStep;
    g_heap.pageCalls += 2;
    if (VirtualAlloc(g_heap.pages + g_heap.committedTop, step * sizeof(PageInfo), MEM_COMMIT, PAGE_READWRITE) == NULL ||
        VirtualAlloc(PageAddress(g_heap.committedTop), step * kPageSize, MEM_COMMIT, PAGE_READWRITE) == NULL)
        return kNoPage;
    g_heap.committedTop += step;
    return g_heap.top++;
}

void ReturnPage(uint32_t page)
{
    Keep(page);
    if (g_heap.keptCount > kKeptFreePages)
        Trim();
}

// A block of class index, or NULL when no page can be had.
void* TakeBlock(size_t index)
{
    uint32_t page = g_heap.current[index];
    if (page == kNoPage || (g_heap.pages[page].freed == NULL && g_heap.pages[page].carved == g_heap.capacity[index])) {
        // The current page is full and leaves every list until a block comes back.
        page = g_heap.roomy[index];
        if (page != kNoPage) {
            Unlink(g_heap.roomy[index], page);
        } else {
            page = TakeFreePage();
            if (page == kNoPage)
                return NULL;
            PageInfo& fresh = g_heap.pages[page];
            fresh.freed = NULL;
            fresh.live = 0;
            fresh.carved = 0;
            fresh.cls = uint8_t(index);
        }
        g_heap.current[index] = page;
    }
    PageInfo& info = g_heap.pages[page];
    char* block;
    if (info.freed != NULL) {
        block = reinterpret_cast<char*>(info.freed);
        info.freed = info.freed->next;
    } else {
        block = PageAddress(page) + size_t(info.carved) * g_heap.classSize[index];
        info.carved++;
    }
    info.live++;
#ifndef NDEBUG
    size_t number = size_t(block - PageAddress(page)) / g_heap.classSize[index];
    info.handedOut[number / 32] |= uint32_t(1) << (number % 32);
#endif
    return block;
}

void GiveBack(uint32_t page, void* p)
{
    PageInfo& info = g_heap.pages[page];
    size_t index = info.cls;
#ifndef NDEBUG
    size_t number = size_t(static_cast<char*>(p) - PageAddress(page)) / g_heap.classSize[index];
    info.handedOut[number / 32] &= ~(uint32_t(1) << (number % 32));
#endif
    // Only the current page can have blocks never cut: any other page with
    // room has blocks given back, and is in the class's list.
    bool wasFull = info.freed == NULL;
    FreeBlock* block = static_cast<FreeBlock*>(p);
    block->next = info.freed;
    info.freed = block;
    info.live--;
    if (page == g_heap.current[index])
        return;
    if (info.live == 0) {
        if (!wasFull)
            Unlink(g_heap.roomy[index], page);
        ReturnPage(page);
    } else if (wasFull) {
        Link(g_heap.roomy[index], page);
    }
}

enum Fault { kSound, kNeverHandedOut, kAlreadyFreed };

// Debug builds check every block given back or resized: that it starts a
// block of its page and is out. Release builds trust their callers.
Fault Check(uint32_t page, const void* p)
{
#ifdef NDEBUG
    (void)page;
    (void)p;
    return kSound;
#else
    if (page >= g_heap.top || IsFree(page))
        return kNeverHandedOut;
    const PageInfo& info = g_heap.pages[page];
    size_t offset = size_t(static_cast<const char*>(p) - PageAddress(page));
    size_t size = g_heap.classSize[info.cls];
    if (offset % size != 0 || offset / size >= info.carved)
        return kNeverHandedOut;
    size_t number = offset / size;
    return (info.handedOut[number / 32] >> (number % 32)) & 1 ? kSound : kAlreadyFreed;
#endif
}

// Reports a faulty block on the standard error and ends the program. The
// text is put together by hand: nothing here may allocate.
[[noreturn]] void Fail(const char* call, Fault fault, const void* p)
{
    char text[160] = "heap: ";
    strcat(text, call);
    strcat(text, " of 0x");
    char digits[2 * sizeof(void*) + 1];
    uintptr_t value = reinterpret_cast<uintptr_t>(p);
    for (int i = int(sizeof digits) - 2; i >= 0; i--, value >>= 4)
        digits[i] = "0123456789abcdef"[value & 15];
    digits[sizeof digits - 1] = 0;
    strcat(text, digits);
    strcat(text, fault == kAlreadyFreed ? ": the block was already freed\n"
                                        : ": the heap never handed out a block there\n");
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, DWORD(strlen(text)), &written, NULL);
    abort();
}

// Set for one allocation while the exception pool is prepared.
std::atomic<bool> g_failOnce(false);

#ifdef VISTREL_TEST_BUILD
// The allocation switch of a test build: counts allocations from the moment
// it is armed and fails the armed one (and, when asked, every later one).
std::atomic<long> g_switchCount(0);
std::atomic<long> g_switchNth(0);
std::atomic<bool> g_switchLater(false);
std::atomic<bool> g_switchFired(false);

bool SwitchFails()
{
    if (g_failOnce.load(std::memory_order_relaxed) && g_failOnce.exchange(false))
        return true;
    long nth = g_switchNth.load(std::memory_order_relaxed);
    if (nth <= 0)
        return false;
    long count = g_switchCount.fetch_add(1) + 1;
    if (count < nth || (count > nth && !g_switchLater.load(std::memory_order_relaxed)))
        return false;
    g_switchFired.store(true);
    return true;
}
#else
inline bool SwitchFails()
{
    return g_failOnce.load(std::memory_order_relaxed) && g_failOnce.exchange(false);
}
#endif

void* Allocate(size_t n)
{
    SetUp();
    if (SwitchFails()) {
        errno = ENOMEM;
        return NULL;
    }
    if (n <= kLargest && g_heap.on.load(std::memory_order_relaxed)) {
        void* block;
        {
            CHeapLock lock;
            block = TakeBlock(ClassOf(n));
        }
        if (block != NULL)
            return block;
    }
    void* block = g_heap.runtimeMalloc(n);
    if (block == NULL)
        errno = ENOMEM;
    return block;
}

void Release(void* p)
{
    if (p == NULL)
        return;
    SetUp();
    if (!Owns(p)) {
        g_heap.runtimeFree(p);
        return;
    }
    uint32_t page = PageOf(p);
    Fault fault;
    {
        CHeapLock lock;
        fault = Check(page, p);
        if (fault == kSound)
            GiveBack(page, p);
    }
    if (fault != kSound)
        Fail("free", fault, p);
}

void* Resize(void* p, size_t n)
{
    if (p == NULL)
        return Allocate(n);
    SetUp();
    if (!Owns(p)) {
        if (SwitchFails()) {
            errno = ENOMEM;
            return NULL;
        }
        return g_heap.runtimeRealloc(p, n);
    }
    uint32_t page = PageOf(p);
#ifndef NDEBUG
    Fault fault;
    {
        CHeapLock lock;
        fault = Check(page, p);
    }
    if (fault != kSound)
        Fail("realloc", fault, p);
#endif
    // A page keeps its class while it holds a block.
    size_t have = g_heap.classSize[g_heap.pages[page].cls];
    if (n <= have && n > have / 2)
        return p;
    void* grown = Allocate(n);
    if (grown == NULL)
        return NULL;
    memcpy(grown, p, n < have ? n : have);
    Release(p);
    return grown;
}

}  // namespace

size_t SmallBlockHeapCommitted()
{
    SetUp();
    if (g_heap.base == NULL)
        return 0;
    CHeapLock lock;
    size_t table = (g_heap.committedTop * sizeof(PageInfo) + 4095) / 4096 * 4096;
    return size_t(g_heap.committedTop - g_heap.decommittedCount) * kPageSize + table;
}

size_t SmallBlockHeapPageCalls()
{
    SetUp();
    if (g_heap.base == NULL)
        return 0;
    CHeapLock lock;
    return g_heap.pageCalls;
}

bool SmallBlockHeapIsOn()
{
    SetUp();
    return g_heap.on.load(std::memory_order_relaxed);
}

void SetSmallBlockHeapOn(bool on)
{
    SetUp();
    CHeapLock lock;
    g_heap.on.store(on && g_heap.runtimeFound && g_heap.base != NULL, std::memory_order_relaxed);
}

bool SmallBlockHeapOwns(const void* block)
{
    SetUp();
    return Owns(block);
}

void SmallBlockHeapFailLookupForTest()
{
    SetUp();
    CHeapLock lock;
    LookUpRuntime(true);
}

void SmallBlockHeapPrepareForFailure()
{
    // One exception thrown while its allocation fails takes the pool's way,
    // which makes the lock; the next allocation (the lock's) succeeds.
    g_failOnce.store(true);
    try {
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    g_failOnce.store(false);
}

#ifdef VISTREL_TEST_BUILD
void FailAllocationForTest(long nth, bool andLater)
{
    if (andLater)
        SmallBlockHeapPrepareForFailure();
    g_switchNth.store(0);
    g_switchCount.store(0);
    g_switchLater.store(andLater);
    g_switchFired.store(false);
    g_switchNth.store(nth > 0 ? nth : 0);
}

long AllocationsForTest()
{
    return g_switchCount.load();
}

bool AllocationFailedForTest()
{
    return g_switchFired.load();
}
#endif

extern "C" {

void* __cdecl malloc(size_t n) { return Allocate(n); }

void __cdecl free(void* p) { Release(p); }

void* __cdecl realloc(void* p, size_t n)
{
    if (p != NULL && n == 0) {
        Release(p);
        return NULL;
    }
    return Resize(p, n);
}

void* __cdecl calloc(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size) {
        errno = ENOMEM;
        return NULL;
    }
    void* block = Allocate(count * size);
    if (block != NULL)
        memset(block, 0, count * size);
    return block;
}

}  // extern "C"

#endif  // _WIN32
