#include "../SoundServerPosition.h"

// No sound server to ask: heardAt() stays negative, and the music's
// playhead follows the mix alone.

const char* SoundServerPosition::unavailable()
{
    return "the sound server's latency is not available in this build (it reads no PulseAudio server); "
           "the clock follows the sound mixed";
}

SoundServerPosition::SoundServerPosition() = default;

SoundServerPosition::~SoundServerPosition() = default;

void SoundServerPosition::mixed(double, double, double)
{
}

double SoundServerPosition::heardAt(double) const
{
    return -1.0;
}

void SoundServerPosition::ask()
{
}

void SoundServerPosition::learn(double)
{
}
