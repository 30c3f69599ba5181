#include "Loudness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Biquad.h"
#include "SoundMath.h"

namespace {

// The two stages of the K-weighting filter, designed for any sample rate.
Biquad highShelf(double rate)
{
    const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    double k = std::tan(kPi * f0 / rate), vh = std::pow(10.0, gain / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highPass(double rate)
{
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    double k = std::tan(kPi * f0 / rate);
    double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

constexpr int kOversampling = 4;
constexpr int kHalfTaps = 8; // input samples on either side of an interpolated point

// The interpolation kernels of the three points between two samples: a
// Hann-windowed sinc, kernel[p - 1][k] weighting sample n + 1 + k - kHalfTaps
// for the point at n + p / 4.
using Kernels = std::array<std::array<double, 2 * kHalfTaps>, kOversampling - 1>;

Kernels interpolationKernels()
{
    Kernels kernels{};
    for (int p = 1; p < kOversampling; ++p)
        for (int k = 0; k < 2 * kHalfTaps; ++k) {
            double t = double(k + 1 - kHalfTaps) - double(p) / kOversampling;
            double sinc = std::sin(kPi * t) / (kPi * t);
            double window = 0.5 + 0.5 * std::cos(kPi * t / (kHalfTaps + 1));
            kernels[size_t(p - 1)][size_t(k)] = sinc * window;
        }
    return kernels;
}

} // namespace

double toDecibels(double gain) { return 20.0 * std::log10(gain); }
double fromDecibels(double decibels) { return std::pow(10.0, decibels / 20.0); }

float samplePeak(const Audio& audio)
{
    float peak = 0.0f;
    for (float s : audio.samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

// The largest of |interpolated point| between the sample at around[kHalfTaps - 1]
// and the next, `around` holding the 2 kHalfTaps samples the kernels weigh.
float pointsBetween(const float* around)
{
    static const Kernels kernels = interpolationKernels();
    float peak = 0.0f;
    for (const auto& kernel : kernels) {
        double sum = 0.0;
        for (size_t k = 0; k < 2 * kHalfTaps; ++k)
            sum += kernel[k] * around[k];
        peak = std::max(peak, float(std::fabs(sum)));
    }
    return peak;
}

// Channel `c` of `audio` with kHalfTaps of silence on either side.
std::vector<float> paddedChannel(const Audio& audio, size_t c)
{
    const size_t frames = audio.frames(), channels = size_t(audio.channels);
    std::vector<float> x(frames + 2 * kHalfTaps, 0.0f);
    for (size_t n = 0; n < frames; ++n)
        x[n + kHalfTaps] = audio.samples[n * channels + c];
    return x;
}

std::vector<float> framePeaks(const Audio& audio)
{
    std::vector<float> peaks(audio.frames(), 0.0f);
    for (size_t c = 0; c < size_t(audio.channels); ++c) {
        const std::vector<float> x = paddedChannel(audio, c);
        for (size_t n = 0; n < peaks.size(); ++n)
            peaks[n] = std::max({peaks[n], std::fabs(x[n + kHalfTaps]), pointsBetween(&x[n + 1])});
    }
    return peaks;
}

float truePeak(const Audio& audio)
{
    // A point between samples is at most the kernel's absolute sum times the
    // largest sample it weighs: only stretches that could beat the highest
    // peak found so far are interpolated.
    static const Kernels kernels = interpolationKernels();
    double reach = 0.0;
    for (const auto& kernel : kernels) {
        double sum = 0.0;
        for (double weight : kernel)
            sum += std::fabs(weight);
        reach = std::max(reach, sum);
    }
    float peak = samplePeak(audio);
    const size_t block = 256;
    for (size_t c = 0; c < size_t(audio.channels); ++c) {
        const std::vector<float> x = paddedChannel(audio, c);
        for (size_t from = 0; from < audio.frames(); from += block) {
            const size_t to = std::min(audio.frames(), from + block);
            float largest = 0.0f; // over every sample the points of this block weigh
            for (size_t i = from + 1; i < to + 2 * kHalfTaps; ++i)
                largest = std::max(largest, std::fabs(x[i]));
            if (largest * reach <= peak)
                continue;
            for (size_t n = from; n < to; ++n)
                peak = std::max(peak, pointsBetween(&x[n + 1]));
        }
    }
    return peak;
}

double integratedLoudness(const Audio& audio)
{
    const size_t frames = audio.frames();
    const size_t step = size_t(audio.sampleRate) / 10; // 100 ms: blocks of 400 ms overlap by 75 %
    const size_t steps = frames / step;
    // Mean square of each 100 ms step after K-weighting, summed over channels.
    std::vector<double> stepEnergy(steps, 0.0);
    for (int c = 0; c < audio.channels; ++c) {
        Biquad shelf = highShelf(audio.sampleRate), pass = highPass(audio.sampleRate);
        for (size_t i = 0; i < steps * step; ++i) {
            double y = pass.step(shelf.step(audio.samples[i * audio.channels + size_t(c)]));
            stepEnergy[i / step] += y * y;
        }
    }
    std::vector<double> blocks;
    for (size_t i = 0; i + 4 <= steps; ++i)
        blocks.push_back((stepEnergy[i] + stepEnergy[i + 1] + stepEnergy[i + 2] + stepEnergy[i + 3]) / double(4 * step));
    auto loudness = [](double energy) { return -0.691 + 10.0 * std::log10(energy); };
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        size_t count = 0;
        for (double z : blocks)
            if (z > 0.0 && loudness(z) > gate) {
                sum += z;
                ++count;
            }
        return count ? sum / double(count) : 0.0;
    };
    double ungated = gatedMean(-70.0);
    if (ungated <= 0.0)
        return -70.0;
    double gated = gatedMean(loudness(ungated) - 10.0);
    return gated > 0.0 ? loudness(gated) : -70.0;
}
