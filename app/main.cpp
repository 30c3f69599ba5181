// Entry point: brings up SDL, the full-screen window with its GL 4.1 core
// context, GLEW and the audio; builds the show; plays it against the SDL tick
// clock until Escape or the end of the music; shuts down.
//
// What cannot be set up is reported on stderr and ends the program with exit
// code 1. Without an audio device the show plays silently, at its full
// length, on SDL's dummy audio driver.

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/ImageLoader.h"
#include "show/MyDemo.h"

namespace {

const char* const kMusicPath = "data/duskwalk.ogg";
constexpr int kExitFailure = 1;

int fail(const char* what, const char* reason)
{
    fprintf(stderr, "quorvane: %s: %s\n", what, reason);
    return kExitFailure;
}

// Brings up SDL with video and audio. When only the audio fails, audio is
// brought up again on the dummy driver, which keeps time but plays nothing.
bool initSdl()
{
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) == 0)
        return true;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
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

// Points the GL viewport at the whole drawable area of the window.
void fitViewport(SDL_Window* window)
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glViewport(0, 0, width, height);
}

void shutdown(SDL_Window* window, Mix_Music* music)
{
    SDL_ShowCursor(SDL_ENABLE);
    if (window)
        SDL_DestroyWindow(window);
    if (music)
        Mix_FreeMusic(music);
    Mix_Quit();
    SDL_Quit();
}

} // namespace

int main(int, char**)
{
    // Decoding the images takes longest of all start-up work: begin it on
    // worker threads now, while SDL, the window and the GL context come up.
    // The resource manager picks the images up in its usual order.
    ImageLoader::prefetch(MyDemo::kConfigPath);

    // SDL would turn SIGINT and SIGTERM into quit requests, which the show
    // ignores; leave them their default action so that Ctrl+C and kill end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!initSdl())
        return fail("cannot start SDL", SDL_GetError());
    // Without a screen SDL falls back on video drivers that draw into
    // memory; the show would then play to nobody and report success.
    const char* videoDriver = SDL_GetCurrentVideoDriver();
    if (videoDriver && (std::strcmp(videoDriver, "offscreen") == 0 || std::strcmp(videoDriver, "dummy") == 0)) {
        const int code = fail("no display", "SDL found no screen to play on (is DISPLAY or WAYLAND_DISPLAY set?)");
        SDL_Quit();
        return code;
    }

    // Ask for the desktop's size as well as full-screen-desktop mode: without
    // a window manager the X11 window otherwise keeps the requested size.
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(0, &desktop);
    SDL_Window* window = SDL_CreateWindow("Quorvane", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, desktop.w,
        desktop.h, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_OPENGL);
    if (!window) {
        const int code = fail("cannot open a window", SDL_GetError());
        SDL_Quit();
        return code;
    }
    SDL_ShowCursor(SDL_DISABLE);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    if (!SDL_GL_CreateContext(window)) {
        const int code = fail("cannot create an OpenGL 4.1 core context", SDL_GetError());
        shutdown(window, nullptr);
        return code;
    }
    glewExperimental = GL_TRUE;
    // A context that is not GLX's (EGL, as SDL may choose) leaves GLEW
    // without a GLX display; the GL entry points are loaded all the same.
    const GLenum glewStatus = glewInit();
    if (glewStatus != GLEW_OK && glewStatus != GLEW_ERROR_NO_GLX_DISPLAY) {
        const int code
            = fail("cannot load OpenGL entry points", reinterpret_cast<const char*>(glewGetErrorString(glewStatus)));
        shutdown(window, nullptr);
        return code;
    }

    if (!openAudio()) {
        const int code = fail("cannot open audio", Mix_GetError());
        shutdown(window, nullptr);
        return code;
    }
    Mix_Music* music = Mix_LoadMUS(kMusicPath);
    if (!music) {
        fprintf(stderr, "quorvane: %s: cannot load the music: %s\n", kMusicPath, Mix_GetError());
        shutdown(window, nullptr);
        return kExitFailure;
    }

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);

    // The viewport GL gives a new context is the window's size at that
    // moment, which may be before the window reached full-screen size (as on
    // an X server without a window manager); cover the whole window instead.
    fitViewport(window);

    MyDemo* show = new MyDemo(width, height);
    try {
        show->init();
    } catch (const std::exception& error) {
        fprintf(stderr, "quorvane: %s: %s\n", MyDemo::kConfigPath, error.what());
        shutdown(window, music);
        return kExitFailure;
    }

    if (Mix_PlayMusic(music, 1) != 0) {
        fprintf(stderr, "quorvane: %s: cannot play the music: %s\n", kMusicPath, Mix_GetError());
        shutdown(window, music);
        return kExitFailure;
    }
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
        if (Mix_PlayingMusic() == 0)
            quit = true;

        const double time = (static_cast<double>(SDL_GetTicks()) - startTicks) / 1000.0;
        show->render(time);
        SDL_GL_SwapWindow(window);
        if (quit)
            break;
    }

    shutdown(window, music);
    return 0;
}
