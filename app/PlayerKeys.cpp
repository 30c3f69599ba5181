#include "PlayerKeys.h"

const PlayerKey PlayerKeys::kKeys[] = {
    {SDLK_SPACE, false, PlayerAction::PauseResume, "Space", "pause and resume (the music too)"},
    {SDLK_LEFT, false, PlayerAction::Back, "Left", "5 s back"},
    {SDLK_RIGHT, false, PlayerAction::Forward, "Right", "5 s forward"},
    {SDLK_LEFT, true, PlayerAction::ShortBack, "Shift+Left", "1 s back"},
    {SDLK_RIGHT, true, PlayerAction::ShortForward, "Shift+Right", "1 s forward"},
    {SDLK_PAGEUP, false, PlayerAction::PreviousScene, "PageUp", "start of the previous scene"},
    {SDLK_PAGEDOWN, false, PlayerAction::NextScene, "PageDown", "start of the next scene"},
    {SDLK_HOME, false, PlayerAction::Home, "Home", "start of the show"},
    {SDLK_COMMA, false, PlayerAction::FrameBack, ",", "one frame (1/30 s) back while paused"},
    {SDLK_PERIOD, false, PlayerAction::FrameForward, ".", "one frame (1/30 s) forward while paused"},
    {SDLK_1, false, PlayerAction::Speed1, "1", "speed 1"},
    {SDLK_2, false, PlayerAction::SpeedHalf, "2", "speed 1/2 (silent)"},
    {SDLK_4, false, PlayerAction::SpeedQuarter, "4", "speed 1/4 (silent)"},
    {SDLK_TAB, false, PlayerAction::Overlay, "Tab", "the overlay: time, scene, frame rate, state, last reload"},
    {SDLK_c, false, PlayerAction::Captions, "C", "captions on and off"},
    {SDLK_r, false, PlayerAction::ReloadAll, "R", "reload everything"},
    {SDLK_ESCAPE, false, PlayerAction::End, "Escape", "end (also without --edit)"},
};

const PlayerKey* PlayerKeys::find(SDL_Keycode key, bool shift)
{
    const PlayerKey* unshifted = nullptr;
    for (const PlayerKey& binding : kKeys) {
        if (binding.key != key)
            continue;
        if (binding.shift == shift)
            return &binding;
        if (!binding.shift)
            unshifted = &binding;
    }
    return unshifted;
}

std::string PlayerKeys::help()
{
    std::string text;
    for (const PlayerKey& binding : kKeys) {
        std::string line = "  " + std::string(binding.keyName);
        line.resize(19, ' ');
        text += line + binding.name + "\n";
    }
    return text;
}
