// The Windows programs' malloc family: blocks of every size keep their bytes
// apart and through realloc, blocks of the C runtime's own DLL are freed
// by it, and threads allocating and freeing at once never share a block.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string.h>
#include <thread>
#include <vector>

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

} // namespace

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
            EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u) << sizes[i];
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
    // _strdup allocates inside the C runtime's DLL, not through our heap.
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
