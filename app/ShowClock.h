// The player's show clock. It runs on the wall clock at the playback speed,
// and while the music plays audibly it follows the music's playback position
// instead. That position moves in steps of one audio buffer, each taken when
// the mixer has mixed a buffer; the caller passes the wall time of that mix
// with the position, so each step tells exactly how far the wall-clock
// estimate is off at that moment. The clock takes the median of the last
// three such offsets (one late mix does not move the picture; a driver that
// keeps running late moves it after two). Between steps it runs smoothly on
// the wall clock, never more than kMaxLeadSteps steps past the music (a
// stalled audio thread stalls the picture too), and it never runs backwards
// except on a seek. A frame is seen only when its buffers are swapped, some
// milliseconds after its time was read: told when frames are shown, the
// clock gives each frame the time of that moment (the median of the last
// frames' delays ahead). Knows nothing of SDL: the caller passes the wall
// time and the music's position in.
#pragma once

class ShowClock {
public:
    // How far, in steps of the music, the clock may run past the music's
    // last position: when the audio stalls, so does the picture.
    static constexpr double kMaxLeadSteps = 1.5;

    // Jumps to show time `time` at wall time `now` (seconds); drops what it
    // learnt from the music.
    void seek(double time, double now);
    // Holds the show time from wall time `now` on, or lets it run again.
    void setPaused(bool paused, double now);
    // Runs at `speed` times real time from wall time `now` on.
    void setSpeed(double speed, double now);

    // The show time of a frame at wall time `now`. `musicPosition` is the
    // music's playback position in seconds, or negative when the music does
    // not keep time (silent, paused, or played at another speed);
    // `positionTime` is the wall time at which the mixer moved the music to
    // that position. A position moved before the last seek, pause or change
    // of speed is stale and is not heard.
    double frameTime(double now, double musicPosition, double positionTime);
    // The frame whose time was read last is shown at wall time `now`.
    void frameShown(double now);

    bool paused() const { return isPaused; }
    double speed() const { return rate; }
    // The show time the last frame got (or the last seek set).
    double time() const { return last; }

private:
    static constexpr int kOffsets = 3;
    static constexpr int kDelays = 5;

    // The wall-clock estimate of the show time at `now`.
    double estimate(double now) const;
    // Restarts the estimate at the present show time: after a change of
    // pause or speed.
    void rebase(double now);

    double baseTime = 0.0; // show time at wall time baseNow
    double baseNow = 0.0;  // the wall time of the last seek or rebase
    double rate = 1.0;
    bool isPaused = false;
    double last = 0.0;
    double lastPosition = -1.0;
    double lastPositionTime = 0.0;
    double lastStep = 0.0;        // how far the music's position moved last time
    double offsets[kOffsets] = {}; // music minus estimate at the last steps
    int measured = 0;             // steps measured since the last seek
    double offset = 0.0;
    double readAt = -1.0;          // when the last frame's time was read; negative once shown
    double delays[kDelays] = {};   // from reading a frame's time to showing it, the last frames
    int shown = 0;
    double delay = 0.0;            // their median
};
