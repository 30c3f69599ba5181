// quorvane-clock-bench: how far the player's show clock strays from the music
// heard. Plays music as the player does (SDL_mixer, 44100 Hz, 2048-sample
// buffers, the player's MusicPlayhead) and runs the player's clock
// (ShowClock) frame by frame, with two clocks beside it: the same clock on
// the position just mixed (what the player followed before it counted what
// the device holds) and the old tick clock. Every frame's show time is held
// against the music heard at the frame's moment, which comes from outside
// the playhead:
// - by default, on SDL's dummy audio driver (or the one SDL_AUDIODRIVER
//   names), from the driver's own pace: it plays each buffer mixed while it
//   waits for the next mix;
// - with --sound-server (a private PulseAudio or PipeWire with a null sink,
//   SoundServer) or --monitor (a server already running), from a recording
//   of the sink's monitor: the music is a click track, and each click found
//   in the recording marks a known music position at the moment the sink
//   played it (MonitorRecorder, ClickTrack).
// Frames come at 60 Hz, their moment the moment the clock is read; with
// --window the show is drawn in a window as the player draws it, frames
// come as fast as the buffer swaps go, and a frame's moment is the end of
// its swap. Prints offsets per stretch of the show and overall.

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "ClickTrack.h"
#include "HeardMusic.h"
#include "MonitorRecorder.h"
#include "SoundServer.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "app/MusicPlayhead.h"
#include "app/PlayerOptions.h"
#include "app/ShowClock.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr double kStretch = 30.0;      // seconds of show per line of the table
constexpr double kClickSeconds = 60.0; // the click track's length unless --seconds says
constexpr double kGoal = 0.010;        // seconds between picture and sound

using Mix = MusicPlayhead::Mix;

// The dummy and disk drivers mix a buffer, then sleep while it "plays":
// from the end of each mix the music heard runs from where the buffer
// starts, for at most the buffer.
HeardMusic driverPace(const std::vector<Mix>& mixes)
{
    HeardMusic music;
    for (size_t i = 1; i < mixes.size(); ++i) {
        const double buffer = mixes[i].mixed - mixes[i - 1].mixed;
        music.add(mixes[i].mixedAt, mixes[i].mixed - buffer, buffer);
    }
    return music;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

// A frame: when its time was read and when it was shown, and the show time
// each clock gave it.
struct Frame {
    double readAt;
    double shownAt;
    double player;      // the player's clock, on the music heard
    double mixedClock;  // the same clock on the music mixed
    double decoderLead; // SDL_mixer's decoder position ahead of the music mixed
};

// The show in a window, drawn as the player draws it.
class ShowWindow {
public:
    ShowWindow()
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error(std::string("cannot start SDL video: ") + SDL_GetError());
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        window = SDL_CreateWindow("quorvane-clock-bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
            PlayerOptions::kDefaultWidth, PlayerOptions::kDefaultHeight, SDL_WINDOW_OPENGL);
        if (!window || !SDL_GL_CreateContext(window))
            throw std::runtime_error(std::string("cannot open a window with OpenGL 4.1: ") + SDL_GetError());
        glewExperimental = GL_TRUE;
        const GLenum status = glewInit();
        if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY)
            throw std::runtime_error("cannot load OpenGL entry points");
        glViewport(0, 0, PlayerOptions::kDefaultWidth, PlayerOptions::kDefaultHeight);
        show = new MyDemo(PlayerOptions::kDefaultWidth, PlayerOptions::kDefaultHeight);
        show->init();
        stepper = std::make_unique<quorvane_engine::SceneStepper>(*show);
    }

    // Draws the show at `time` and swaps.
    void draw(double time)
    {
        SDL_Event event;
        while (SDL_PollEvent(&event)) { }
        stepper->moveTo(time);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        show->draw(time);
        SDL_GL_SwapWindow(window);
    }

private:
    SDL_Window* window = nullptr;
    MyDemo* show = nullptr; // lives until the process ends, as in the player
    std::unique_ptr<quorvane_engine::SceneStepper> stepper;
};

const char* const kHelp =
    "usage: quorvane-clock-bench [--seconds S] [--sound-server KIND | --monitor SOURCE]\n"
    "                            [--server-latency MS] [--window] [-C DIR]\n"
    "Plays music as the makers' player does and prints how far the player's clock,\n"
    "the same clock on the music mixed, and the old tick clock stray from the music\n"
    "heard, frame by frame.\n"
    "\n"
    "  --seconds S           play only S seconds (default: the whole track; 60 with\n"
    "                        --monitor)\n"
    "  --monitor SOURCE      play a click track through the sound server SDL reaches\n"
    "                        and take what is heard from a recording of SOURCE, the\n"
    "                        monitor of the sink it plays to (PulseAudio, or\n"
    "                        PipeWire's PulseAudio service)\n"
    "  --sound-server KIND   start a private sound server of KIND (pulseaudio or\n"
    "                        pipewire) with a null sink and play and record there\n"
    "  --server-latency MS   ask the sound server to hold MS ms of the music\n"
    "                        (PULSE_LATENCY_MSEC, for the music's stream alone)\n"
    "  --window              draw the show in a 1280x720 window (needs a display) and\n"
    "                        hold each frame's end of swap against the sound\n"
    "  -C DIR                run in DIR, the show's folder (default: here)\n"
    "  -h, --help            this text\n"
    "  --version             the version\n"
    "\n"
    "Without --monitor the audio driver is SDL's dummy driver unless SDL_AUDIODRIVER\n"
    "names another. Exit codes: 0 measured, 1 failure, 2 bad usage.\n";

std::runtime_error failure(const std::string& what, const char* reason)
{
    return std::runtime_error(what + ": " + reason);
}

int bench(const std::vector<std::string>& arguments)
{
    double seconds = -1.0;
    std::string monitor;
    std::optional<SoundServer::Kind> server;
    std::string latency;
    bool drawn = false;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isOption("--seconds"))
            seconds = ArgumentReader::number("--seconds", args.value(), 0.1, 1e6);
        else if (args.isOption("--monitor"))
            monitor = args.value();
        else if (args.isOption("--sound-server")) {
            try {
                server = SoundServer::kindNamed(args.value());
            } catch (const std::invalid_argument& error) {
                throw UsageError(std::string("--sound-server: ") + error.what());
            }
        } else if (args.isOption("--server-latency"))
            latency = std::to_string(ArgumentReader::integer("--server-latency", args.value(), 1, 10000));
        else if (args.isFlag("--window"))
            drawn = true;
        else if (args.isOption("-C")) {
            const std::string directory = args.value();
            if (chdir(directory.c_str()) != 0)
                throw failure("-C " + directory, std::strerror(errno));
        } else
            throw UsageError("unexpected argument \"" + args.operand() + "\"");
    }

    std::unique_ptr<SoundServer> started;
    if (server) {
        std::fprintf(stderr, "quorvane-clock-bench: starting %s with a null sink...\n",
            *server == SoundServer::Kind::PulseAudio ? "PulseAudio" : "PipeWire");
        started = std::make_unique<SoundServer>(*server);
        monitor = SoundServer::kMonitor;
    }
    if (monitor.empty())
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Recording first: the sink settles on the monitor's short fragments
    // before the music's stream opens.
    std::unique_ptr<MonitorRecorder> recorder;
    if (!monitor.empty())
        recorder = std::make_unique<MonitorRecorder>(monitor);
    // libpulse reads the latency it asks for when a stream opens: only the
    // music's stream gets it.
    if (!latency.empty())
        setenv("PULSE_LATENCY_MSEC", latency.c_str(), 1);
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER) != 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) != 0)
        throw failure("cannot open audio", SDL_GetError());
    unsetenv("PULSE_LATENCY_MSEC");
    std::vector<uint8_t> clicks;
    std::string musicName = ShowFiles::kMusic;
    Mix_Music* music = nullptr;
    if (monitor.empty()) {
        music = Mix_LoadMUS(ShowFiles::kMusic);
    } else {
        if (seconds <= 0.0)
            seconds = kClickSeconds;
        clicks = ClickTrack::wav(seconds + 1.0);
        musicName = "the click track";
        music = Mix_LoadMUS_RW(SDL_RWFromConstMem(clicks.data(), static_cast<int>(clicks.size())), 1);
    }
    if (!music)
        throw failure(musicName, Mix_GetError());
    // SDL_mixer answers -1 when it cannot tell a track's length.
    const double length = Mix_MusicDuration(music);
    if (length <= 0.0 && seconds <= 0.0)
        throw std::runtime_error(musicName + ": SDL_mixer cannot tell the music's length; give --seconds");
    if (seconds <= 0.0 || (length > 0.0 && seconds > length))
        seconds = length;
    std::unique_ptr<ShowWindow> window;
    if (drawn)
        window = std::make_unique<ShowWindow>();
    std::fprintf(stderr, "quorvane-clock-bench: %.0f s of %s on the %s audio driver%s...\n", seconds,
        musicName.c_str(), SDL_GetCurrentAudioDriver(), drawn ? ", drawn in a window" : "");

    std::vector<Mix> mixes(static_cast<size_t>(seconds * 44100.0 / 2048.0 * 1.1) + 1000);
    std::vector<Frame> frames;
    frames.reserve(static_cast<size_t>(seconds * 1000.0) + 100);
    std::vector<double> holds;
    double start = 0.0;
    {
        MusicPlayhead playhead;
        playhead.record(&mixes);
        ShowClock player;
        ShowClock mixedClock;
        // Let the sound server settle and answer before the music starts.
        SDL_Delay(recorder ? 2000 : 0);
        start = MusicPlayhead::now();
        player.seek(0.0, start);
        mixedClock.seek(0.0, start);
        if (!playhead.play(music, 0.0))
            throw failure(musicName, Mix_GetError());
        double frameAt = start;
        while (Mix_PlayingMusic() && frameAt - start < seconds) {
            const double t = MusicPlayhead::now();
            if (!window && t < frameAt + kFrame) {
                SDL_Delay(1);
                continue;
            }
            // A frame: the player reads the playhead and its clock once.
            frameAt = t;
            const Mix mix = playhead.last();
            const double decoder = Mix_GetMusicPosition(music);
            Frame frame{t, t, player.frameTime(t, mix.position, mix.at), mixedClock.frameTime(t, mix.mixed, mix.mixedAt),
                decoder - mix.mixed};
            if (window) {
                window->draw(frame.player);
                frame.shownAt = MusicPlayhead::now();
                player.frameShown(frame.shownAt);
            }
            frames.push_back(frame);
            if (frames.size() % 30 == 0)
                holds.push_back(playhead.deviceHold());
        }
        playhead.stop();
        playhead.record(nullptr);
        // Let the last sounds reach the monitor.
        SDL_Delay(recorder ? 500 : 0);
    }
    mixes.erase(std::remove_if(mixes.begin(), mixes.end(), [](const Mix& m) { return m.mixedAt == 0.0; }),
        mixes.end());
    if (mixes.size() < 2)
        throw std::runtime_error(musicName + ": the music did not move");

    HeardMusic heard;
    if (recorder) {
        recorder->stop();
        heard = ClickTrack::heard(*recorder, mixes);
        if (heard.anchors() < 2)
            throw std::runtime_error(monitor + ": the clicks recorded do not keep the track's pattern");
        std::printf("recorded from %s: %zu clicks placed; the server's %zu timing reports lie %.2f ms "
                    "(median) from a line, %.1f %% within 1 ms\n",
            monitor.c_str(), heard.anchors(), recorder->reports(), recorder->medianMiss() * 1000.0,
            recorder->shareWithinMillisecond() * 100.0);
    } else {
        heard = driverPace(mixes);
    }

    const double played = mixes.back().mixed;
    const double pace = (mixes.back().mixed - mixes.front().mixed) / (mixes.back().mixedAt - mixes.front().mixedAt);
    std::printf("music mixed: %.3f s in %zu mixes; the driver takes it up %.3f %% %s than real time\n", played,
        mixes.size(), std::abs(pace - 1.0) * 100.0, pace >= 1.0 ? "faster" : "slower");

    // What the device held after each mix: the music mixed less the music
    // heard then.
    std::vector<double> measuredHold;
    for (const Mix& mix : mixes) {
        const double position = heard.at(mix.mixedAt);
        if (position > 1.0)
            measuredHold.push_back((mix.mixed - position) * 1000.0);
    }
    for (double& hold : holds)
        hold *= 1000.0;
    std::printf("sound held by the device after a mix (median, least, most; ms): measured %.1f %.1f %.1f; "
                "the playhead's %.1f %.1f %.1f\n",
        percentile(measuredHold, 0.5), percentile(measuredHold, 0.0), percentile(measuredHold, 1.0),
        percentile(holds, 0.5), percentile(holds, 0.0), percentile(holds, 1.0));

    // Each frame's offset from the music heard at the moment it was shown,
    // after the first second; positive when the picture is ahead.
    struct Offset {
        double position;
        double player;
        double mixed;
        double tick;
    };
    std::vector<Offset> offsets;
    std::vector<double> decoderLead;
    std::vector<double> delays; // from reading the clock to the end of the swap
    size_t unknown = 0;
    for (const Frame& frame : frames) {
        const double position = heard.at(frame.shownAt);
        delays.push_back((frame.shownAt - frame.readAt) * 1000.0);
        unknown += position < 0.0 && frame.readAt - start > 1.0 && frame.readAt < mixes.back().mixedAt;
        if (position <= 1.0)
            continue;
        offsets.push_back({position, (frame.player - position) * 1000.0, (frame.mixedClock - position) * 1000.0,
            (frame.readAt - start - position) * 1000.0});
        decoderLead.push_back(frame.decoderLead * 1000.0);
    }
    if (offsets.empty())
        throw std::runtime_error("no frame fell while the music was heard");

    std::printf("worst offset of a frame from the music heard, ms\n");
    std::printf("%-14s %14s %14s %12s\n", "show time", "player clock", "mixed clock", "tick clock");
    for (double stretch = 0.0; stretch < played; stretch += kStretch) {
        double worst[3] = {0.0, 0.0, 0.0};
        for (const Offset& o : offsets) {
            if (o.position >= stretch && o.position < stretch + kStretch) {
                worst[0] = std::max(worst[0], std::abs(o.player));
                worst[1] = std::max(worst[1], std::abs(o.mixed));
                worst[2] = std::max(worst[2], std::abs(o.tick));
            }
        }
        if (worst[2] > 0.0)
            std::printf("%5.0f - %5.0f s %14.1f %14.1f %12.1f\n", stretch, std::min(stretch + kStretch, played),
                worst[0], worst[1], worst[2]);
    }
    if (drawn) {
        std::printf("from reading the clock to the end of the swap (median, 99th percentile, worst; ms): "
                    "%.1f %.1f %.1f\n",
            percentile(delays, 0.5), percentile(delays, 0.99), percentile(delays, 1.0));
    }
    if (unknown > 0) {
        std::printf("%zu frames left out: the sink ran dry just before them, and the recording does not tell "
                    "when\n",
            unknown);
    }
    std::printf("over %zu frames after the first second, ms (median offset, positive when the picture is ahead;\n"
                "then of its size: median, 99th percentile, worst):\n",
        offsets.size());
    const auto summary = [&](const char* name, double Offset::*field) {
        std::vector<double> signedValues;
        std::vector<double> sizes;
        int within = 0;
        for (const Offset& o : offsets) {
            signedValues.push_back(o.*field);
            sizes.push_back(std::abs(o.*field));
            within += std::abs(o.*field) <= kGoal * 1000.0;
        }
        std::printf("  %-13s %+8.1f %8.1f %8.1f %8.1f   within %.0f ms: %5.1f %%\n", name,
            percentile(signedValues, 0.5), percentile(sizes, 0.5), percentile(sizes, 0.99), percentile(sizes, 1.0),
            kGoal * 1000.0, 100.0 * within / offsets.size());
    };
    summary("player clock", &Offset::player);
    summary("mixed clock", &Offset::mixed);
    summary("tick clock", &Offset::tick);
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
