// Counts every allocation made through the global operator new (all of its
// forms), by replacing the allocation functions of the program that links
// AllocationCounter.cpp, and can make large ones fail on purpose.
// Deallocation pairs up with it through free.
#pragma once

#include <cstddef>

// Allocations through operator new since the program started.
long allocationsSoFar();

// From now on every allocation of `bytes` or more fails: operator new throws
// std::bad_alloc and its nothrow forms return null. 0 lets all succeed again.
void failAllocationsFrom(std::size_t bytes);
