// The player's show clock. It runs on the wall clock at the playback speed,
// and while the music plays audibly it follows the music's playback position
// instead: that position moves in steps of one audio buffer, so each new step
// tells how far the wall-clock estimate is off, and the clock takes the
// correction from the best-timed step of the last few. Between steps it runs
// smoothly on the wall clock, never more than kMaxLeadSteps steps past the
// music (a stalled audio thread stalls the picture too), and it never runs
// backwards except on a seek. Knows nothing of SDL: the caller passes the wall time and the
// music's position in.
#pragma once

#include <deque>
#include <utility>

class ShowClock {
public:
    // How long a measured offset counts, in seconds of wall time: about
    // four steps of the music, so that a late frame rarely hides the true
    // offset, and a stalled audio thread holds the picture only briefly.
    static constexpr double kFollowWindow = 0.2;
    // How far, in steps of the music, the clock may run past the music's
    // last position: when the audio stalls, so does the picture.
    static constexpr double kMaxLeadSteps = 1.5;

    // At show time 0, speed 1; offsets count for `followWindow` seconds.
    explicit ShowClock(double followWindow = kFollowWindow)
        : followWindow(followWindow)
    {
    }

    // Jumps to show time `time` at wall time `now` (seconds); drops what it
    // learnt from the music.
    void seek(double time, double now);
    // Holds the show time from wall time `now` on, or lets it run again.
    void setPaused(bool paused, double now);
    // Runs at `speed` times real time from wall time `now` on.
    void setSpeed(double speed, double now);

    // The show time of a frame at wall time `now`. `musicPosition` is the
    // music's playback position in seconds, or negative when the music does
    // not keep time (silent, paused, or played at another speed).
    double frameTime(double now, double musicPosition);

    bool paused() const { return isPaused; }
    double speed() const { return rate; }
    // The show time the last frame got (or the last seek set).
    double time() const { return last; }

private:
    // The wall-clock estimate of the show time at `now`.
    double estimate(double now) const;
    // Restarts the estimate at the present show time: after a change of
    // pause or speed.
    void rebase(double now);

    double followWindow;
    double baseTime = 0.0; // show time at wall time baseNow
    double baseNow = 0.0;
    double rate = 1.0;
    bool isPaused = false;
    double last = 0.0;
    double lastPosition = -1.0;
    double lastStep = 0.0; // how far the music's position moved last time
    std::deque<std::pair<double, double>> offsets; // (wall time, music - estimate)
    double offset = 0.0;
};
