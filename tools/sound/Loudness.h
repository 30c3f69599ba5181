// Loudness and peak of a finished mix: integrated loudness after ITU-R
// BS.1770-4 (K-weighting, 400 ms blocks, absolute and relative gates) in
// LUFS, the sample peak and the true peak (four times oversampled, as
// BS.1770-4 measures it). Channels are weighted 1 (mono and stereo).
#pragma once

#include "WavFile.h"

#include <vector>

// Integrated loudness in LUFS; -70 or below for silence.
double integratedLoudness(const Audio& audio);

// The largest absolute sample value over all channels.
float samplePeak(const Audio& audio);

// Per frame, the largest absolute value over all channels of the sample and
// of the three points a four times oversampled signal has between it and the
// next sample: the peaks a converter's reconstruction reaches.
std::vector<float> framePeaks(const Audio& audio);

// The true peak: the largest of framePeaks (0 for no samples).
float truePeak(const Audio& audio);

// A linear gain as decibels, and back.
double toDecibels(double gain);
double fromDecibels(double decibels);
