// The program around the show: SDL, the window with its GL 4.1 core context,
// GLEW, the audio and the music; then the frame loop, until Escape or the end
// of the show. Without options (PlayerOptions::playsAsMade) the show plays as
// made: full screen, the tick clock from the moment the music starts, every
// frame one Demo::render, only Escape heard, ending when the music does (or,
// with no audio device, when the clock passes the music's length). With
// options it is the makers' player: window, start time, pause, loop, speeds,
// the maker's keys, and a clock that follows the music (ShowClock); the
// scenes' state then moves on the fixed grid of SceneStepper, so a seek lands
// on the state that playing would leave; the picture keeps the show's 16:9
// shape in a window of any shape (Letterbox), and captions may show over it
// (CaptionLayer).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PlayerOptions.h"
#include "ShowClock.h"

struct SDL_Window;
typedef struct _Mix_Music Mix_Music;
class CaptionLayer;
class ContentReloader;
class MusicPlayhead;
class Overlay;
class MyDemo;
union SDL_Event;

namespace quorvane_engine {
class SceneStepper;
}

class Player {
public:
    explicit Player(const PlayerOptions& options);
    ~Player();

    // Sets up, plays and shuts down; returns the exit code (0 when the show
    // ended). Throws std::runtime_error saying what could not be set up.
    int run();

private:
    void setUp();
    void playAsMade();
    void playForMakers();
    // Handles one event of the makers' player; false when it ends the show.
    bool handle(const SDL_Event& event);
    // Moves the show (clock, state and music) to show time `time`.
    void seek(double time);
    void setPaused(bool paused);
    void setSpeed(double speed);
    // Starts the music at show time `time` when it should be heard, or
    // stops it.
    void syncMusic(double time);
    // Seconds of wall time since SDL started, from its fine counter.
    static double now();
    // Prints the show time on stdout for --print-time, with `what` happened.
    void printTime(const char* what, double time) const;
    // Prints the message of a reload and brings the scenes' state anew to the
    // present time (a dialog script may have changed).
    void reloaded(const std::string& message);

    PlayerOptions options;
    SDL_Window* window = nullptr;
    Mix_Music* music = nullptr;
    MyDemo* show = nullptr; // lives until the process ends, as made
    std::unique_ptr<quorvane_engine::SceneStepper> stepper;
    // The overlay's lines for the frame at show time `time`.
    std::vector<std::string> overlayLines(double time) const;

    std::unique_ptr<ContentReloader> reloader; // with --edit
    std::unique_ptr<Overlay> overlay;          // with --edit
    bool overlayShown = false;
    double frameSeconds = 0.0; // frame time, smoothed over some frames
    double lastFrame = 0.0;
    std::string lastReload;                    // the last reload's message
    ShowClock clock;
    bool silent = false;       // no audio device, or --mute
    double musicLength = 0.0;  // seconds; 0 when unknown
    std::unique_ptr<MusicPlayhead> playhead; // the music's position, in the makers' player
    std::unique_ptr<CaptionLayer> captions;  // in the makers' player
};
