#include "ShowAsMade.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <stdexcept>
#include <string>

#include "MusicTrack.h"
#include "PlayerWindow.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

ShowAsMade::ShowAsMade(const PlayerWindow& window, MyDemo& show, const MusicTrack& track, bool silent)
    : window(window)
    , show(show)
    , silent(silent)
    , musicLength(track.length())
{
    if (Mix_PlayMusic(track.music(), 1) != 0)
        throw std::runtime_error(std::string(ShowFiles::kMusic) + ": cannot play the music: " + Mix_GetError());
    startTicks = static_cast<double>(SDL_GetTicks());
}

bool ShowAsMade::frame()
{
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
            quit = true;
        else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            window.fitViewport();
    }
    const double time = (static_cast<double>(SDL_GetTicks()) - startTicks) / 1000.0;
    // Without an audio device the dummy driver uses the music up faster
    // than real time; the show then ends when its clock passes the music's
    // length instead, so that it plays to the end.
    if (silent && musicLength > 0.0 ? time > musicLength : Mix_PlayingMusic() == 0)
        quit = true;

    show.render(time);
    window.swap();
    return !quit;
}
