// Loudness and peak of a finished mix: integrated loudness after ITU-R
// BS.1770-4 (K-weighting, 400 ms blocks, absolute and relative gates) in
// LUFS, and the sample peak. Channels are weighted 1 (mono and stereo).
#pragma once

#include "WavFile.h"

// Integrated loudness in LUFS; -70 or below for silence.
double integratedLoudness(const Audio& audio);

// The largest absolute sample value over all channels.
float samplePeak(const Audio& audio);

// A linear gain as decibels, and back.
double toDecibels(double gain);
double fromDecibels(double decibels);
