// A dynamic equaliser that makes room for a voice: it splits a stereo sound
// into the band under the voice's words, the band where the voice carries
// them (300 Hz to 4 kHz) and the band over it, with Linkwitz-Riley
// crossovers (fourth order, so the three add up to the sound itself, only
// its phase turned), and turns the middle band down by a gain per frame.
// Where that gain is 1 the sound comes out with its spectrum untouched.
// When to turn down and how far is the caller's decision (keyCurve gives
// one from a voice).
#pragma once

#include <vector>

#include "WavFile.h"

class SpeechBandEqualiser {
public:
    static constexpr double kLowEdge = 300.0;   // Hz
    static constexpr double kHighEdge = 4000.0; // Hz
    // How far the mix turns the band down while a voice speaks, in dB.
    static constexpr double kMixDepth = 24.0;

    // The gain per frame of the speech band under `voice` (mono): `depth` dB
    // down while it sounds, held through its pauses shorter than `holdGap`
    // seconds, complete `lead` seconds before it speaks after going down over
    // `attack` seconds, and back up over `release` seconds from `hold`
    // seconds after it stops; 1 elsewhere. `frames` long.
    static std::vector<float> keyCurve(const Audio& voice, size_t frames, double depth, double holdGap, double lead,
                                       double attack, double hold, double release);

    // Filters `audio` (stereo) in place: its speech band times `gain` per
    // frame (frames past the curve's end keep the band whole).
    static void apply(Audio& audio, const std::vector<float>& gain);
};
