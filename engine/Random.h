// The one random sequence of the show, shared by lip sync, particles and the
// party scene. Its start state is fixed and it is never seeded, so the same
// frames drawn in the same order come out the same on every platform.
#pragma once

// Largest value randomInt() returns.
constexpr int kRandomMax = 32767;

// Next integer of the shared sequence, uniform over 0 ... 32767.
int randomInt();

// Next integer of the shared sequence divided by 32767.0: 0 and 1 included.
double random01();

// Puts the sequence back to its start state (the state of a fresh process).
void resetRandom();
