#include "PlayerWindow.h"

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

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

} // namespace

PlayerWindow::PlayerWindow(const PlayerOptions& options)
{
    // SDL would turn SIGINT and SIGTERM into quit requests, which the show
    // ignores; leave them their default action so that Ctrl+C and kill end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    try {
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
            window = SDL_CreateWindow("Quorvane", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, desktop.w,
                desktop.h, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_OPENGL);
        }
        if (!window)
            throw failure("cannot open a window", SDL_GetError());
        if (!options.window) {
            SDL_ShowCursor(SDL_DISABLE);
            cursorHidden = true;
        }

        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        context = SDL_GL_CreateContext(window);
        if (!context)
            throw failure("cannot create an OpenGL 4.1 core context", SDL_GetError());
        glewExperimental = GL_TRUE;
        // A context that is not GLX's (EGL, as SDL may choose) leaves GLEW
        // without a GLX display; the GL entry points are loaded all the same.
        const GLenum glewStatus = glewInit();
        if (glewStatus != GLEW_OK && glewStatus != GLEW_ERROR_NO_GLX_DISPLAY)
            throw failure(
                "cannot load OpenGL entry points", reinterpret_cast<const char*>(glewGetErrorString(glewStatus)));

        audioOpen = openAudio();
        if (!audioOpen)
            throw failure("cannot open audio", Mix_GetError());
    } catch (...) {
        takeDown();
        throw;
    }
}

PlayerWindow::~PlayerWindow()
{
    takeDown();
}

void PlayerWindow::takeDown()
{
    if (audioOpen)
        Mix_CloseAudio();
    audioOpen = false;
    Mix_Quit();
    if (cursorHidden)
        SDL_ShowCursor(SDL_ENABLE);
    cursorHidden = false;
    if (context)
        SDL_GL_DeleteContext(context);
    context = nullptr;
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
    SDL_Quit();
}

bool PlayerWindow::audioIsSilent() const
{
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
}

void PlayerWindow::size(int& width, int& height) const
{
    SDL_GetWindowSize(window, &width, &height);
}

void PlayerWindow::drawableSize(int& width, int& height) const
{
    SDL_GL_GetDrawableSize(window, &width, &height);
}

void PlayerWindow::fitViewport() const
{
    int width = 0;
    int height = 0;
    drawableSize(width, height);
    glViewport(0, 0, width, height);
}

void PlayerWindow::swap() const
{
    SDL_GL_SwapWindow(window);
}
