// Where a PulseAudio server is in this process's sound: the position in
// everything SDL has mixed that the server's sink plays at a given moment.
// SDL reports nothing of the kind; the server reports, for the playback
// stream, how much sound it holds before the sink plays it (its buffers and
// the sink's latency). It is asked on a thread of its own 2 ms after every
// mix. SDL hands each mix to the server in pieces, as the server asks for
// them, and only then mixes the next, so at the moment of a report the
// server has at least everything before the last mix and at most all of it:
// each report bounds where the sink is. Soon after a mix the server has
// seldom got more than a few milliseconds of it, so the bound that puts the
// sink furthest on within the last second is close to the truth (the third
// furthest is taken: now and then SDL's last piece is late to arrive).
// PipeWire's PulseAudio service reports 0 for every stream, which counts as
// no report. Plays and changes nothing; the audio thread never waits on the
// server. Two sides, chosen by the build: pulse/ asks through libpulse;
// none/ (Windows, or a build made without libpulse) asks nothing, and
// unavailable() says so.
#pragma once

#include <deque>
#include <mutex>

struct pa_context;
struct pa_io_event;
struct pa_time_event;
struct pa_threaded_mainloop;

class SoundServerPosition {
public:
    // Why this build cannot ask a sound server; nullptr where it can.
    static const char* unavailable();

    // Starts asking the server that SDL's pulseaudio driver reaches (the
    // same PULSE_SERVER or default). Never fails: without a server, or
    // without a playback stream of this process on it, heardAt() stays
    // negative.
    SoundServerPosition();
    ~SoundServerPosition();
    SoundServerPosition(const SoundServerPosition&) = delete;
    SoundServerPosition& operator=(const SoundServerPosition&) = delete;

    // Notes a mix that SDL hands to the server now: at wall time `at`
    // (seconds of SDL's fine counter), the sound mixed since the device
    // opened reaching `end` seconds, `buffer` of them in this mix. For the
    // audio thread.
    void mixed(double at, double end, double buffer);

    // The position in the sound mixed (seconds, as `end` counts them) that
    // the sink plays at wall time `at`; negative until the server has
    // answered.
    double heardAt(double at) const;

private:
    // What one report says of the sink's position less the wall time.
    struct Bound {
        double at;
        double low;
        double high;
    };
    struct Mixed {
        double at = 0.0;
        double end = 0.0;
        double buffer = 0.0;
        long count = 0;
    };

    friend struct ServerCallbacks; // what the server's thread calls
    // Sends one question to the server; the answer comes to answered().
    void ask();
    // Takes the answer to the last question into the bounds.
    void learn(double answeredAt);

    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    int wakeUp = -1; // the audio thread rings it after every mix
    pa_io_event* bell = nullptr;
    pa_time_event* timer = nullptr; // the question a little after the mix
    mutable std::mutex lock; // guards the two below, shared with the audio thread
    Mixed last;
    double offset = 0.0; // the sink's position less the wall time; known when `known`
    bool known = false;
    // The rest belongs to the server's thread.
    bool asking = false;
    Mixed whenAsked;
    double askedAt = 0.0;
    double latency = -1.0; // what the server said of this process's stream, seconds
    std::deque<Bound> bounds;
};
