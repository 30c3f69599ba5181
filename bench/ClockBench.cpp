// quorvane-clock-bench: how far the player's show clock strays from the music.
// Plays the show's music as the player does (SDL_mixer, 44100 Hz, 2048-sample
// buffers; SDL's dummy audio driver unless SDL_AUDIODRIVER names another, and
// the player's MusicPlayhead), and runs the player's clock (ShowClock) from
// frames at 60 Hz, with the old tick clock beside it. The playhead notes the
// music's position and the wall time after every buffer mixed; between two
// mixes the music runs on evenly. Every frame is held against the music's
// position at the frame's own moment. Prints the worst offsets per stretch
// of the show and overall, and how far SDL_mixer's decoder position
// (Mix_GetMusicPosition) is from the mixed position.

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "app/MusicPlayhead.h"
#include "app/ShowClock.h"
#include "show/ShowFiles.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr double kStretch = 30.0; // seconds of show per line of the table

using Mix = MusicPlayhead::Mix;

// The music's position at wall time `at`, running evenly between the mixes
// around it; negative outside them. `from` is where to start looking.
double positionAt(const std::vector<Mix>& mixes, size_t& from, double at)
{
    while (from + 1 < mixes.size() && mixes[from + 1].at <= at)
        ++from;
    if (from + 1 >= mixes.size() || mixes[from].at > at)
        return -1.0;
    const Mix& a = mixes[from];
    const Mix& b = mixes[from + 1];
    return a.position + (at - a.at) * (b.position - a.position) / (b.at - a.at);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

// A frame: its wall time, the player clock's show time and how far
// SDL_mixer's decoder position was ahead of the playhead's then.
struct Frame {
    double at;
    double time;
    double decoderLead;
};

const char* const kHelp =
    "usage: quorvane-clock-bench [--seconds S] [-C DIR]\n"
    "Plays the show's music on SDL's dummy audio driver (or the one SDL_AUDIODRIVER\n"
    "names) and prints how far the player's clock and the old tick clock stray\n"
    "from the music's position, frame by frame at 60 Hz.\n"
    "\n"
    "  --seconds S   play only the first S seconds (default: the whole track)\n"
    "  -C DIR        run in DIR, the show's folder (default: here)\n"
    "  -h, --help    this text\n"
    "  --version     the version\n"
    "\n"
    "Exit codes: 0 measured, 1 failure, 2 bad usage.\n";

std::runtime_error failure(const std::string& what, const char* reason)
{
    return std::runtime_error(what + ": " + reason);
}

int bench(const std::vector<std::string>& arguments)
{
    double seconds = -1.0;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isOption("--seconds"))
            seconds = ArgumentReader::number("--seconds", args.value(), 0.1, 1e6);
        else if (args.isOption("-C")) {
            const std::string directory = args.value();
            if (chdir(directory.c_str()) != 0)
                throw failure("-C " + directory, std::strerror(errno));
        } else
            throw UsageError("unexpected argument \"" + args.operand() + "\"");
    }

    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER) != 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) != 0)
        throw failure("cannot open audio", SDL_GetError());
    Mix_Music* music = Mix_LoadMUS(ShowFiles::kMusic);
    if (!music)
        throw failure(ShowFiles::kMusic, Mix_GetError());
    const double length = Mix_MusicDuration(music);
    if (seconds <= 0.0 || seconds > length)
        seconds = length;
    std::fprintf(stderr, "quorvane-clock-bench: %.0f s of music on the %s audio driver...\n", seconds,
        SDL_GetCurrentAudioDriver());

    std::vector<Mix> mixes(static_cast<size_t>(seconds * 44100.0 / 2048.0 * 1.1) + 100);
    std::vector<Frame> frames;
    frames.reserve(static_cast<size_t>(seconds / kFrame * 1.1) + 100);
    {
        MusicPlayhead playhead;
        playhead.record(&mixes);
        ShowClock clock;
        const double start = MusicPlayhead::now();
        clock.seek(0.0, start);
        if (!playhead.play(music, 0.0))
            throw failure(ShowFiles::kMusic, Mix_GetError());
        double frameAt = start;
        while (Mix_PlayingMusic() && frameAt - start < seconds) {
            const double t = MusicPlayhead::now();
            if (t < frameAt + kFrame) {
                SDL_Delay(1);
                continue;
            }
            // A frame: the player reads the playhead and its clock once.
            frameAt = t;
            const Mix mix = playhead.last();
            const double decoder = Mix_GetMusicPosition(music);
            frames.push_back({t, clock.frameTime(t, mix.position, mix.at), decoder - mix.position});
        }
        playhead.stop();
        playhead.record(nullptr);
        mixes.erase(std::remove_if(mixes.begin(), mixes.end(), [](const Mix& m) { return m.at == 0.0; }),
            mixes.end());
        for (Frame& frame : frames)
            frame.at -= start;
        for (Mix& mix : mixes)
            mix.at -= start;
    }
    if (mixes.size() < 2)
        throw std::runtime_error(std::string(ShowFiles::kMusic) + ": the music did not move");

    const double played = mixes.back().position;
    const double pace = (mixes.back().position - mixes.front().position) / (mixes.back().at - mixes.front().at);
    std::printf("music played: %.3f s in %zu mixes; the driver plays %.3f %% %s than real time\n", played,
        mixes.size(), std::abs(pace - 1.0) * 100.0, pace >= 1.0 ? "faster" : "slower");

    // Each frame's offset from the music at the frame's moment, after the
    // first second.
    struct Offset {
        double position;
        double player; // ms
        double tick;   // ms
    };
    std::vector<Offset> offsets;
    std::vector<double> decoderLead;
    size_t from = 0;
    for (const Frame& frame : frames) {
        const double position = positionAt(mixes, from, frame.at);
        if (position <= 1.0)
            continue;
        offsets.push_back(
            {position, std::abs(frame.time - position) * 1000.0, std::abs(frame.at - position) * 1000.0});
        decoderLead.push_back(frame.decoderLead * 1000.0);
    }
    std::printf("worst offset of a frame from the music's position, ms\n");
    std::printf("%-14s %14s %12s\n", "show time", "player clock", "tick clock");
    for (double stretch = 0.0; stretch < played; stretch += kStretch) {
        double worst[2] = {0.0, 0.0};
        for (const Offset& o : offsets) {
            if (o.position >= stretch && o.position < stretch + kStretch) {
                worst[0] = std::max(worst[0], o.player);
                worst[1] = std::max(worst[1], o.tick);
            }
        }
        std::printf("%5.0f - %5.0f s %14.1f %12.1f\n", stretch, std::min(stretch + kStretch, played), worst[0],
            worst[1]);
    }
    std::vector<double> player;
    std::vector<double> tick;
    int within = 0;
    for (const Offset& o : offsets) {
        player.push_back(o.player);
        tick.push_back(o.tick);
        within += o.player <= 17.0;
    }
    std::printf("over %zu frames after the first second (median, 99th percentile, worst; ms):\n", offsets.size());
    std::printf("  %-13s %8.1f %8.1f %8.1f\n", "player clock", percentile(player, 0.5), percentile(player, 0.99),
        percentile(player, 1.0));
    std::printf("  %-13s %8.1f %8.1f %8.1f\n", "tick clock", percentile(tick, 0.5), percentile(tick, 0.99),
        percentile(tick, 1.0));
    std::printf("player clock within 17 ms on %.1f %% of the frames\n",
        offsets.empty() ? 0.0 : 100.0 * within / offsets.size());
    std::printf("SDL_mixer's decoder position ahead of the mixed music (least, median, most; ms): %.1f %.1f %.1f\n",
        percentile(decoderLead, 0.0), percentile(decoderLead, 0.5), percentile(decoderLead, 1.0));
    Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("quorvane-clock-bench", kHelp).run(argc, argv, bench);
}
