// mix-soundtrack: lays the voice stem over the music and the sound effects,
// turning music and effects down in the speech band while the voice sounds
// (a dynamic equaliser keyed by the voice stem) and ducking them while
// anyone speaks (deeper under a line the rest would crowd, held through
// short gaps), fades the end, and brings the whole to the target loudness
// with its true peaks held under a ceiling.
// It can write the three stems as they sit in the mix. Encoding is
// encode-ogg's; judging the result is measure-mix's.
#include "ArgumentReader.h"
#include "LineTable.h"
#include "Loudness.h"
#include "MixFigures.h"
#include "SoundMath.h"
#include "SpeechBandEqualiser.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr double kTargetLoudness = -16.0;  // LUFS
constexpr double kPeakCeiling = -2.0;      // dBTP, leaving the encoder room under -1 dBTP
constexpr double kDuckDepth = 8.0;         // dB the music and effects dip under every line at least...
constexpr double kClearance = 13.5;        // ...deeper where the voice would stand less than this over them...
constexpr double kMedianClearance = 15.5;  // ...and all deeper while the median line stands less than this...
constexpr double kDeepestDuck = 18.0;      // ...down to this
constexpr double kDuckLead = 0.15;         // seconds the dip is complete before a line
constexpr double kDuckAttack = 0.1;        // seconds to go down
constexpr double kDuckHold = 0.08;         // seconds it stays down after a line
constexpr double kDuckRelease = 0.5;       // seconds to come back up
constexpr double kHoldGap = 1.5;           // a gap between lines shorter than this keeps the dip
constexpr double kMostRise = 2.5;          // dB the dip may lessen from one line to the next inside a gap
constexpr double kFadeOut = 0.4;           // seconds of fade before the end of the sound
constexpr int kSampleRate = 44100;

const char* kHelp =
    "usage: mix-soundtrack MUSIC.wav VOICES.wav LINES.tsv OUT.wav SECONDS [END]\n"
    "                      [--effects EFFECTS.wav] [--stems DIR]\n"
    "Mixes the stereo MUSIC.wav and EFFECTS.wav with the mono VOICES.wav (all\n"
    "44100 Hz). While the voice sounds (held through pauses shorter than\n"
    "1.65 s), music and effects give way by 15 dB between 300 Hz and 4 kHz,\n"
    "where the voice carries its words; and they duck by 8 dB over the spans\n"
    "of LINES.tsv (as speak-screenplay writes it), deeper (up to 18 dB) where a\n"
    "line would stand less than 13.5 dB over them or the median line less\n"
    "than 15.5 dB, holding the dip through gaps shorter than 1.5 s. Writes\n"
    "SECONDS of stereo float audio at -16 LUFS integrated with true peaks\n"
    "under -2 dBTP.\n"
    "The sound fades out to silence at END seconds (default SECONDS) and\n"
    "stays silent after it.\n"
    "\n"
    "  --effects FILE  the sound effects (stereo), ducked like the music\n"
    "  --stems DIR     also write DIR/voices.wav (mono, as it sounds in both\n"
    "                  channels), DIR/music.wav and DIR/effects.wav as they sit\n"
    "                  in the mix: the mix is their sum\n"
    "  -h, --help      this text\n"
    "  --version       the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

struct Knot {
    double time, depth; // seconds, dB under full
};

// The depth of the dip under each line: kDuckDepth, or deeper where the
// voice would stand less than kClearance over the rest, and all of them
// deeper while the median line stands less than kMedianClearance over it;
// then, inside every held gap, deep enough that the music rises by at most
// kMostRise.
std::vector<double> duckDepths(const std::vector<SpokenLine>& lines, const Audio& voices, const Audio& rest)
{
    std::vector<double> undipped; // each line's voice over the rest before the dip
    for (const SpokenLine& line : lines)
        undipped.push_back(voiceOverRest(voices, voices, rest, line.start, line.end));
    std::vector<double> depths(lines.size());
    for (double least = kDuckDepth; !lines.empty() && least <= kDeepestDuck;) {
        std::vector<double> clearances;
        for (size_t i = 0; i < lines.size(); ++i) {
            depths[i] = std::clamp(kClearance - undipped[i], least, kDeepestDuck);
            clearances.push_back(undipped[i] + depths[i]);
        }
        std::nth_element(clearances.begin(), clearances.begin() + long(clearances.size() / 2), clearances.end());
        if (clearances[clearances.size() / 2] >= kMedianClearance)
            break;
        least += std::max(0.1, kMedianClearance - clearances[clearances.size() / 2]);
    }
    for (size_t i = 1; i < lines.size(); ++i)
        if (lines[i].start - lines[i - 1].end < kHoldGap)
            depths[i] = std::max(depths[i], depths[i - 1] - kMostRise);
    return depths;
}

// Where the dip changes: it goes down before a run of lines whose gaps are
// all shorter than kHoldGap, moves from one line's depth to the next in
// the gaps, and comes back up after the run.
std::vector<Knot> duckKnots(const std::vector<SpokenLine>& lines, const std::vector<double>& depths)
{
    std::vector<Knot> knots;
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool opensRun = i == 0 || lines[i].start - lines[i - 1].end >= kHoldGap;
        const bool closesRun = i + 1 == lines.size() || lines[i + 1].start - lines[i].end >= kHoldGap;
        double down = lines[i].start - kDuckLead, up = lines[i].end + kDuckHold;
        if (!opensRun) {
            // The move from the last line's depth ends as this line's dip is due,
            // or, in a gap too short for lead and hold, spans the silence.
            double from = knots.back().time;
            if (down - from < 0.05) {
                knots.back().time = lines[i - 1].end;
                down = lines[i].start;
            }
        } else {
            knots.push_back({down - kDuckAttack, 0.0});
        }
        knots.push_back({down, depths[i]});
        knots.push_back({up, depths[i]});
        if (closesRun)
            knots.push_back({up + kDuckRelease, 0.0});
    }
    return knots;
}

// The gain of music and effects per frame: full, dipping between the knots
// along half cosines (in dB).
std::vector<float> duckingCurve(const std::vector<Knot>& knots, size_t frames, int rate)
{
    std::vector<float> gain(frames, 1.0f);
    for (size_t k = 0; k + 1 < knots.size(); ++k) {
        const Knot& a = knots[k];
        const Knot& b = knots[k + 1];
        if (a.depth == 0.0 && b.depth == 0.0)
            continue;
        size_t from = std::min(frames, size_t(std::max(0.0, std::ceil(a.time * rate))));
        size_t to = std::min(frames, size_t(std::max(0.0, std::ceil(b.time * rate))));
        for (size_t i = from; i < to; ++i) {
            double x = b.time > a.time ? (double(i) / rate - a.time) / (b.time - a.time) : 1.0;
            double along = 0.5 - 0.5 * std::cos(kPi * std::clamp(x, 0.0, 1.0));
            gain[i] = float(fromDecibels(-(a.depth + (b.depth - a.depth) * along)));
        }
    }
    return gain;
}

// The gain per frame of a look-ahead limiter that holds `peaks` (per
// frame, after `gain`) under `ceiling`: it ramps down over 4 ms before a
// peak and recovers over ~100 ms.
std::vector<float> limiterGain(const std::vector<float>& peaks, double gain, float ceiling)
{
    const size_t frames = peaks.size(), look = size_t(kSampleRate) / 250; // 4 ms
    std::vector<float> need(frames);
    for (size_t i = 0; i < frames; ++i) {
        double peak = peaks[i] * gain;
        need[i] = peak > ceiling ? float(ceiling / peak) : 1.0f;
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
    const double release = 1.0 - std::exp(-1.0 / (0.1 * kSampleRate));
    std::vector<float> out(frames);
    double current = 1.0;
    for (size_t i = 0; i < frames; ++i) {
        size_t a = i >= look ? i - look : 0, b = std::min(frames, i + look + 1);
        double smooth = std::min<double>((prefix[b] - prefix[a]) / double(b - a), lowest[i]);
        current = smooth < current ? smooth : current + (smooth - current) * release;
        out[i] = float(current * gain);
    }
    return out;
}

// `audio` times `gain` frame by frame.
void applyGain(Audio& audio, const std::vector<float>& gain)
{
    const size_t channels = size_t(audio.channels);
    for (size_t i = 0; i < audio.frames(); ++i)
        for (size_t c = 0; c < channels; ++c)
            audio.samples[i * channels + c] *= i < gain.size() ? gain[i] : 0.0f;
}

// The gain per frame that brings `mix` to kTargetLoudness with its true
// peaks under kPeakCeiling: a gain to the target, then the limiter, and
// again, since limiting takes a little loudness away, which the next round
// gives back.
std::vector<float> targetGain(const Audio& mix)
{
    const std::vector<float> peaks = framePeaks(mix);
    const float ceiling = float(fromDecibels(kPeakCeiling));
    double gain = 1.0, loudness = integratedLoudness(mix);
    std::vector<float> curve;
    for (int round = 0; round < 4; ++round) {
        gain *= fromDecibels(kTargetLoudness - loudness);
        curve = limiterGain(peaks, gain, ceiling);
        Audio limited = mix;
        applyGain(limited, curve);
        loudness = integratedLoudness(limited);
        std::fprintf(stderr, "mix-soundtrack: round %d: %.2f LUFS\n", round + 1, loudness);
        if (std::fabs(loudness - kTargetLoudness) < 0.05)
            break;
    }
    return curve;
}

// `path` as a WAVE file of `channels` channels at kSampleRate, `frames`
// long (cut or padded with silence); throws naming the file and `what` it
// should hold otherwise.
Audio readStem(const std::string& path, int channels, const char* what, size_t frames)
{
    Audio audio = readWav(path);
    if (audio.channels != channels || audio.sampleRate != kSampleRate)
        throw std::runtime_error(path + ": " + what);
    audio.samples.resize(frames * size_t(channels), 0.0f);
    return audio;
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    std::string effectsPath, stemsDir;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isOption("--effects"))
            effectsPath = args.value();
        else if (args.isOption("--stems"))
            stemsDir = args.value();
        else
            operands.push_back(args.operand());
    }
    if (operands.size() < 5 || operands.size() > 6)
        throw UsageError("needs the music, the voices, a line table, an output file, a length and at most an end");
    const double seconds = ArgumentReader::number("the length", operands[4], 1.0, 24 * 3600);
    const double silentFrom =
        operands.size() == 6 ? ArgumentReader::number("the end", operands[5], kFadeOut, seconds) : seconds;
    const size_t frames = size_t(std::llround(seconds * kSampleRate));

    Audio music = readStem(operands[0], 2, "the music must be 44100 Hz stereo", frames);
    Audio voices = readStem(operands[1], 1, "the voices must be 44100 Hz mono", frames);
    Audio effects;
    effects.channels = 2;
    effects.samples.assign(frames * 2, 0.0f);
    if (!effectsPath.empty())
        effects = readStem(effectsPath, 2, "the effects must be 44100 Hz stereo", frames);
    const std::vector<SpokenLine> lines = readLineTable(operands[2]);
    std::fprintf(stderr, "mix-soundtrack: mixing %zu lines over %.1f s of music\n", lines.size(), seconds);

    removeRumble(music);
    // The band is held through every pause the dip holds through: a voice
    // whose first word starts softly sounds a little after its line starts,
    // so pauses up to kDuckLead longer count too.
    const std::vector<float> band = SpeechBandEqualiser::keyCurve(voices, frames, SpeechBandEqualiser::kMixDepth,
        kHoldGap + kDuckLead, kDuckLead, kDuckAttack, kDuckHold, kDuckRelease);
    SpeechBandEqualiser::apply(music, band);
    SpeechBandEqualiser::apply(effects, band);
    const std::vector<double> depths = duckDepths(lines, voices, sum(music, effects));
    std::vector<float> gain = duckingCurve(duckKnots(lines, depths), frames, kSampleRate);
    applyGain(music, gain);
    applyGain(effects, gain);
    if (depths.empty())
        std::fprintf(stderr, "mix-soundtrack: no lines, so no dips\n");
    else
        std::fprintf(stderr, "mix-soundtrack: dips of %.1f to %.1f dB under the lines\n",
                     *std::min_element(depths.begin(), depths.end()), *std::max_element(depths.begin(), depths.end()));

    // The fade, then the gain to the target, on the sum and on each stem.
    const size_t fadeFrames = size_t(kFadeOut * kSampleRate), silentFrame = std::min(frames, size_t(silentFrom * kSampleRate));
    for (size_t i = 0; i < frames; ++i)
        gain[i] = i >= silentFrame ? 0.0f : i + fadeFrames > silentFrame ? float(silentFrame - i) / float(fadeFrames) : 1.0f;
    for (Audio* stem : {&music, &effects, &voices})
        applyGain(*stem, gain);
    Audio mix = sum(music, effects);
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < 2; ++c)
            mix.samples[2 * i + c] += voices.samples[i];
    gain = targetGain(mix);
    applyGain(mix, gain);
    std::fprintf(stderr, "mix-soundtrack: true peak %.2f dBTP\n", toDecibels(truePeak(mix)));
    writeWav(operands[3], mix, WavEncoding::Float32);
    if (!stemsDir.empty()) {
        for (auto [stem, name] : {std::pair{&voices, "voices"}, {&music, "music"}, {&effects, "effects"}}) {
            applyGain(*stem, gain);
            writeWav(stemsDir + "/" + name + ".wav", *stem, WavEncoding::Float32);
        }
    }
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("mix-soundtrack", kHelp).run(argc, argv, run);
}
