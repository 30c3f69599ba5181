#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// These replace the global allocation functions, so malloc and free pair up.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long> allocations{0};
std::atomic<std::size_t> failFrom{0};

void* allocate(std::size_t size)
{
    ++allocations;
    const std::size_t limit = failFrom.load(std::memory_order_relaxed);
    if (limit != 0 && size >= limit)
        return nullptr;
    return std::malloc(size ? size : 1);
}

} // namespace

long allocationsSoFar()
{
    return allocations.load();
}

void failAllocationsFrom(std::size_t bytes)
{
    failFrom = bytes;
}

void* operator new(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
