// Sample-rate conversion of mono signals with a windowed-sinc interpolator,
// band-limited to the lower of the two rates.
#pragma once

#include <vector>

// `in`, sampled at `fromRate` Hz, resampled to `toRate` Hz (same duration).
std::vector<float> resample(const std::vector<float>& in, int fromRate, int toRate);
