#include "support/peak_memory.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>

namespace vektest {

namespace {

std::atomic<size_t> g_Held{0};
std::atomic<size_t> g_Peak{0};
std::atomic<size_t> g_Base{0};

}  // namespace

void ResetPeakMemory()
{
    const size_t now = g_Held.load();
    g_Base = now;
    g_Peak = now;
}

size_t PeakMemory()
{
    const size_t peak = g_Peak.load(), base = g_Base.load();
    return peak > base ? peak - base : 0;
}

namespace detail {

void* Take(size_t size) noexcept
{
    void* p = std::malloc(size ? size : 1);
    if (!p) return nullptr;
    const size_t block = malloc_usable_size(p);
    const size_t now = g_Held.fetch_add(block) + block;
    size_t peak = g_Peak.load();
    while (now > peak && !g_Peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void* TakeOrThrow(size_t size)
{
    void* p = Take(size);
    if (!p) throw std::bad_alloc();
    return p;
}

void Give(void* p) noexcept
{
    if (!p) return;
    g_Held.fetch_sub(malloc_usable_size(p));
    std::free(p);
}

}  // namespace detail

}  // namespace vektest
