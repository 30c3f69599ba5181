// measure-mix: what a viewer hears of the lines in the finished mix. For
// every line: how fast it is spoken, how far its voice stands over
// everything else in the track, and how far the music's gain rises in the
// gap to the next line; then the loudness and true peak of the mix and,
// if given, of the encoded track. Reads the stems mix-soundtrack writes.
#include "ArgumentReader.h"
#include "EffectCues.h"
#include "LineTable.h"
#include "Loudness.h"
#include "MixFigures.h"
#include "OggFile.h"
#include "SpeechBandEqualiser.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kHeldGap = 1.5;        // seconds: the music holds its dip through shorter gaps
constexpr double kLeastClearance = 12.0; // dB every line should stand over the rest
constexpr double kMostRise = 3.0;        // dB the music may rise in a held gap
constexpr double kMostWordsPerSecond = 4.0;

const char* kUsage =
    "usage: measure-mix LINES.tsv VOICES.wav MUSIC.wav STEMS_DIR [--track TRACK.ogg]\n"
    "                   [--cues EFFECTS.txt]\n"
    "Reads the line table and voice stem speak-screenplay writes, the music\n"
    "render-score writes, and the stems mix-soundtrack writes into STEMS_DIR\n"
    "(voices.wav, music.wav, effects.wav), and prints for every line its words\n"
    "per second, its voice over everything else in the mix (dB, over the 10 ms\n"
    "frames in which the voice sounds), the music's dip under it (dB under its\n"
    "level outside the dips) and, in a gap shorter than 1.5 s before the next\n"
    "line, how far the music's gain rises; then a summary, and the loudness\n"
    "and true peak of the mix (the stems' sum) and of TRACK.ogg; and for every\n"
    "cue of EFFECTS.txt how far the sound effect stands over the rest of the\n"
    "mix in the octave where it stands highest: at best, and in the median\n"
    "100 ms block of its length.\n"
    "\n"
    "  --track FILE  also measure the encoded track\n"
    "  --cues FILE   also measure the sound effects of that cue sheet\n"
    "  -h, --help    this text\n"
    "  --version     the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The stem `name` of `dir`, as mix-soundtrack writes it.
Audio readStem(const std::string& dir, const char* name)
{
    return readWav(dir + "/" + name + ".wav");
}

void printLoudness(const char* what, const Audio& audio)
{
    std::printf("%s: %.2f LUFS integrated, true peak %.2f dBTP, sample peak %.2f dBFS\n", what,
                integratedLoudness(audio), toDecibels(truePeak(audio)), toDecibels(samplePeak(audio)));
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    std::string trackPath, cuesPath;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isOption("--track"))
            trackPath = args.value();
        else if (args.isOption("--cues"))
            cuesPath = args.value();
        else
            operands.push_back(args.operand());
    }
    if (operands.size() != 4)
        throw UsageError("needs the line table, the voice stem, the music and the stems' folder");
    const std::vector<SpokenLine> lines = readLineTable(operands[0]);
    const Audio speech = readWav(operands[1]);
    // The music as the mix reads it: rumble taken out and through the speech
    // band equaliser, which with the band whole turns only its phase.
    Audio source = readWav(operands[2]);
    removeRumble(source);
    Audio held = source;
    SpeechBandEqualiser::apply(source, std::vector<float>(source.frames(), 1.0f));
    const Audio voice = readStem(operands[3], "voices"), music = readStem(operands[3], "music");
    const Audio effects = readStem(operands[3], "effects");
    const Audio rest = sum(music, effects);
    if (speech.channels != 1 || voice.channels != 1)
        throw std::runtime_error("the voice stems must be mono");
    if (music.channels != rest.channels || source.channels != music.channels)
        throw std::runtime_error("the music, its stem and the effects' stem must have the same channels");

    // The music's full gain: what it has outside the dips (the 95th
    // percentile over the whole track), so that a dip reads as the fall from it.
    std::vector<double> gains = gainPerFrame(music, source, 0.0, double(music.frames()) / music.sampleRate);
    if (gains.empty())
        throw std::runtime_error(operands[2] + ": the music is silent");
    std::nth_element(gains.begin(), gains.begin() + long(gains.size() * 95 / 100), gains.end());
    const double full = gains[gains.size() * 95 / 100];

    // Through a short gap the band the voices speak in stays turned down as
    // under the lines, whatever the music plays there: the rise is read
    // against the music with that band down, so that only a change of gain
    // reads as one.
    SpeechBandEqualiser::apply(
        held, std::vector<float>(held.frames(), float(fromDecibels(-SpeechBandEqualiser::kMixDepth))));

    std::vector<double> clearances, rises, paces;
    size_t underClearance = 0, overRise = 0, overPace = 0;
    std::printf("%8s %8s  %-9s %7s %9s %6s %5s %5s  %s\n", "start", "end", "speaker", "words/s", "over rest", "dip",
                "gap", "rise", "text");
    for (size_t i = 0; i < lines.size(); ++i) {
        const SpokenLine& line = lines[i];
        double pace = wordsPerSecond(line.text, line.start, line.end);
        double clearance = voiceOverRest(speech, voice, rest, line.start, line.end);
        double dip = median(gainPerFrame(music, source, line.start, line.end)) - full;
        clearances.push_back(clearance);
        paces.push_back(pace);
        underClearance += clearance < kLeastClearance;
        overPace += pace > kMostWordsPerSecond;
        std::printf("%8.3f %8.3f  %-9s %7.2f %6.1f dB %6.1f", line.start, line.end, line.speaker.c_str(), pace,
                    clearance, dip);
        double gap = i + 1 < lines.size() ? lines[i + 1].start - line.end : 1e9;
        if (gap < kHeldGap) {
            double rise = gainRise(music, held, line.end, lines[i + 1].start);
            rises.push_back(rise);
            overRise += rise > kMostRise;
            std::printf(" %5.2f %5.1f", gap, rise);
        } else {
            std::printf(" %5s %5s", "", "");
        }
        std::printf("  %s\n", line.text.c_str());
    }
    if (lines.empty())
        throw std::runtime_error(operands[0] + ": no lines");
    std::printf("\n%zu lines; voice over the rest: median %.1f dB, lowest %.1f dB, %zu under %.0f dB\n", lines.size(),
                median(clearances), *std::min_element(clearances.begin(), clearances.end()), underClearance,
                kLeastClearance);
    std::printf("%zu gaps under %.1f s; the music's gain rises by at most %.1f dB in them, %zu by more than %.0f dB\n",
                rises.size(), kHeldGap, rises.empty() ? 0.0 : *std::max_element(rises.begin(), rises.end()), overRise,
                kMostRise);
    std::printf("words per second: median %.2f, highest %.2f, %zu lines over %.0f\n", median(paces),
                *std::max_element(paces.begin(), paces.end()), overPace, kMostWordsPerSecond);

    Audio mix = rest;
    for (size_t i = 0; i < mix.frames() && i < voice.frames(); ++i)
        for (size_t c = 0; c < size_t(mix.channels); ++c)
            mix.samples[i * size_t(mix.channels) + c] += voice.samples[i];
    printLoudness("the mix", mix);
    if (!cuesPath.empty()) {
        Audio others = mix;
        for (size_t i = 0; i < others.samples.size() && i < effects.samples.size(); ++i)
            others.samples[i] -= effects.samples[i];
        std::printf("\n%8s  %-7s %6s %8s  (the effect over the rest in its strongest octave, dB)\n", "start", "sound",
                    "best", "median");
        for (const EffectCue& cue : loadEffectCues(cuesPath, {}).cues) {
            std::vector<double> blocks = effectOverRest(effects, others, cue.start, cue.start + cue.seconds);
            if (!blocks.empty())
                std::printf("%8.3f  %-7s %6.1f %8.1f\n", cue.start, cue.sound.c_str(),
                            *std::max_element(blocks.begin(), blocks.end()), median(blocks));
        }
    }
    if (!trackPath.empty())
        printLoudness(trackPath.c_str(), readOgg(trackPath));
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("measure-mix", kUsage).run(argc, argv, run);
}
