// Where the makers' show is and how it moves: the show clock (ShowClock)
// with pause and speed, the scenes' state stepped to it (SceneStepper), and
// the music played from the same time when it should be heard (at full
// speed, playing, with sound), its position heard steering the clock
// (MusicPlayhead). A new track takes over only once it plays where the show
// is. Needs the audio device open.
#pragma once

#include <memory>
#include <string>

#include "ShowClock.h"
#include "TrackLoader.h"

class MusicPlayhead;
class MusicTrack;
class MyDemo;

namespace quorvane_engine {
class SceneStepper;
}

class ShowTransport {
public:
    // At the show's start, paused or not, the music stopped until the first
    // seek; `silent` when nothing should be heard.
    ShowTransport(MyDemo& show, std::unique_ptr<MusicTrack> track, bool silent, bool paused);
    ~ShowTransport();
    ShowTransport(const ShowTransport&) = delete;
    ShowTransport& operator=(const ShowTransport&) = delete;

    // Moves the clock, the scenes and the music to show time `time`, within
    // the show. Throws std::runtime_error when the music does not play.
    void seek(double time);
    void setPaused(bool paused);
    // The same speed again changes nothing: the music plays on.
    void setSpeed(double speed);

    // The show time of the frame about to be drawn.
    double frameTime();
    // Tells the clock when the frame was shown.
    void frameShown(double at);

    // Plays `read` on from the present show time in place of the track
    // playing; when it did not read or does not start there (tried unheard
    // while paused or slowed), the old track plays on. Gives the message that says which, and whether the old one
    // was kept.
    std::string adopt(TrackLoader::Result read, bool& kept);

    const ShowClock& clock() const { return clock_; }
    quorvane_engine::SceneStepper& scenes() { return *stepper; }
    // The music's length in seconds; 0 when unknown.
    double musicLength() const { return length; }
    bool silent() const { return silent_; }

    // Seconds of wall time, from SDL's fine counter.
    static double now();

private:
    // True when music `musicLength` seconds long (0: unknown) is heard at `time`.
    bool audibleAt(double time, double musicLength) const;
    // Starts the music at show time `time` when it should be heard, or
    // stops it.
    void syncMusic(double time);

    MyDemo& show;
    std::unique_ptr<MusicTrack> track;
    std::unique_ptr<quorvane_engine::SceneStepper> stepper;
    std::unique_ptr<MusicPlayhead> playhead;
    ShowClock clock_;
    bool silent_;
    double length;
};
