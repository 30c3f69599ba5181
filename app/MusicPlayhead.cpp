#include "MusicPlayhead.h"

#include <SDL.h>
#include <SDL_mixer.h>

MusicPlayhead::MusicPlayhead()
{
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0)
        bytesPerSecond = static_cast<double>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
    Mix_SetPostMix(&MusicPlayhead::hook, this);
}

MusicPlayhead::~MusicPlayhead()
{
    // Taken under the audio lock: no hook runs with this playhead after it.
    Mix_SetPostMix(nullptr, nullptr);
}

double MusicPlayhead::now()
{
    return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency());
}

bool MusicPlayhead::play(Mix_Music* music, double position)
{
    // Halted first, so that no mix of the old music takes the new start;
    // then started at the position in one call, so that no mix plays the
    // track's beginning in between.
    stop();
    {
        const std::lock_guard<std::mutex> hold(lock);
        starting = true;
        startPosition = position;
    }
    return Mix_FadeInMusicPos(music, 1, 0, position) == 0;
}

void MusicPlayhead::stop()
{
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    const std::lock_guard<std::mutex> hold(lock);
    starting = false;
    latest.position = -1.0;
}

MusicPlayhead::Mix MusicPlayhead::last() const
{
    const std::lock_guard<std::mutex> hold(lock);
    return latest;
}

void MusicPlayhead::record(std::vector<Mix>* list)
{
    const std::lock_guard<std::mutex> hold(lock);
    mixes = list;
    recorded = 0;
}

void MusicPlayhead::hook(void* data, unsigned char*, int length)
{
    MusicPlayhead& playhead = *static_cast<MusicPlayhead*>(data);
    // The hook runs with the audio locked, as Mix_PlayingMusic locks it: the
    // answer belongs to this mix.
    const bool playing = Mix_PlayingMusic() != 0;
    const double at = now();
    const std::lock_guard<std::mutex> hold(playhead.lock);
    if (!playing) {
        playhead.latest.position = -1.0;
        return;
    }
    if (playhead.starting) {
        playhead.latest.position = playhead.startPosition;
        playhead.starting = false;
    }
    if (playhead.latest.position < 0.0 || playhead.bytesPerSecond <= 0.0)
        return; // music someone else started
    playhead.latest.position += length / playhead.bytesPerSecond;
    playhead.latest.at = at;
    if (playhead.mixes && playhead.recorded < playhead.mixes->size())
        (*playhead.mixes)[playhead.recorded++] = playhead.latest;
}
