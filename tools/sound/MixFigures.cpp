#include "MixFigures.h"

#include "Biquad.h"
#include "Speech.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr double kRumbleCutoff = 25.0;  // Hz
constexpr double kSourceFloor = 1e-6; // -60 dBFS as a mean square

// The mean square over all channels of `frames` frames of `audio` from `first`.
double meanSquare(const Audio& audio, size_t first, size_t frames)
{
    const size_t channels = size_t(audio.channels);
    const size_t from = std::min(audio.samples.size(), first * channels);
    const size_t to = std::min(audio.samples.size(), (first + frames) * channels);
    double energy = 0.0;
    for (size_t i = from; i < to; ++i)
        energy += double(audio.samples[i]) * audio.samples[i];
    return to > from ? energy / double(to - from) : 0.0;
}

size_t frameAt(double seconds, int rate)
{
    return size_t(std::max(0.0, std::round(seconds * rate)));
}

} // namespace

double voiceOverRest(const Audio& speech, const Audio& voice, const Audio& rest, double start, double end)
{
    const size_t from = std::min(speech.frames(), frameAt(start, speech.sampleRate));
    const size_t to = std::min(speech.frames(), frameAt(end, speech.sampleRate));
    if (to <= from)
        return 0.0;
    const std::vector<bool> sounding = soundingFrames(speech.samples.data() + from, to - from, speech.sampleRate);
    const size_t frame = size_t(std::lround(kSpeechFrameSeconds * speech.sampleRate));
    double voiceEnergy = 0.0, restEnergy = 0.0;
    for (size_t k = 0; k < sounding.size(); ++k) {
        if (!sounding[k])
            continue;
        const size_t first = from + k * frame, length = std::min(frame, to - first);
        voiceEnergy += meanSquare(voice, first, length) * double(length);
        restEnergy += meanSquare(rest, first, length) * double(length);
    }
    if (voiceEnergy <= 0.0)
        return 0.0;
    return restEnergy > 0.0 ? std::min(200.0, 10.0 * std::log10(voiceEnergy / restEnergy)) : 200.0;
}

std::vector<double> effectOverRest(const Audio& effect, const Audio& rest, double from, double to)
{
    const double kBlock = 0.1, kSettle = 0.05; // seconds; the filters settle before the first block
    const int rate = effect.sampleRate;
    const size_t channels = size_t(effect.channels), block = size_t(kBlock * rate);
    const size_t first = frameAt(std::max(0.0, from - kSettle), rate), start = frameAt(from, rate);
    const size_t end = std::min({frameAt(to, rate), effect.frames(), rest.frames()});
    if (end <= start + block)
        return {};
    const size_t blocks = (end - start) / block;
    std::vector<double> best(blocks, -200.0);
    for (double centre = 125.0; centre <= 8000.0; centre *= 2.0) {
        std::vector<double> effectEnergy(blocks, 0.0), restEnergy(blocks, 0.0);
        for (size_t c = 0; c < channels; ++c) {
            Biquad e = Biquad::bandPass(centre, std::sqrt(2.0), rate), r = Biquad::bandPass(centre, std::sqrt(2.0), rate);
            for (size_t i = first; i < start + blocks * block; ++i) {
                double ye = e.step(effect.samples[i * channels + c]), yr = r.step(rest.samples[i * channels + c]);
                if (i >= start) {
                    effectEnergy[(i - start) / block] += ye * ye;
                    restEnergy[(i - start) / block] += yr * yr;
                }
            }
        }
        for (size_t k = 0; k < blocks; ++k) {
            if (effectEnergy[k] <= 1e-20)
                continue;
            double over = restEnergy[k] > 1e-20 ? 10.0 * std::log10(effectEnergy[k] / restEnergy[k]) : 200.0;
            best[k] = std::max(best[k], over);
        }
    }
    return best;
}

std::vector<double> gainPerFrame(const Audio& mixed, const Audio& source, double from, double to)
{
    const size_t frame = size_t(std::lround(kSpeechFrameSeconds * source.sampleRate));
    std::vector<double> gains;
    for (size_t first = frameAt(from, source.sampleRate); first + frame <= frameAt(to, source.sampleRate);
         first += frame) {
        double reference = meanSquare(source, first, frame);
        if (reference >= kSourceFloor)
            gains.push_back(10.0 * std::log10(std::max(meanSquare(mixed, first, frame), 1e-20) / reference));
    }
    return gains;
}

double gainRise(const Audio& mixed, const Audio& source, double from, double to)
{
    std::vector<double> gains = gainPerFrame(mixed, source, from, to);
    if (gains.empty())
        return 0.0;
    return std::max(0.0, *std::max_element(gains.begin(), gains.end()) - gains.front());
}

void removeRumble(Audio& audio)
{
    const size_t channels = size_t(audio.channels);
    for (size_t c = 0; c < channels; ++c) {
        Biquad filter = Biquad::firstOrderHighPass(kRumbleCutoff, audio.sampleRate);
        for (size_t i = c; i < audio.samples.size(); i += channels)
            audio.samples[i] = float(filter.step(audio.samples[i]));
    }
}

Audio speechBand(const Audio& audio)
{
    Audio band = audio;
    const size_t channels = size_t(audio.channels);
    const double q = 1.0 / std::sqrt(2.0);
    for (size_t c = 0; c < channels; ++c) {
        Biquad filters[] = {Biquad::butterworthHighPass(300.0, audio.sampleRate),
                            Biquad::butterworthHighPass(300.0, audio.sampleRate),
                            Biquad::lowPass(4000.0, q, audio.sampleRate), Biquad::lowPass(4000.0, q, audio.sampleRate)};
        for (size_t i = c; i < band.samples.size(); i += channels) {
            double x = band.samples[i];
            for (Biquad& filter : filters)
                x = filter.step(x);
            band.samples[i] = float(x);
        }
    }
    return band;
}

size_t wordCount(const std::string& text)
{
    size_t count = 0;
    bool inWord = false;
    for (char c : text) {
        bool part = std::isalnum(static_cast<unsigned char>(c)) || c == '\'';
        if (part && !inWord)
            ++count;
        inWord = part;
    }
    return count;
}

double wordsPerSecond(const std::string& text, double start, double end)
{
    return end > start ? double(wordCount(text)) / (end - start) : 0.0;
}

Audio sum(const Audio& a, const Audio& b)
{
    Audio out = a.samples.size() >= b.samples.size() ? a : b;
    const Audio& shorter = a.samples.size() >= b.samples.size() ? b : a;
    for (size_t i = 0; i < shorter.samples.size(); ++i)
        out.samples[i] += shorter.samples[i];
    return out;
}
