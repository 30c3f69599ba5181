// A click track to play as music and find again in a recording of what was
// heard: a short click every kEvery seconds of music, a longer one on every
// whole second, silence between, so that each click's onset marks a known
// music position to the sample. Makes the sound and reads recordings; plays
// and records nothing itself.
#pragma once

#include <cstdint>
#include <vector>

#include "HeardMusic.h"
#include "app/MusicPlayhead.h"

class MonitorRecorder;

class ClickTrack {
public:
    static constexpr int kRate = 44100;
    static constexpr double kEvery = 0.1; // seconds of music between clicks

    // A click found in a recording: where it starts and whether it is the
    // longer one of a whole second.
    struct Click {
        double sample; // index of its first sample in the recording
        bool second;
    };

    // `seconds` of the track as a WAV file (44100 Hz, 16-bit stereo) in
    // memory, as SDL_mixer loads music. The first click is at 0.
    static std::vector<uint8_t> wav(double seconds);

    // The clicks' onsets in a mono recording at kRate.
    static std::vector<Click> find(const std::vector<int16_t>& recording);

    // The music positions of the clicks found, in order; `mixedWhenHeard`
    // holds for each the music mixed by the moment it was heard. A
    // whole-second click is the last whole second mixed by then (the device
    // holds less than a second); the clicks between two whole seconds are
    // their tenths when there are nine of them. Negative for a click that
    // cannot be placed so (the sink ran dry in the middle of one).
    static std::vector<double> positions(const std::vector<Click>& clicks, const std::vector<double>& mixedWhenHeard);

    // The music heard, from the clicks in a stopped recorder's recording of
    // the track played from its start; `mixes` is the playhead's record of
    // the music mixed meanwhile (see positions()).
    static HeardMusic heard(const MonitorRecorder& recorder, const std::vector<MusicPlayhead::Mix>& mixes);
};
