#pragma once
// How much memory a call takes at its peak, for tests that feed the loaders
// hostile sizes. Only blocks of the global operator new are counted (C's
// malloc, used inside the decoding libraries, is not), and only in a test
// program that says VEKTEST_COUNT_ALLOCATIONS() once at file scope.
#include <cstddef>
#include <new>

namespace vektest {

// Starts a measurement at what is held now.
void ResetPeakMemory();
// The most bytes held at once since the last reset, beyond what was held at
// the reset.
size_t PeakMemory();

// The peak of one call.
template <class Call>
size_t PeakMemoryOf(Call&& call)
{
    ResetPeakMemory();
    call();
    return PeakMemory();
}

namespace detail {
void* Take(size_t size) noexcept;
void* TakeOrThrow(size_t size);
void Give(void* p) noexcept;
}  // namespace detail

}  // namespace vektest

// Replaces every form of the global operators, so that no block is taken by
// one that counts and given back by one that does not.
#define VEKTEST_COUNT_ALLOCATIONS()                                                             \
    void* operator new(size_t size) { return vektest::detail::TakeOrThrow(size); }              \
    void* operator new[](size_t size) { return vektest::detail::TakeOrThrow(size); }            \
    void* operator new(size_t size, const std::nothrow_t&) noexcept                             \
    {                                                                                           \
        return vektest::detail::Take(size);                                                     \
    }                                                                                           \
    void* operator new[](size_t size, const std::nothrow_t&) noexcept                           \
    {                                                                                           \
        return vektest::detail::Take(size);                                                     \
    }                                                                                           \
    void operator delete(void* p) noexcept { vektest::detail::Give(p); }                        \
    void operator delete[](void* p) noexcept { vektest::detail::Give(p); }                      \
    void operator delete(void* p, size_t) noexcept { vektest::detail::Give(p); }                \
    void operator delete[](void* p, size_t) noexcept { vektest::detail::Give(p); }              \
    void operator delete(void* p, const std::nothrow_t&) noexcept { vektest::detail::Give(p); } \
    void operator delete[](void* p, const std::nothrow_t&) noexcept { vektest::detail::Give(p); }
