// SDL brought up for the player: video on a screen (never a driver that
// draws into memory), the window, full screen or in a window, with its GL
// 4.1 core context and GLEW's entry points, and the audio device opened for
// SDL_mixer (on SDL's dummy driver, which keeps time but plays nothing, when
// there is no device). Everything is taken down in reverse order when it is
// destroyed: whatever holds GL objects or SDL_mixer's music must be gone by
// then.
#pragma once

#include "PlayerOptions.h"

struct SDL_Window;

class PlayerWindow {
public:
    // Brings everything up for `options` (a window of their size, or full
    // screen at the desktop's size). Throws std::runtime_error naming what
    // could not be brought up.
    explicit PlayerWindow(const PlayerOptions& options);
    ~PlayerWindow();
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // True when the audio goes to no device (SDL's dummy or disk driver),
    // which keeps time by its own sleeps rather than a sound card's.
    bool audioIsSilent() const;

    // The window's size in screen coordinates, and its drawable in pixels.
    void size(int& width, int& height) const;
    void drawableSize(int& width, int& height) const;
    // Points the GL viewport at the whole drawable.
    void fitViewport() const;
    // Shows the frame drawn.
    void swap() const;

private:
    // Takes down what was brought up, in reverse order.
    void takeDown();

    SDL_Window* window = nullptr;
    void* context = nullptr; // SDL_GLContext
    bool cursorHidden = false;
    bool audioOpen = false;
};
