// mix-soundtrack: lays the voice stem over the music, ducking the music
// while anyone speaks, fades the ends, and brings the whole to the target
// loudness with its peaks held under a ceiling. Encoding is encode-ogg's.
#include "ArgumentReader.h"
#include "Loudness.h"
#include "SoundMath.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kTargetLoudness = -16.0;  // LUFS
constexpr double kPeakCeiling = -2.0;      // dBFS, leaving the encoder room under -1 dBFS
constexpr double kDuckDepth = -8.0;        // dB of music under speech
constexpr double kDuckLead = 0.15;         // seconds the music starts to dip before a line
constexpr double kDuckHold = 0.08;         // seconds it stays down after a line
constexpr double kDuckAttack = 0.1;        // seconds to go down
constexpr double kDuckRelease = 0.3;       // seconds to come back, so it fills every gap of 0.6 s or more
constexpr double kVoiceGain = 0.0;         // dB
constexpr double kFadeOut = 0.4;           // seconds of fade before the end of the sound
constexpr int kSampleRate = 44100;

const char* kHelp =
    "usage: mix-soundtrack MUSIC.wav VOICES.wav LINES.tsv OUT.wav SECONDS [END]\n"
    "Mixes the stereo MUSIC.wav with the mono VOICES.wav (both 44100 Hz),\n"
    "ducking the music over the spans of LINES.tsv (start, tab, end, ...),\n"
    "and writes SECONDS of stereo float audio at -16 LUFS integrated with\n"
    "sample peaks under -2 dBFS. The sound fades out to silence at END\n"
    "seconds (default SECONDS) and stays silent after it.\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

struct Span {
    double start, end;
};

std::vector<Span> readSpans(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    std::vector<Span> spans;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (line.empty())
            continue;
        std::istringstream in(line);
        Span s;
        if (!(in >> s.start >> s.end) || !(s.start < s.end))
            throw std::runtime_error(path + ":" + std::to_string(number) + ": expected a start and a later end");
        spans.push_back(s);
    }
    return spans;
}

// The music's gain over time: down by kDuckDepth around every line, with
// smooth cosine ramps, so the music breathes between lines.
std::vector<float> duckingCurve(const std::vector<Span>& spans, size_t frames, int rate)
{
    std::vector<float> target(frames, 1.0f);
    const float low = float(fromDecibels(kDuckDepth));
    auto ramp = [](double x) { return 0.5 - 0.5 * std::cos(kPi * std::clamp(x, 0.0, 1.0)); };
    for (const Span& s : spans) {
        double downStart = s.start - kDuckLead - kDuckAttack, downEnd = s.start - kDuckLead;
        double upStart = s.end + kDuckHold, upEnd = upStart + kDuckRelease;
        size_t from = size_t(std::max(0.0, downStart * rate)), to = std::min(frames, size_t(upEnd * rate) + 1);
        for (size_t i = from; i < to; ++i) {
            double t = double(i) / rate;
            double depth = t < downEnd ? ramp((t - downStart) / kDuckAttack)
                         : t > upStart ? 1.0 - ramp((t - upStart) / kDuckRelease) : 1.0;
            float gain = float(1.0 - depth * (1.0 - low));
            target[i] = std::min(target[i], gain);
        }
    }
    return target;
}

// Removes DC and sub-bass rumble (a first-order high-pass at 25 Hz).
void removeRumble(Audio& audio)
{
    const double a = std::exp(-2.0 * kPi * 25.0 / audio.sampleRate);
    for (int c = 0; c < audio.channels; ++c) {
        double x1 = 0, y1 = 0;
        for (size_t i = 0; i < audio.frames(); ++i) {
            float& s = audio.samples[i * audio.channels + size_t(c)];
            double y = a * (y1 + s - x1);
            x1 = s;
            y1 = y;
            s = float(y);
        }
    }
}

// Holds stereo peaks under `ceiling` with a look-ahead limiter: the gain
// ramps down over `look` frames before a peak and recovers over ~100 ms.
void limit(Audio& audio, float ceiling)
{
    const size_t frames = audio.frames(), look = size_t(audio.sampleRate) / 250; // 4 ms
    std::vector<float> need(frames);
    for (size_t i = 0; i < frames; ++i) {
        float peak = std::max(std::fabs(audio.samples[2 * i]), std::fabs(audio.samples[2 * i + 1]));
        need[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // Lowest need within `look` frames either side (a sliding minimum).
    std::vector<float> lowest(frames);
    std::deque<size_t> window;
    for (size_t i = 0; i < frames + look; ++i) {
        if (i < frames) {
            while (!window.empty() && need[window.back()] >= need[i])
                window.pop_back();
            window.push_back(i);
        }
        if (i >= look) {
            size_t centre = i - look;
            while (window.front() + look < centre)
                window.pop_front();
            lowest[centre] = need[window.front()];
        }
    }
    // Averaged over the same span, so the gain moves smoothly yet is at most
    // the need at every peak.
    std::vector<double> prefix(frames + 1, 0.0);
    for (size_t i = 0; i < frames; ++i)
        prefix[i + 1] = prefix[i] + lowest[i];
    const double release = 1.0 - std::exp(-1.0 / (0.1 * audio.sampleRate));
    double gain = 1.0;
    for (size_t i = 0; i < frames; ++i) {
        size_t a = i >= look ? i - look : 0, b = std::min(frames, i + look + 1);
        double smooth = std::min<double>((prefix[b] - prefix[a]) / double(b - a), lowest[i]);
        gain = smooth < gain ? smooth : gain + (smooth - gain) * release;
        audio.samples[2 * i] = float(audio.samples[2 * i] * gain);
        audio.samples[2 * i + 1] = float(audio.samples[2 * i + 1] * gain);
    }
}

// The music, ducked under the voices and faded out to silence at
// `silentFrom` seconds, with the voices laid over it: `frames` of stereo.
Audio mixStems(const Audio& music, const Audio& voices, const std::vector<Span>& spans, size_t frames,
               double silentFrom)
{
    std::vector<float> duck = duckingCurve(spans, frames, kSampleRate);
    Audio mix;
    mix.sampleRate = kSampleRate;
    mix.channels = 2;
    mix.samples.assign(frames * 2, 0.0f);
    const float voiceGain = float(fromDecibels(kVoiceGain));
    const size_t fadeFrames = size_t(kFadeOut * kSampleRate), silentFrame = std::min(frames, size_t(silentFrom * kSampleRate));
    for (size_t i = 0; i < frames; ++i) {
        float voice = i < voices.frames() ? voices.samples[i] * voiceGain : 0.0f;
        float fade = i >= silentFrame              ? 0.0f
                   : i + fadeFrames > silentFrame ? float(silentFrame - i) / float(fadeFrames)
                                                  : 1.0f;
        for (size_t c = 0; c < 2; ++c) {
            float m = i < music.frames() ? music.samples[2 * i + c] * duck[i] : 0.0f;
            mix.samples[2 * i + c] = (m + voice) * fade;
        }
    }
    return mix;
}

// Brings `mix` to kTargetLoudness with its peaks under kPeakCeiling: gain to
// the target, limit, and again, since limiting takes a little loudness away,
// which the next round gives back.
void bringToTarget(Audio& mix)
{
    const std::vector<float> unlimited = mix.samples;
    double gain = 1.0, loudness = integratedLoudness(mix);
    for (int round = 0; round < 4; ++round) {
        gain *= fromDecibels(kTargetLoudness - loudness);
        for (size_t i = 0; i < mix.samples.size(); ++i)
            mix.samples[i] = float(unlimited[i] * gain);
        limit(mix, float(fromDecibels(kPeakCeiling)));
        loudness = integratedLoudness(mix);
        std::fprintf(stderr, "mix-soundtrack: round %d: %.2f LUFS, peak %.2f dBFS\n", round + 1, loudness,
                     toDecibels(samplePeak(mix)));
        if (std::fabs(loudness - kTargetLoudness) < 0.05)
            break;
    }
}

// `path` as a WAVE file of `channels` channels at kSampleRate; throws
// naming the file and `what` it should hold otherwise.
Audio readStem(const std::string& path, int channels, const char* what)
{
    Audio audio = readWav(path);
    if (audio.channels != channels || audio.sampleRate != kSampleRate)
        throw std::runtime_error(path + ": " + what);
    return audio;
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() < 5 || operands.size() > 6)
        throw UsageError("needs the music, the voices, a line table, an output file, a length and at most an end");
    const double seconds = ArgumentReader::number("the length", operands[4], 1.0, 24 * 3600);
    const double silentFrom =
        operands.size() == 6 ? ArgumentReader::number("the end", operands[5], kFadeOut, seconds) : seconds;

    Audio music = readStem(operands[0], 2, "the music must be 44100 Hz stereo");
    const Audio voices = readStem(operands[1], 1, "the voices must be 44100 Hz mono");
    const std::vector<Span> spans = readSpans(operands[2]);
    const size_t frames = size_t(std::llround(seconds * kSampleRate));
    std::fprintf(stderr, "mix-soundtrack: mixing %zu lines over %.1f s of music\n", spans.size(), seconds);

    removeRumble(music);
    Audio mix = mixStems(music, voices, spans, frames, silentFrom);
    bringToTarget(mix);
    writeWav(operands[3], mix, WavEncoding::Float32);
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("mix-soundtrack", kHelp).run(argc, argv, run);
}
