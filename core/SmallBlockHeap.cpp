// The program's malloc family on Windows. A catalogue is millions of small
// heap blocks (every text, cast entry and stream of every record), and the
// system heap takes a lock and walks its lists for each one; loading a large
// catalogue spent as long allocating as reading. Blocks of up to kLargest
// bytes come from size-class pages in one reserved address range instead,
// and are kept on a free list per class when freed; larger blocks, and every
// block the C runtime's DLL handed out itself (its strdup, for one), stay
// with the runtime's own heap. The range decides who owns a pointer.
#ifdef _WIN32

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

const size_t kGranule = 16;                 // alignment, and the class step up to kSmall
const size_t kSmall = 512;
const size_t kSmallClasses = kSmall / kGranule;
const size_t kLargest = 16384;              // larger blocks go to the runtime
// Above kSmall, four classes to each doubling: no block wastes a quarter.
const size_t kMediumSizes[] = {640,  768,  896,  1024, 1280, 1536,  1792,  2048,  2560,  3072,
                               3584, 4096, 5120, 6144, 7168, 8192, 10240, 12288, 14336, 16384};
const size_t kClasses = kSmallClasses + sizeof kMediumSizes / sizeof kMediumSizes[0];
const size_t kPageShift = 16;                 // a page of one class: 64 KiB
const size_t kPageSize = size_t(1) << kPageShift;
const size_t kCommitStep = 16 * kPageSize;    // committed 1 MiB at a time
#ifdef _WIN64
const size_t kRangeSize = size_t(16) << 30;   // 16 GiB of address space
#else
const size_t kRangeSize = size_t(256) << 20;  // 256 MiB: the rest stays free
#endif
const size_t kPages = kRangeSize / kPageSize;

typedef void*(__cdecl* MallocFn)(size_t);
typedef void(__cdecl* FreeFn)(void*);
typedef void*(__cdecl* ReallocFn)(void*, size_t);

struct FreeBlock {
    FreeBlock* next;
};

struct Heap {
    std::atomic<long> lock;
    std::atomic<int> state;  // 0 not set up, 1 setting up, 2 ready
    char* base;              // NULL when the range could not be reserved
    size_t used;             // pages handed to classes, in bytes
    size_t committed;
    MallocFn runtimeMalloc;
    FreeFn runtimeFree;
    ReallocFn runtimeRealloc;
    char* next[kClasses];    // bump pointer in the class's current page
    char* end[kClasses];
    FreeBlock* freed[kClasses];
    unsigned char pageClass[kPages];
};

// Zero-initialised before any code runs: the C runtime's start-up already
// allocates, before constructors would.
Heap g_heap;

class CHeapLock {
public:
    CHeapLock()
    {
        for (int spins = 0; g_heap.lock.exchange(1, std::memory_order_acquire) != 0; spins++) {
            if (spins > 64)
                SwitchToThread();
        }
    }
    ~CHeapLock() { g_heap.lock.store(0, std::memory_order_release); }
    CHeapLock(const CHeapLock&) = delete;
    CHeapLock& operator=(const CHeapLock&) = delete;
};

void SetUp()
{
    if (g_heap.state.load(std::memory_order_acquire) == 2)
        return;
    int expected = 0;
    if (g_heap.state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
        HMODULE runtime = GetModuleHandleA("msvcrt.dll");
        g_heap.runtimeMalloc = reinterpret_cast<MallocFn>(GetProcAddress(runtime, "malloc"));
        g_heap.runtimeFree = reinterpret_cast<FreeFn>(GetProcAddress(runtime, "free"));
        g_heap.runtimeRealloc = reinterpret_cast<ReallocFn>(GetProcAddress(runtime, "realloc"));
        g_heap.base = static_cast<char*>(VirtualAlloc(NULL, kRangeSize, MEM_RESERVE, PAGE_NOACCESS));
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

size_t ClassOf(size_t n)
{
    if (n <= kSmall)
        return n == 0 ? 0 : (n - 1) / kGranule;
    size_t index = 0;
    while (kMediumSizes[index] < n)
        index++;
    return kSmallClasses + index;
}

size_t ClassSize(size_t index)
{
    return index < kSmallClasses ? (index + 1) * kGranule : kMediumSizes[index - kSmallClasses];
}

// A block of class index, or NULL when the range is full. Called locked.
void* TakeBlock(size_t index)
{
    if (FreeBlock* block = g_heap.freed[index]) {
        g_heap.freed[index] = block->next;
        return block;
    }
    size_t size = ClassSize(index);
    if (g_heap.next[index] == NULL || size_t(g_heap.end[index] - g_heap.next[index]) < size) {
        if (g_heap.used + kPageSize > kRangeSize)
            return NULL;
        if (g_heap.used + kPageSize > g_heap.committed) {
            size_t step = kRangeSize - g_heap.committed < kCommitStep ? kRangeSize - g_heap.committed : kCommitStep;
            if (VirtualAlloc(g_heap.base + g_heap.committed, step, MEM_COMMIT, PAGE_READWRITE) == NULL)
                return NULL;
            g_heap.committed += step;
        }
        char* page = g_heap.base + g_heap.used;
        g_heap.pageClass[g_heap.used >> kPageShift] = static_cast<unsigned char>(index);
        g_heap.used += kPageSize;
        g_heap.next[index] = page;
        g_heap.end[index] = page + kPageSize;
    }
    void* block = g_heap.next[index];
    g_heap.next[index] += size;
    return block;
}

size_t OwnedSize(const void* p)
{
    size_t page = size_t(static_cast<const char*>(p) - g_heap.base) >> kPageShift;
    return ClassSize(g_heap.pageClass[page]);
}

void* Allocate(size_t n)
{
    SetUp();
    if (n <= kLargest && g_heap.base != NULL) {
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
    size_t page = size_t(static_cast<char*>(p) - g_heap.base) >> kPageShift;
    CHeapLock lock;
    FreeBlock* block = static_cast<FreeBlock*>(p);
    size_t index = g_heap.pageClass[page];
    block->next = g_heap.freed[index];
    g_heap.freed[index] = block;
}

void* Resize(void* p, size_t n)
{
    if (p == NULL)
        return Allocate(n);
    SetUp();
    if (!Owns(p))
        return g_heap.runtimeRealloc(p, n);
    size_t have = OwnedSize(p);
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
