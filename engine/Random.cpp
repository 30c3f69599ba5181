#include "Random.h"

#include <cstdint>

namespace {

// A 32-bit linear congruential generator whose upper bits give 15-bit
// outputs. Unsigned arithmetic wraps the same way on every compiler, which
// is what makes the sequence portable (the C library's rand() is not).
constexpr uint32_t kStartState = 1;
uint32_t state = kStartState;

} // namespace

int randomInt()
{
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

double random01()
{
    return randomInt() / 32767.0;
}

void resetRandom()
{
    state = kStartState;
}
