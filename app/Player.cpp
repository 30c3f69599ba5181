#include "Player.h"

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "CaptionLayer.h"
#include "ContentReloader.h"
#include "Letterbox.h"
#include "MusicPlayhead.h"
#include "MusicTrack.h"
#include "Overlay.h"
#include "PlayerKeys.h"
#include "SourceBuilder.h"
#include "StartPoint.h"
#include "StopSignal.h"
#include "UsageError.h"
#include "engine/ImageLoader.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

namespace {

// One frame of the frame keys: 1/30 s.
constexpr double kFrameStep = 1.0 / 30.0;
constexpr double kSeekStep = 5.0;
constexpr double kShortSeekStep = 1.0;

std::runtime_error failure(const std::string& what, const char* reason)
{
    return std::runtime_error(what + ": " + reason);
}

// How long a start waits for a display that is named but does not answer,
// and how often it asks. An X server resets itself when its last client
// leaves and drops the connections that arrive meanwhile (for up to some tens
// of milliseconds), so a player started just after another one ended (or
// after any other last client) may find the server resetting.
constexpr double kDisplayPatience = 3.0;
constexpr Uint32 kDisplayRetryMs = 20;

// True for SDL's video drivers that draw into memory: no screen.
bool drawsIntoMemory(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Brings up SDL's video on a screen. Throws when there is none: when no
// display is named, or the one named cannot be opened within
// kDisplayPatience (SDL then falls back on a driver that draws into memory,
// and the show would play to nobody and report success).
void initVideo()
{
    const char* x11 = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    const bool named = (x11 && *x11) || (wayland && *wayland);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kDisplayPatience);
    while (true) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            if (!drawsIntoMemory(SDL_GetCurrentVideoDriver()))
                return;
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        if (!named || std::chrono::steady_clock::now() > deadline)
            break;
        SDL_Delay(kDisplayRetryMs);
    }
    if (!named)
        throw failure("no display", "SDL found no screen to play on (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    const bool isX11 = x11 && *x11;
    const std::string reason = std::string("cannot open the display ") + (isX11 ? "DISPLAY" : "WAYLAND_DISPLAY")
        + " names (\"" + (isX11 ? x11 : wayland) + "\"): nothing answered there within "
        + std::to_string(static_cast<int>(kDisplayPatience)) + " s";
    throw failure("no display", reason.c_str());
}

// Brings up SDL with video and then audio. When the audio fails, audio is
// brought up again on the dummy driver, which keeps time but plays nothing.
bool initSdl()
{
    initVideo();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        return true;
    fprintf(stderr, "quorvane: warning: no audio (%s); playing silently\n", SDL_GetError());
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

// Opens the audio device, falling back to the dummy driver when there is none.
bool openAudio()
{
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) == 0)
        return true;
    fprintf(stderr, "quorvane: warning: no audio device (%s); playing silently\n", Mix_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    return Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) == 0;
}

// True when the audio goes to no device: SDL's dummy or disk driver, which
// keep time by their own sleeps rather than a sound card's.
bool audioIsSilent()
{
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
}

// Points the GL viewport at the whole drawable area of the window.
void fitViewport(SDL_Window* window)
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glViewport(0, 0, width, height);
}

} // namespace

Player::Player(const PlayerOptions& options)
    : options(options)
{
}

Player::~Player()
{
    builder.reset();
    playhead.reset();
    SDL_ShowCursor(SDL_ENABLE);
    if (window)
        SDL_DestroyWindow(window);
    track.reset();
    Mix_Quit();
    SDL_Quit();
}

int Player::run()
{
    // A build folder is given relative to where the player started.
    std::string buildDir = options.buildDir;
    if (!buildDir.empty() && buildDir[0] != '/') {
        char here[PATH_MAX];
        if (getcwd(here, sizeof here))
            buildDir = std::string(here) + "/" + buildDir;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        throw failure("-C " + options.directory, std::strerror(errno));
    if (!buildDir.empty()) {
        builder = std::make_unique<SourceBuilder>("content", SourceBuilder::checkBuildFolder(buildDir, "."));
        // Ctrl+C and kill end the loop, so that the build ends with the player.
        StopSignal::catchStops();
    }
    setUp();
    if (options.playsAsMade())
        playAsMade();
    else
        playForMakers();
    return 0;
}

void Player::setUp()
{
    // What the show reads is watched from before it is read, so that a
    // save during start-up is seen.
    if (options.edit)
        reloader = std::make_unique<ContentReloader>(MyDemo::kConfigPath);
    // Decoding the images takes longest of all start-up work: begin it on
    // worker threads now, while SDL, the window and the GL context come up.
    // The resource manager picks the images up in its usual order.
    ImageLoader::prefetch(MyDemo::kConfigPath);

    // SDL would turn SIGINT and SIGTERM into quit requests, which the show
    // ignores; leave them their default action so that Ctrl+C and kill end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!initSdl())
        throw failure("cannot start SDL", SDL_GetError());

    if (options.window) {
        window = SDL_CreateWindow("Quorvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width,
            options.height, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    } else {
        // Ask for the desktop's size as well as full-screen-desktop mode:
        // without a window manager the X11 window otherwise keeps the
        // requested size.
        SDL_DisplayMode desktop{};
        SDL_GetDesktopDisplayMode(0, &desktop);
        window = SDL_CreateWindow("Quorvane", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, desktop.w, desktop.h,
            SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_OPENGL);
    }
    if (!window)
        throw failure("cannot open a window", SDL_GetError());
    if (!options.window)
        SDL_ShowCursor(SDL_DISABLE);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    if (!SDL_GL_CreateContext(window))
        throw failure("cannot create an OpenGL 4.1 core context", SDL_GetError());
    glewExperimental = GL_TRUE;
    // A context that is not GLX's (EGL, as SDL may choose) leaves GLEW
    // without a GLX display; the GL entry points are loaded all the same.
    const GLenum glewStatus = glewInit();
    if (glewStatus != GLEW_OK && glewStatus != GLEW_ERROR_NO_GLX_DISPLAY)
        throw failure("cannot load OpenGL entry points", reinterpret_cast<const char*>(glewGetErrorString(glewStatus)));

    if (!openAudio())
        throw failure("cannot open audio", Mix_GetError());
    std::string error;
    track = MusicTrack::load(ShowFiles::kMusic, error);
    if (!track)
        throw failure(ShowFiles::kMusic, error.c_str());
    silent = options.mute || audioIsSilent();
    musicLength = track->length();

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);

    // The viewport GL gives a new context is the window's size at that
    // moment, which may be before the window reached full-screen size (as on
    // an X server without a window manager); cover the whole window instead.
    fitViewport(window);

    show = new MyDemo(width, height);
    try {
        show->init();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(MyDemo::kConfigPath) + ": " + error.what());
    }
}

void Player::playAsMade()
{
    if (Mix_PlayMusic(track->music(), 1) != 0)
        throw failure(std::string(ShowFiles::kMusic) + ": cannot play the music", Mix_GetError());
    const double startTicks = static_cast<double>(SDL_GetTicks());

    bool quit = false;
    SDL_Event event;
    while (true) {
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
                quit = true;
            else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                fitViewport(window);
        }
        const double time = (static_cast<double>(SDL_GetTicks()) - startTicks) / 1000.0;
        // Without an audio device the dummy driver uses the music up faster
        // than real time; the show then ends when its clock passes the
        // music's length instead, so that it plays to the end.
        if (silent && musicLength > 0.0 ? time > musicLength : Mix_PlayingMusic() == 0)
            quit = true;

        show->render(time);
        SDL_GL_SwapWindow(window);
        if (quit)
            break;
    }
}

double Player::now()
{
    return MusicPlayhead::now();
}

void Player::printTime(const char* what, double time) const
{
    if (!options.printTime)
        return;
    const int scene = StartPoint::sceneAt(*show, time);
    std::printf("%s %.6f scene %d %s\n", what, time, scene + 1, SceneLabel::className(*show->scenes[scene]).c_str());
    std::fflush(stdout);
}

void Player::reloaded(const ContentReloader::Outcome& outcome)
{
    std::printf("%s\n", outcome.message.c_str());
    for (const std::string& note : outcome.notes)
        std::printf("  %s\n", note.c_str());
    std::fflush(stdout);
    lastReload = outcome.message;
    stepper->restart();
}

ContentReloader::Outcome Player::reloadMusic()
{
    std::string error;
    std::unique_ptr<MusicTrack> fresh = MusicTrack::load(ShowFiles::kMusic, error);
    if (!fresh)
        return {std::string(ShowFiles::kMusic) + ": " + error + "; the old track is kept", true, {}};
    playhead->stop();
    track = std::move(fresh);
    musicLength = track->length();
    // On from the present show time, paused or not.
    seek(clock.time());
    return {"reloaded " + std::string(ShowFiles::kMusic), false, {}};
}

std::vector<std::string> Player::overlayLines(double time) const
{
    const int scene = StartPoint::sceneAt(*show, time);
    const quorvane_engine::Scene& current = *show->scenes[scene];
    char text[256];
    std::vector<std::string> lines;
    std::snprintf(text, sizeof text, "%.3f s   scene %d/%d %s   +%.3f s", time, scene + 1,
        static_cast<int>(show->scenes.size()), SceneLabel::className(current).c_str(), time - current.startTime);
    lines.push_back(text);
    std::snprintf(text, sizeof text, "%.1f fps   %.1f ms a frame", frameSeconds > 0.0 ? 1.0 / frameSeconds : 0.0,
        frameSeconds * 1000.0);
    lines.push_back(text);
    std::string state = clock.paused() ? "paused" : "playing";
    if (clock.speed() != 1.0)
        state += clock.speed() == 0.5 ? " at 1/2 speed, silent" : " at 1/4 speed, silent";
    else if (silent)
        state += ", silent";
    lines.push_back(state);
    if (!lastReload.empty())
        lines.push_back(lastReload);
    return lines;
}

void Player::syncMusic(double time)
{
    const bool audible
        = !silent && !clock.paused() && clock.speed() == 1.0 && (musicLength == 0.0 || time < musicLength);
    if (!audible) {
        playhead->stop();
        return;
    }
    if (!playhead->play(track->music(), time))
        throw failure(std::string(ShowFiles::kMusic) + ": cannot play the music", Mix_GetError());
}

void Player::seek(double time)
{
    time = StartPoint::clamp(*show, time, musicLength);
    clock.seek(time, now());
    stepper->moveTo(time);
    syncMusic(time);
}

void Player::setPaused(bool paused)
{
    clock.setPaused(paused, now());
    syncMusic(clock.time());
}

void Player::setSpeed(double speed)
{
    // The same speed again changes nothing; above all, the music plays on.
    if (speed == clock.speed())
        return;
    clock.setSpeed(speed, now());
    syncMusic(clock.time());
}

bool Player::handle(const SDL_Event& event)
{
    if (event.type == SDL_QUIT)
        return false;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        fitViewport(window);
        return true;
    }
    if (event.type != SDL_KEYDOWN)
        return true;
    const PlayerKey* binding
        = PlayerKeys::find(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
    if (!binding)
        return true;
    if (binding->action == PlayerAction::End)
        return false;
    if (options.edit)
        perform(binding->action);
    return true;
}

void Player::perform(PlayerAction action)
{
    const double time = clock.time();
    const int scene = StartPoint::sceneAt(*show, time);
    switch (action) {
    case PlayerAction::PauseResume:
        setPaused(!clock.paused());
        printTime(clock.paused() ? "paused" : "playing", clock.time());
        return;
    case PlayerAction::Back:
        seek(time - kSeekStep);
        break;
    case PlayerAction::Forward:
        seek(time + kSeekStep);
        break;
    case PlayerAction::ShortBack:
        seek(time - kShortSeekStep);
        break;
    case PlayerAction::ShortForward:
        seek(time + kShortSeekStep);
        break;
    case PlayerAction::PreviousScene:
        seek(StartPoint::sceneEntry(*show, scene - 1));
        break;
    case PlayerAction::NextScene:
        if (scene + 1 < static_cast<int>(show->scenes.size()))
            seek(StartPoint::sceneEntry(*show, scene + 1));
        break;
    case PlayerAction::Home:
        seek(0.0);
        break;
    case PlayerAction::FrameBack:
    case PlayerAction::FrameForward:
        if (!clock.paused())
            return;
        seek(time + (action == PlayerAction::FrameBack ? -kFrameStep : kFrameStep));
        break;
    case PlayerAction::Speed1:
        setSpeed(1.0);
        break;
    case PlayerAction::SpeedHalf:
        setSpeed(0.5);
        break;
    case PlayerAction::SpeedQuarter:
        setSpeed(0.25);
        break;
    case PlayerAction::Overlay:
        overlayShown = !overlayShown;
        return;
    case PlayerAction::ReloadAll:
        reloaded(reloader->reloadAll());
        return;
    case PlayerAction::Captions:
        captions->toggle();
        return;
    case PlayerAction::End:
        return;
    }
    printTime("time", clock.time());
}

void Player::playForMakers()
{
    stepper = std::make_unique<quorvane_engine::SceneStepper>(*show);
    // The scene names are known only now; a bad --start throws UsageError.
    const double start = StartPoint::resolve(options.start.empty() ? "0" : options.start, *show);
    if (musicLength > 0.0 && start > musicLength) {
        char length[32];
        std::snprintf(length, sizeof length, "%.1f", musicLength);
        throw UsageError("--start: " + options.start + " lies past the end of the show (" + length + " s)");
    }
    if (options.edit) {
        for (const std::string& warning : reloader->attach(*show))
            std::fprintf(stderr, "quorvane: %s\n", warning.c_str());
        reloader->watch(ShowFiles::kMusic, [this] { return reloadMusic(); });
        reloader->watch(ShowFiles::kCaptions, [this] {
            // A show without a captions file has nothing to keep.
            ContentReloader::Outcome outcome;
            outcome.kept = !captions->reload(outcome.message) && access(ShowFiles::kCaptions, F_OK) == 0;
            return outcome;
        });
        overlay = std::make_unique<Overlay>();
    }
    playhead = std::make_unique<MusicPlayhead>();
    captions = std::make_unique<CaptionLayer>(options.captions);
    clock.setPaused(options.paused, now());
    seek(start);
    printTime(options.paused ? "paused" : "time", clock.time());

    lastFrame = now();
    SDL_Event event;
    while (true) {
        bool quit = false;
        while (SDL_PollEvent(&event))
            quit = quit || !handle(event);
        quit = quit || StopSignal::requested();
        if (builder && !quit) {
            for (const std::string& line : builder->poll(now()))
                reloaded({line, false, {}});
        }
        if (reloader) {
            for (const ContentReloader::Outcome& outcome : reloader->poll(now()))
                reloaded(outcome);
        }
        const MusicPlayhead::Mix mix = playhead->last();
        const double time = clock.frameTime(now(), mix.position, mix.at);
        const bool ended = !clock.paused() && musicLength > 0.0 && time >= musicLength;
        if (ended && options.loop) {
            seek(0.0);
            printTime("time", clock.time());
            continue;
        }
        stepper->moveTo(time);
        // The picture undistorted in the window, whatever its shape.
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window, &width, &height);
        const Letterbox::Rect picture = Letterbox::fit(width, height);
        glViewport(picture.x, picture.y, picture.width, picture.height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        show->draw(time);
        captions->draw(time, picture.width, picture.height);
        Letterbox::clearBars(picture, width, height);
        if (overlay && overlayShown)
            overlay->draw(overlayLines(time), picture.width, picture.height);
        SDL_GL_SwapWindow(window);
        const double frameEnd = now();
        clock.frameShown(frameEnd);
        const double interval = frameEnd - lastFrame;
        frameSeconds = frameSeconds == 0.0 ? interval : 0.9 * frameSeconds + 0.1 * interval;
        lastFrame = frameEnd;
        if (quit || ended)
            break;
    }
}
