// Counts every allocation made through the global operator new (all of its
// forms), by replacing the allocation functions of the program that links
// AllocationCounter.cpp. Deallocation pairs up with it through free.
#pragma once

// Allocations through operator new since the program started.
long allocationsSoFar();
