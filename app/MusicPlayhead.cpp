#include "MusicPlayhead.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/SoundServerPosition.h"

MusicPlayhead::MusicPlayhead()
{
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0)
        bytesPerSecond = static_cast<double>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0)) {
        if (const char* why = SoundServerPosition::unavailable())
            std::fprintf(stderr, "quorvane: %s\n", why);
        else
            server = std::make_unique<SoundServerPosition>();
    }
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
        const std::lock_guard<std::mutex> guard(lock);
        starting = true;
        startPosition = position;
    }
    return Mix_FadeInMusicPos(music, 1, 0, position) == 0;
}

void MusicPlayhead::stop()
{
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    const std::lock_guard<std::mutex> guard(lock);
    starting = false;
    latest.position = -1.0;
    latest.mixed = -1.0;
}

bool MusicPlayhead::startsAt(Mix_Music* music, double position)
{
    stop();
    // The hook leaves music alone that play() did not start.
    const int volume = Mix_VolumeMusic(-1);
    Mix_VolumeMusic(0);
    const bool started = Mix_FadeInMusicPos(music, 1, 0, position) == 0;
    const std::string why = started ? std::string() : Mix_GetError();
    Mix_HaltMusic();
    Mix_VolumeMusic(volume);
    if (!started)
        Mix_SetError("%s", why.c_str());
    return started;
}

MusicPlayhead::Mix MusicPlayhead::last() const
{
    const std::lock_guard<std::mutex> guard(lock);
    return latest;
}

double MusicPlayhead::deviceHold() const
{
    const std::lock_guard<std::mutex> guard(lock);
    return hold;
}

void MusicPlayhead::record(std::vector<Mix>* list)
{
    const std::lock_guard<std::mutex> guard(lock);
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
    const std::lock_guard<std::mutex> guard(playhead.lock);
    if (playhead.bytesPerSecond <= 0.0)
        return;
    const double buffer = length / playhead.bytesPerSecond;
    playhead.streamEnd += buffer;
    // SDL hands the buffer to the device right after this hook; the device
    // holds at least all of it.
    double heard = playhead.streamEnd - buffer;
    if (playhead.server) {
        playhead.server->mixed(at, playhead.streamEnd, buffer);
        const double reported = playhead.server->heardAt(at);
        if (reported >= 0.0)
            heard = std::min(heard, reported);
    }
    playhead.hold = playhead.streamEnd - heard;
    Mix& latest = playhead.latest;
    if (!playing) {
        latest.position = -1.0;
        latest.mixed = -1.0;
        return;
    }
    if (playhead.starting) {
        latest.mixed = playhead.startPosition;
        playhead.streamStart = playhead.streamEnd - buffer;
        playhead.starting = false;
    }
    if (latest.mixed < 0.0)
        return; // music someone else started
    latest.mixed += buffer;
    latest.mixedAt = at;
    // While the device still plays what came before the music, the music's
    // start is heard later, as the device plays on at the music's pace.
    latest.position = playhead.startPosition + std::max(0.0, heard - playhead.streamStart);
    latest.at = at + std::max(0.0, playhead.streamStart - heard);
    if (playhead.mixes && playhead.recorded < playhead.mixes->size())
        (*playhead.mixes)[playhead.recorded++] = latest;
}
