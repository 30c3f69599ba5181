// The program around the show. Without options (PlayerOptions::playsAsMade)
// the show plays as made (ShowAsMade); with options it is the makers' player
// (MakersSession). Either way SDL, the window, its GL context and the audio
// come up first (PlayerWindow), then the music and the show; they go down in
// the reverse order, so that nothing holding GL objects or music outlives
// the context or the audio device.
#pragma once

#include <memory>

#include "PlayerOptions.h"

class ContentReloader;
class MusicTrack;
class MyDemo;
class PlayerWindow;
class SourceBuilder;

class Player {
public:
    explicit Player(const PlayerOptions& options);
    ~Player();

    // Sets up, plays and shuts down; returns the exit code (0 when the show
    // ended). Throws std::runtime_error saying what could not be set up.
    int run();

private:
    // Brings up the window, the music and the show.
    void setUp();

    PlayerOptions options;
    // Declared first, so that it is taken down last.
    std::unique_ptr<PlayerWindow> window;
    std::unique_ptr<MusicTrack> track;
    MyDemo* show = nullptr; // lives until the process ends, as made
    bool silent = false;    // no audio device, or --mute
    std::unique_ptr<ContentReloader> reloader; // with --edit, until the session takes it
    std::unique_ptr<SourceBuilder> builder;    // with --build, until the session takes it
};
