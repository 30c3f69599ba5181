// The makers' keys: which key, with or without Shift, asks the player for
// which action, and the action's name, written once for the key handler, the
// help text and the README. Performs nothing itself: Player does the actions.
#pragma once

#include <SDL_keycode.h>

#include <string>

enum class PlayerAction {
    PauseResume,
    Back,
    Forward,
    ShortBack,
    ShortForward,
    PreviousScene,
    NextScene,
    Home,
    FrameBack,
    FrameForward,
    Speed1,
    SpeedHalf,
    SpeedQuarter,
    Overlay,
    Captions,
    ReloadAll,
    End,
};

struct PlayerKey {
    SDL_Keycode key;
    bool shift;         // held with Shift
    PlayerAction action;
    const char* keyName; // as the help text names the key
    const char* name;    // what the action does, in a few words
};

class PlayerKeys {
public:
    // Every key, in the order the help text lists them.
    static const PlayerKey kKeys[];

    // The binding of `key` pressed with Shift held or not; a key bound only
    // without Shift answers with Shift too. Null for a key that is not bound.
    static const PlayerKey* find(SDL_Keycode key, bool shift);

    // One line per key: its name and what it does.
    static std::string help();
};
