// A click track to play as music and find again in a recording of what was
// heard: a short click every kEvery seconds of music, a longer one on every
// whole second, silence between, so that each click's onset marks a known
// music position to the sample. Makes the sound and reads recordings; plays
// and records nothing itself.
#pragma once

#include <cstdint>
#include <vector>

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

    // The music positions of the clicks in `clicks`, found from the whole
    // seconds among them: position i belongs to clicks[i]; empty when they
    // do not keep the track's pattern (a click lost, a gap).
    static std::vector<double> positions(const std::vector<Click>& clicks);
};
