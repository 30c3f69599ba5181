#include "Player.h"

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "CaptionLayer.h"
#include "ContentReloader.h"
#include "Letterbox.h"
#include "MusicPlayhead.h"
#include "Overlay.h"
#include "StartPoint.h"
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

// Brings up SDL with video and audio. When only the audio fails, audio is
// brought up again on the dummy driver, which keeps time but plays nothing.
// Video comes up once, on its own: quitting SDL's X11 driver and starting it
// again in the same process sometimes fails to reach the display (about one
// start in sixty here), and SDL then falls back on its offscreen driver.
bool initSdl()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
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
    playhead.reset();
    SDL_ShowCursor(SDL_ENABLE);
    if (window)
        SDL_DestroyWindow(window);
    if (music)
        Mix_FreeMusic(music);
    Mix_Quit();
    SDL_Quit();
}

int Player::run()
{
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        throw failure("-C " + options.directory, std::strerror(errno));
    setUp();
    if (options.playsAsMade())
        playAsMade();
    else
        playForMakers();
    return 0;
}

void Player::setUp()
{
    // Decoding the images takes longest of all start-up work: begin it on
    // worker threads now, while SDL, the window and the GL context come up.
    // The resource manager picks the images up in its usual order.
    ImageLoader::prefetch(MyDemo::kConfigPath);

    // SDL would turn SIGINT and SIGTERM into quit requests, which the show
    // ignores; leave them their default action so that Ctrl+C and kill end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!initSdl())
        throw failure("cannot start SDL", SDL_GetError());
    // Without a screen SDL falls back on video drivers that draw into
    // memory; the show would then play to nobody and report success.
    const char* videoDriver = SDL_GetCurrentVideoDriver();
    if (videoDriver && (std::strcmp(videoDriver, "offscreen") == 0 || std::strcmp(videoDriver, "dummy") == 0))
        throw failure("no display", "SDL found no screen to play on (is DISPLAY or WAYLAND_DISPLAY set?)");

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
    music = Mix_LoadMUS(ShowFiles::kMusic);
    if (!music)
        throw failure(std::string(ShowFiles::kMusic) + ": cannot load the music", Mix_GetError());
    silent = options.mute || audioIsSilent();
    musicLength = Mix_MusicDuration(music);

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
    if (Mix_PlayMusic(music, 1) != 0)
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

void Player::reloaded(const std::string& message)
{
    std::printf("%s\n", message.c_str());
    std::fflush(stdout);
    lastReload = message;
    stepper->restart();
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
    const bool audible = !silent && !clock.paused() && clock.speed() == 1.0 && time < musicLength;
    if (!audible) {
        playhead->stop();
        return;
    }
    if (!playhead->play(music, time))
        throw failure(std::string(ShowFiles::kMusic) + ": cannot play the music", Mix_GetError());
}

void Player::seek(double time)
{
    time = std::max(0.0, time);
    if (musicLength > 0.0)
        time = std::min(time, musicLength);
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
    const SDL_Keycode key = event.key.keysym.sym;
    if (key == SDLK_ESCAPE)
        return false;
    if (!options.edit)
        return true;

    const double time = clock.time();
    const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
    const int scene = StartPoint::sceneAt(*show, time);
    switch (key) {
    case SDLK_SPACE:
        setPaused(!clock.paused());
        printTime(clock.paused() ? "paused" : "playing", clock.time());
        return true;
    case SDLK_LEFT:
        seek(time - (shift ? kShortSeekStep : kSeekStep));
        break;
    case SDLK_RIGHT:
        seek(time + (shift ? kShortSeekStep : kSeekStep));
        break;
    case SDLK_PAGEUP:
        seek(StartPoint::sceneEntry(*show, scene - 1));
        break;
    case SDLK_PAGEDOWN:
        if (scene + 1 < static_cast<int>(show->scenes.size()))
            seek(StartPoint::sceneEntry(*show, scene + 1));
        break;
    case SDLK_HOME:
        seek(0.0);
        break;
    case SDLK_COMMA:
    case SDLK_PERIOD:
        if (!clock.paused())
            return true;
        seek(time + (key == SDLK_COMMA ? -kFrameStep : kFrameStep));
        break;
    case SDLK_1:
        setSpeed(1.0);
        break;
    case SDLK_2:
        setSpeed(0.5);
        break;
    case SDLK_4:
        setSpeed(0.25);
        break;
    case SDLK_TAB:
        overlayShown = !overlayShown;
        return true;
    case SDLK_r:
        reloaded(reloader->reloadAll());
        return true;
    case SDLK_c:
        captions->toggle();
        return true;
    default:
        return true;
    }
    printTime("time", clock.time());
    return true;
}

void Player::playForMakers()
{
    stepper = std::make_unique<quorvane_engine::SceneStepper>(*show);
    // The scene names are known only now; a bad --start throws UsageError.
    const double start = StartPoint::resolve(options.start.empty() ? "0" : options.start, *show);
    if (options.edit) {
        reloader = std::make_unique<ContentReloader>(*show);
        overlay = std::make_unique<Overlay>();
    }
    playhead = std::make_unique<MusicPlayhead>();
    captions = std::make_unique<CaptionLayer>(options.captions);
    if (reloader)
        reloader->watch(ShowFiles::kCaptions, [this] { return captions->reload(); });
    clock.setPaused(options.paused, now());
    seek(start);
    printTime(options.paused ? "paused" : "time", clock.time());

    lastFrame = now();
    SDL_Event event;
    while (true) {
        bool quit = false;
        while (SDL_PollEvent(&event))
            quit = quit || !handle(event);
        if (reloader) {
            for (const std::string& message : reloader->poll(now()))
                reloaded(message);
        }
        const MusicPlayhead::Mix mix = playhead->last();
        const double time = clock.frameTime(now(), mix.position, mix.at);
        const bool ended = !clock.paused() && musicLength > 0.0 && time >= musicLength;
        if (ended && options.loop) {
            seek(0.0);
            printTime("time", 0.0);
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
        const double interval = frameEnd - lastFrame;
        frameSeconds = frameSeconds == 0.0 ? interval : 0.9 * frameSeconds + 0.1 * interval;
        lastFrame = frameEnd;
        if (quit || ended)
            break;
    }
}
