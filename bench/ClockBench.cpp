// quorvane-clock-bench: how far the player's show clock strays from the music.
// Plays data/duskwalk.ogg as the player does (SDL_mixer, 44100 Hz, 2048-sample
// buffers; SDL's dummy audio driver unless SDL_AUDIODRIVER names another),
// runs the player's clock (ShowClock) from frames at 60 Hz, and the old tick
// clock beside it. Every time the music's position moves on (watched every
// millisecond) it notes how far each clock is from that position. Prints the
// worst offsets per stretch of the show and overall.
//
//   quorvane-clock-bench [--seconds S] [-C DIR]    (default: the whole track)

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/ShowClock.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr double kStretch = 30.0; // seconds of show per line of the table

double now()
{
    return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency());
}

// The player's clock with its follow window, and one with a longer window
// for comparison.
constexpr double kWindows[2] = {ShowClock::kFollowWindow, 0.5};

struct Sample {
    double position;    // where the music's position moved to
    double follower[2]; // each player clock at that moment, minus the position
    double tick;        // the tick clock at that moment, minus the position
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

int usage(const char* message)
{
    std::fprintf(stderr, "quorvane-clock-bench: %s\nusage: quorvane-clock-bench [--seconds S] [-C DIR]\n", message);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = -1.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::printf("usage: quorvane-clock-bench [--seconds S] [-C DIR]\n"
                        "Offsets between the player's clock, the old tick clock and the music's position.\n");
            return 0;
        }
        if (i + 1 >= argc)
            return usage((arg + " needs a value").c_str());
        if (arg == "--seconds")
            seconds = std::atof(argv[++i]);
        else if (arg == "-C") {
            if (chdir(argv[++i]) != 0)
                return usage(std::strerror(errno));
        } else
            return usage(("unknown option " + arg).c_str());
    }

    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER) != 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) != 0) {
        std::fprintf(stderr, "quorvane-clock-bench: cannot open audio: %s\n", SDL_GetError());
        return 1;
    }
    Mix_Music* music = Mix_LoadMUS("data/duskwalk.ogg");
    if (!music) {
        std::fprintf(stderr, "quorvane-clock-bench: data/duskwalk.ogg: %s\n", Mix_GetError());
        return 1;
    }
    const double length = Mix_MusicDuration(music);
    if (seconds <= 0.0 || seconds > length)
        seconds = length;
    std::fprintf(stderr, "quorvane-clock-bench: %.0f s of music on the %s audio driver...\n", seconds,
        SDL_GetCurrentAudioDriver());

    ShowClock clocks[2] = {ShowClock(kWindows[0]), ShowClock(kWindows[1])};
    Mix_PlayMusic(music, 1);
    const double start = now();
    for (ShowClock& clock : clocks)
        clock.seek(0.0, start);
    double frameAt = start;
    double frameValue[2] = {0.0, 0.0};
    double lastPosition = Mix_GetMusicPosition(music);
    std::vector<Sample> samples;
    while (Mix_PlayingMusic()) {
        const double t = now();
        const double position = Mix_GetMusicPosition(music);
        if (t >= frameAt + kFrame) {
            // A frame: the player reads the clock once, as in its loop.
            frameAt = t;
            for (int c = 0; c < 2; ++c)
                frameValue[c] = clocks[c].frameTime(t, position);
        }
        if (position != lastPosition) {
            lastPosition = position;
            // What the player's clock shows at this moment: the last frame's
            // value run on at real speed.
            Sample sample{position, {}, (t - start) - position};
            for (int c = 0; c < 2; ++c)
                sample.follower[c] = frameValue[c] + (t - frameAt) - position;
            samples.push_back(sample);
        }
        if (t - start > seconds)
            break;
        SDL_Delay(1);
    }
    const double played = lastPosition;
    // The driver's pace: the last step's position against its wall time.
    const double pace = samples.empty() ? 0.0 : played / (played + samples.back().tick);
    std::printf("music played: %.3f s; the driver plays %.3f %% %s than real time\n", played,
        std::abs(pace - 1.0) * 100.0, pace >= 1.0 ? "faster" : "slower");
    std::printf("worst offset from the music's position, ms\n");
    std::printf("%-14s %16s %16s %12s\n", "show time", "player clock", "0.5 s window", "tick clock");
    for (double from = 0.0; from < played; from += kStretch) {
        double worst[3] = {0.0, 0.0, 0.0};
        for (const Sample& s : samples) {
            if (s.position >= from && s.position < from + kStretch && s.position > 1.0) {
                for (int c = 0; c < 2; ++c)
                    worst[c] = std::max(worst[c], std::abs(s.follower[c]) * 1000.0);
                worst[2] = std::max(worst[2], std::abs(s.tick) * 1000.0);
            }
        }
        std::printf("%5.0f - %5.0f s %16.1f %16.1f %12.1f\n", from, std::min(from + kStretch, played), worst[0],
            worst[1], worst[2]);
    }
    std::vector<double> offsets[3];
    for (const Sample& s : samples) {
        if (s.position > 1.0) {
            for (int c = 0; c < 2; ++c)
                offsets[c].push_back(std::abs(s.follower[c]) * 1000.0);
            offsets[2].push_back(std::abs(s.tick) * 1000.0);
        }
    }
    std::printf("over %zu steps of the music after the first second (median, 99th percentile, worst; ms):\n",
        offsets[2].size());
    const char* names[3] = {"player clock", "0.5 s window", "tick clock"};
    int within = 0;
    for (double offset : offsets[0])
        within += offset <= 17.0;
    for (int c = 0; c < 3; ++c)
        std::printf("  %-13s %8.1f %8.1f %8.1f\n", names[c], percentile(offsets[c], 0.5), percentile(offsets[c], 0.99),
            percentile(offsets[c], 1.0));
    std::printf("player clock within 17 ms at %.1f %% of the steps\n",
        offsets[0].empty() ? 0.0 : 100.0 * within / offsets[0].size());
    Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}
