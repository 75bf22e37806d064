// Built into each plug-in DLL of a test build only: a switch that makes the
// DLL's next allocation through operator new fail.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<bool> failNext(false);

void* operator new(std::size_t size)
{
    void* block = failNext.exchange(false) ? nullptr : std::malloc(size != 0 ? size : 1);
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

// Arms (1) or disarms (0) the switch; answers whether it was still armed.
extern "C" __declspec(dllexport) int TestFailNextAllocation(int arm)
{
    return failNext.exchange(arm != 0) ? 1 : 0;
}
