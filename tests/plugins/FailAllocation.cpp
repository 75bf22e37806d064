// Built into each plug-in DLL of a test build only: a switch that makes the
// DLL's next allocation through operator new fail, or throw an exception of
// no standard type (an int), as any code the plug-in calls might.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

// 0: off; 1: the next allocation fails (bad_alloc); 2: it throws an int.
static std::atomic<int> failNext(0);

void* operator new(std::size_t size)
{
    int how = failNext.exchange(0);
    if (how == 2)
        throw how;
    void* block = how != 0 ? nullptr : std::malloc(size != 0 ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

// Arms (1: bad_alloc, 2: an int) or disarms (0) the switch; answers whether
// it was still armed.
extern "C" __declspec(dllexport) int TestFailNextAllocation(int arm)
{
    return failNext.exchange(arm) != 0 ? 1 : 0;
}
