// Where a voice sounds. A voice sounds in a 10 ms frame whose RMS reaches
// -45 dBFS, 25 dB under the level every line is brought to; the build writes
// dialog intervals over sounding stretches and the checks judge them by the
// same rule.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

constexpr double kSpeechFrameSeconds = 0.01;
constexpr double kSoundingDecibels = -45.0;

// Per frame of kSpeechFrameSeconds from `first` on (mono, `rate` Hz, `count`
// samples), whether the voice sounds in it; a last partial frame counts.
std::vector<bool> soundingFrames(const float* first, std::size_t count, int rate);

// Share of the frames of [start, end) seconds of a mono signal in which the
// voice sounds; 0 for an empty span.
double soundingShare(const std::vector<float>& mono, int rate, double start, double end);

// The RMS in dBFS of each sounding frame of the signal, in order.
std::vector<double> soundingLevels(const float* first, std::size_t count, int rate);

// The stretches (start, end seconds from the signal's first sample) from a
// sounding frame to the last sounding frame before a silence of at least
// `minimumPause` seconds, or the end. A stretch shorter than `minimumSpan`
// (a click, a lone consonant) joins the nearer neighbour less than
// `joinPause` away, if it has one.
std::vector<std::pair<double, double>> soundingSpans(const std::vector<float>& mono, int rate, double minimumPause,
                                                     double minimumSpan, double joinPause);
