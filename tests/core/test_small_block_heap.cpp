// The Windows programs' malloc family: blocks of every size keep their bytes
// apart and through realloc, blocks of the C runtime's own DLL are freed
// by it, threads allocating and freeing at once never share a block, pages
// freed by one size class serve another and go back to the system a run of
// adjacent pages at a time, debug builds stop on a block given
// back twice or never handed out, and without the runtime's functions every
// block goes to the system's heap.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/SmallBlockHeap.h"

namespace {

void Fill(void* p, size_t n, unsigned seed)
{
    unsigned char* b = static_cast<unsigned char*>(p);
    for (size_t i = 0; i < n; i++)
        b[i] = static_cast<unsigned char>(seed + i * 7);
}

bool Holds(const void* p, size_t n, unsigned seed)
{
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; i++)
        if (b[i] != static_cast<unsigned char>(seed + i * 7))
            return false;
    return true;
}

// Run in a process of its own: the heap cannot be switched back on after.
// Returns the number of faults seen.
int UseHeapWithoutRuntime()
{
    void* before = malloc(100);
    SmallBlockHeapFailLookupForTest();
    SetSmallBlockHeapOn(true);
    int faults = SmallBlockHeapIsOn() || !SmallBlockHeapOwns(before);
    const size_t sizes[] = {1, 100, 20000};
    for (size_t n : sizes) {
        char* p = static_cast<char*>(malloc(n));
        faults += p == NULL || SmallBlockHeapOwns(p);
        Fill(p, n, 5);
        p = static_cast<char*>(realloc(p, 3 * n));
        faults += p == NULL || SmallBlockHeapOwns(p) || !Holds(p, n, 5);
        free(p);
    }
    unsigned char* zeroed = static_cast<unsigned char*>(calloc(10, 10));
    faults += zeroed == NULL || zeroed[0] != 0 || zeroed[99] != 0;
    free(zeroed);
    // A block handed out before still goes back to the heap.
    free(before);
    return faults;
}

} // namespace

TEST(SmallBlockHeapDeathTest, WithoutTheRuntimeEveryBlockGoesToTheSystemHeap)
{
    EXPECT_EXIT(_exit(UseHeapWithoutRuntime()), testing::ExitedWithCode(0), "");
}

#ifndef NDEBUG
TEST(SmallBlockHeapDeathTest, DebugBuildsStopOnABlockNotOut)
{
    // A size nothing else here asks for, lest the freed block be handed out again.
    char* block = static_cast<char*>(malloc(9000));
    char* volatile inside = block + 16;
    void* volatile moved = NULL;
    EXPECT_DEATH(free(inside), "free of 0x\\w+: the heap never handed out a block there");
    EXPECT_DEATH(moved = realloc(inside, 100), "realloc of 0x\\w+: the heap never handed out");
    char* volatile freed = block;
    free(freed);
    EXPECT_DEATH(free(freed), "free of 0x\\w+: the block was already freed");
    EXPECT_DEATH(moved = realloc(freed, 100), "realloc of 0x\\w+: the block was already freed");
    EXPECT_EQ(moved, nullptr);
}
#endif

TEST(SmallBlockHeap, FreedPagesServeOtherClassesAndTheSurplusIsDecommittedInRuns)
{
    // 40-byte blocks fill some 1100 pages, 72-byte ones some 1830.
    const size_t kCount = 1500000;
    const size_t kPages40 = kCount * 48 >> 16, kPages72 = kCount * 80 >> 16;
    const size_t kKept = 512;        // free pages kept committed (32 MiB)
    const size_t kSlack = 34 << 20;  // those, and the pages being cut
    std::vector<void*> blocks(kCount);
    size_t before = SmallBlockHeapCommitted();
    for (size_t i = 0; i < kCount; i++)
        blocks[i] = malloc(40);
    size_t small = SmallBlockHeapCommitted();
    EXPECT_GE(small, before + kCount * 40);
    // The blocks took every kept page: of some 730 pages freed now, no more
    // than the bound stay committed (give or take pages other blocks share)...
    const size_t kFirst = kCount * 2 / 3;
    for (size_t i = 0; i < kFirst; i++)
        free(blocks[i]);
    EXPECT_LE(SmallBlockHeapCommitted(), small - ((kFirst * 48 / 65536 - 32 - kKept) << 16));
    // ...and the pages next to them go back a run to a call, not a page to a call.
    size_t calls = SmallBlockHeapPageCalls();
    for (size_t i = kFirst; i < kCount; i++)
        free(blocks[i]);
    EXPECT_LE(SmallBlockHeapPageCalls() - calls, kPages40 / 16);
    EXPECT_LE(SmallBlockHeapCommitted(), before + kSlack);

    calls = SmallBlockHeapPageCalls();
    for (size_t i = 0; i < kCount; i++) {
        blocks[i] = malloc(72);
        Fill(blocks[i], 72, unsigned(i));
    }
    // Decommitted pages are committed again a run to a call too.
    EXPECT_LE(SmallBlockHeapPageCalls() - calls, kPages72 / 8);
    // Pages of their own would put the 72-byte blocks on top of the 40-byte ones.
    EXPECT_LE(SmallBlockHeapCommitted(), before + kCount * 80 + kSlack);
    EXPECT_LT(before + kCount * 80 + kSlack, small + kCount * 80);
    // Pages in use between free ones stay committed: free the blocks of two
    // pages out of three, then of the rest.
    size_t damaged = 0;
    for (int third : {1, 0}) {
        for (size_t i = 0; i < kCount; i++) {
            if (blocks[i] != NULL && (reinterpret_cast<uintptr_t>(blocks[i]) >> 16) % 3 >= size_t(third)) {
                damaged += !Holds(blocks[i], 72, unsigned(i));
                free(blocks[i]);
                blocks[i] = NULL;
            }
        }
        EXPECT_LE(SmallBlockHeapCommitted(), before + (third ? kCount * 80 / 3 : 0) + kSlack);
    }
    EXPECT_EQ(damaged, 0u);
}

TEST(SmallBlockHeap, TrimsToHalfTheBoundAndRecommitsSixteenPagesToACall)
{
    // 4,000-byte blocks, sixteen to a page, fill 1,200 pages: the pool of
    // kept pages and the decommitted pages other tests left are taken first.
    const size_t kPerPage = 16, kPages = 1200, kKept = 512, kStep = 16;
    std::vector<void*> blocks(kPerPage * kPages);
    for (void*& block : blocks)
        block = malloc(4000);
    // The pages of even number go back, each between two pages in use: the
    // page that takes the pool beyond the bound has it trimmed to half of it.
    size_t keptAfterTrim = SIZE_MAX;
    for (void*& block : blocks) {
        if ((reinterpret_cast<uintptr_t>(block) >> 16) % 2 != 0)
            continue;
        size_t committed = SmallBlockHeapCommitted(), calls = SmallBlockHeapPageCalls();
        free(block);
        block = NULL;
        if (keptAfterTrim == SIZE_MAX && SmallBlockHeapPageCalls() != calls)
            keptAfterTrim = kKept + 1 - ((committed - SmallBlockHeapCommitted()) >> 16);
    }
    // Leftovers of the last recommitted run may be decommitted with a neighbour.
    EXPECT_LE(keptAfterTrim, kKept / 2);
    EXPECT_GE(keptAfterTrim, kKept / 2 - kStep);
    for (void*& block : blocks) {
        free(block);
        block = NULL;
    }
    // Long runs of decommitted pages are committed again sixteen pages to a
    // call at most (committing fresh pages takes two calls: one for the table).
    size_t most = 0;
    for (void*& block : blocks) {
        size_t committed = SmallBlockHeapCommitted(), calls = SmallBlockHeapPageCalls();
        block = malloc(4000);
        size_t grown = SmallBlockHeapCommitted() - committed, made = SmallBlockHeapPageCalls() - calls;
        if (made == 1 && grown > most)
            most = grown;
    }
    EXPECT_EQ(most, kStep << 16);
    for (void* block : blocks)
        free(block);
}

TEST(SmallBlockHeap, BlocksKeepTheirBytesThroughReuseAndRealloc)
{
    // Sizes across every class, the class edges and past the largest.
    std::vector<size_t> sizes = {0, 1, 15, 16, 17, 511, 512, 513, 640, 641, 8192, 16383, 16384, 16385, 100000};
    for (size_t n = 24; n < 20000; n = n * 5 / 4 + 3)
        sizes.push_back(n);
    std::vector<void*> blocks;
    for (int round = 0; round < 3; round++) {
        for (size_t i = 0; i < sizes.size(); i++) {
            void* p = malloc(sizes[i]);
            ASSERT_NE(p, nullptr);
            // The heap's own blocks are aligned to 16 bytes; every block to
            // what the compiler takes operator new to give (the runtime's
            // malloc gives 8 on 32-bit Windows, 16 on 64-bit).
            uintptr_t address = reinterpret_cast<uintptr_t>(p);
            EXPECT_EQ(address % (SmallBlockHeapOwns(p) ? 16 : __STDCPP_DEFAULT_NEW_ALIGNMENT__), 0u) << sizes[i];
            EXPECT_EQ(SmallBlockHeapOwns(p), sizes[i] <= 16384) << sizes[i];
            Fill(p, sizes[i], unsigned(i + round));
            blocks.push_back(p);
        }
        for (size_t i = 0; i < sizes.size(); i++)
            EXPECT_TRUE(Holds(blocks[blocks.size() - sizes.size() + i], sizes[i], unsigned(i + round))) << sizes[i];
        // Free every other block so that the next round reuses them.
        for (size_t i = blocks.size() - sizes.size(); i < blocks.size(); i += 2) {
            free(blocks[i]);
            blocks[i] = NULL;
        }
    }
    for (void* p : blocks)
        free(p);

    // Growing and shrinking keeps the bytes both can hold.
    void* p = malloc(10);
    Fill(p, 10, 3);
    for (size_t n : {size_t(40), size_t(600), size_t(9000), size_t(70000), size_t(300), size_t(5)}) {
        size_t kept = n < 10 ? n : 10;
        p = realloc(p, n);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(Holds(p, kept, 3)) << n;
    }
    EXPECT_EQ(realloc(p, 0), nullptr);

    // calloc clears a reused block and refuses a product that overflows.
    void* dirty = malloc(64);
    memset(dirty, 0xAB, 64);
    free(dirty);
    unsigned char* clean = static_cast<unsigned char*>(calloc(8, 8));
    for (int i = 0; i < 64; i++)
        EXPECT_EQ(clean[i], 0) << i;
    free(clean);
    volatile size_t huge = SIZE_MAX / 2;
    EXPECT_EQ(calloc(huge, 4), nullptr);
    free(NULL);
    void* fresh = realloc(NULL, 33);
    EXPECT_NE(fresh, nullptr);
    free(fresh);
}

TEST(SmallBlockHeap, BlocksOfTheRuntimeGoBackToIt)
{
    // The heap found the runtime's functions, and _strdup allocates inside
    // the runtime's DLL, not through the heap.
    EXPECT_TRUE(SmallBlockHeapIsOn());
    char* copy = _strdup("a text the runtime allocated");
    ASSERT_NE(copy, nullptr);
    copy = static_cast<char*>(realloc(copy, 4000));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "a text the runtime allocated");
    free(copy);
}

TEST(SmallBlockHeap, ThreadsNeverShareABlock)
{
    const int kThreads = 6;
    const int kRounds = 20000;
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; t++) {
        threads.emplace_back([t, &failures] {
            std::vector<std::pair<void*, size_t>> held;
            unsigned seed = unsigned(t) * 131;
            for (int i = 0; i < kRounds; i++) {
                size_t n = (seed = seed * 1103515245u + 12345u) % 3000 + 1;
                void* p = malloc(n);
                Fill(p, n, unsigned(t));
                held.push_back({p, n});
                if (held.size() > 64) {
                    // Check and free a block from the middle; regrow another.
                    size_t k = seed % held.size();
                    if (!Holds(held[k].first, held[k].second, unsigned(t)))
                        failures[t]++;
                    free(held[k].first);
                    held[k] = held.back();
                    held.pop_back();
                    size_t grow = (seed >> 8) % held.size();
                    size_t had = held[grow].second;
                    size_t now = had < 20000 ? had * 2 : had / 3 + 1;
                    held[grow].first = realloc(held[grow].first, now);
                    if (!Holds(held[grow].first, now < had ? now : had, unsigned(t)))
                        failures[t]++;
                    Fill(held[grow].first, now, unsigned(t));
                    held[grow].second = now;
                }
            }
            for (auto& h : held) {
                if (!Holds(h.first, h.second, unsigned(t)))
                    failures[t]++;
                free(h.first);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; t++)
        EXPECT_EQ(failures[t], 0) << "thread " << t;
}

#endif // _WIN32
