#include "SpeechBandEqualiser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "Biquad.h"
#include "Speech.h"
#include "SoundMath.h"

namespace {

// A fourth-order Linkwitz-Riley low- or high-pass: two Butterworth sections
// at the same cutoff. The two at one cutoff add up to an all-pass.
class LinkwitzRiley {
public:
    LinkwitzRiley(bool high, double cutoff, double rate)
        : sections{section(high, cutoff, rate), section(high, cutoff, rate)}
    {
    }
    double step(double x) { return sections[1].step(sections[0].step(x)); }

private:
    static Biquad section(bool high, double cutoff, double rate)
    {
        return high ? Biquad::butterworthHighPass(cutoff, rate) : Biquad::lowPass(cutoff, 1.0 / std::sqrt(2.0), rate);
    }
    std::array<Biquad, 2> sections;
};

// Raised-cosine steps of the gain in dB between full and `depth` dB down.
void ramp(std::vector<float>& gain, double from, double to, double fromDepth, double toDepth, int rate)
{
    const size_t first = size_t(std::max(0.0, std::ceil(from * rate)));
    const size_t last = std::min(gain.size(), size_t(std::max(0.0, std::ceil(to * rate))));
    for (size_t i = first; i < last; ++i) {
        const double x = to > from ? (double(i) / rate - from) / (to - from) : 1.0;
        const double along = 0.5 - 0.5 * std::cos(kPi * std::clamp(x, 0.0, 1.0));
        gain[i] = std::min(gain[i], float(std::pow(10.0, -(fromDepth + (toDepth - fromDepth) * along) / 20.0)));
    }
}

} // namespace

std::vector<float> SpeechBandEqualiser::keyCurve(const Audio& voice, size_t frames, double depth, double holdGap,
                                                 double lead, double attack, double hold, double release)
{
    if (voice.channels != 1)
        throw std::invalid_argument("the key of the speech band must be a mono voice");
    std::vector<float> gain(frames, 1.0f);
    const int rate = voice.sampleRate;
    for (const auto& [start, end] : soundingSpans(voice.samples, rate, holdGap, 0.0, 0.0)) {
        const double down = start - lead, up = end + hold;
        ramp(gain, down - attack, down, 0.0, depth, rate);
        ramp(gain, down, up, depth, depth, rate);
        ramp(gain, up, up + release, depth, 0.0, rate);
    }
    return gain;
}

void SpeechBandEqualiser::apply(Audio& audio, const std::vector<float>& gain)
{
    if (audio.channels != 2)
        throw std::invalid_argument("the speech band equaliser works on stereo sound");
    const double rate = audio.sampleRate;
    for (size_t c = 0; c < 2; ++c) {
        LinkwitzRiley underLow(false, kLowEdge, rate), overLow(true, kLowEdge, rate);
        LinkwitzRiley midLow(false, kHighEdge, rate), overHigh(true, kHighEdge, rate);
        // The band under the voice goes through the upper crossover too, so
        // that it keeps step in phase with the two bands split there.
        LinkwitzRiley bassLow(false, kHighEdge, rate), bassHigh(true, kHighEdge, rate);
        for (size_t i = 0; i < audio.frames(); ++i) {
            float& sample = audio.samples[2 * i + c];
            const double low = underLow.step(sample), rest = overLow.step(sample);
            const double band = midLow.step(rest), high = overHigh.step(rest);
            const double bass = bassLow.step(low) + bassHigh.step(low);
            sample = float(bass + band * (i < gain.size() ? gain[i] : 1.0f) + high);
        }
    }
}
