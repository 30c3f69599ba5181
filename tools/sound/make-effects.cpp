// make-effects: makes every sound effect of the cue sheet with its recipe
// and lays them, at their levels and places, on one stereo stem of the
// track's length. Ducking them under the voices is mix-soundtrack's work.
#include "ArgumentReader.h"
#include "EffectCues.h"
#include "Loudness.h"
#include "SoundEffects.h"
#include "SoundMath.h"
#include "ToolMain.h"
#include "TrackLength.h"
#include "UsageError.h"
#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr double kLevelWindow = 0.1; // seconds: a cue's level is that of its loudest stretch this long

const char* kUsage =
    "usage: make-effects EFFECTS.txt OUT.wav [SECONDS]\n"
    "Makes every cue of the cue sheet EFFECTS.txt (\"START SOUND SECONDS LEVEL\n"
    "PAN\" lines and \"say\" sentences; see content/sound/effects.txt) and\n"
    "writes them as one 44100 Hz stereo float stem of SECONDS length (by\n"
    "default the show's end to the next whole second). LEVEL is the dBFS of\n"
    "the sound's loudest 100 ms before panning;\n"
    "panning keeps the power. The sounds:\n"
    "%s"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

std::string usage()
{
    std::string sounds;
    for (const SoundRecipe& r : soundRecipes())
        sounds += "  " + std::string(r.name) + std::string(8 - std::string(r.name).size(), ' ') +
                  r.what + "\n";
    std::string text = kUsage;
    return text.replace(text.find("%s"), 2, sounds);
}

// A seed of the cue's own, from its sound and start (FNV-1a), so that a
// cue sounds the same however the sheet around it changes.
uint32_t seedOf(const EffectCue& cue)
{
    uint32_t hash = 2166136261u;
    for (char c : cue.sound + "@" + std::to_string(std::llround(cue.start * 1000.0)))
        hash = (hash ^ uint8_t(c)) * 16777619u;
    return hash;
}

// The RMS in dBFS of the loudest kLevelWindow of `sound`.
double loudestLevel(const std::vector<float>& sound)
{
    const size_t window = size_t(kLevelWindow * kSampleRate), hop = window / 10;
    double loudest = 0.0;
    for (size_t from = 0; from < sound.size(); from += hop) {
        double energy = 0.0;
        size_t to = std::min(sound.size(), from + window);
        for (size_t i = from; i < to; ++i)
            energy += double(sound[i]) * sound[i];
        loudest = std::max(loudest, energy / double(window));
    }
    return loudest > 0.0 ? 10.0 * std::log10(loudest) : -200.0;
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() < 2 || operands.size() > 3)
        throw UsageError("needs a cue sheet, an output file and at most a length");
    const double seconds = operands.size() == 3 ? ArgumentReader::number("the length", operands[2], 1.0, 3600.0) : kTrackSeconds;

    std::vector<std::string> names;
    for (const SoundRecipe& r : soundRecipes())
        names.push_back(r.name);
    const EffectCues sheet = loadEffectCues(operands[0], names);

    Audio stem;
    stem.sampleRate = kSampleRate;
    stem.channels = 2;
    stem.samples.assign(size_t(std::llround(seconds * kSampleRate)) * 2, 0.0f);
    for (size_t k = 0; k < sheet.cues.size(); ++k) {
        const EffectCue& cue = sheet.cues[k];
        const std::string where = operands[0] + ":" + std::to_string(cue.sourceLine) + ": ";
        const SoundRecipe& recipe =
            *std::find_if(soundRecipes().begin(), soundRecipes().end(), [&](const SoundRecipe& r) { return cue.sound == r.name; });
        std::mt19937 random(seedOf(cue));
        EffectRequest request{cue.seconds, &random, &sheet.sayings};
        std::vector<float> sound;
        try {
            sound = recipe.make(request);
        } catch (const std::runtime_error& e) {
            throw std::runtime_error(where + e.what());
        }
        const double level = loudestLevel(sound);
        if (level < -150.0)
            throw std::runtime_error(where + "the " + cue.sound + " came out silent");
        const double gain = fromDecibels(cue.level - level);
        const double angle = (cue.pan + 1.0) * kPi / 4.0;
        const double sides[2] = {std::cos(angle), std::sin(angle)};
        const size_t first = size_t(std::llround(cue.start * kSampleRate));
        if (2 * (first + sound.size()) > stem.samples.size())
            throw std::runtime_error(where + "the " + cue.sound + " runs past the end of the track");
        for (size_t i = 0; i < sound.size(); ++i)
            for (size_t c = 0; c < 2; ++c)
                stem.samples[2 * (first + i) + c] += float(gain * sides[c] * sound[i]);
        std::fprintf(stderr, "make-effects: %zu of %zu: %s at %.3f s\n", k + 1, sheet.cues.size(), cue.sound.c_str(),
                     cue.start);
    }
    writeWav(operands[1], stem, WavEncoding::Float32);
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("make-effects", usage()).run(argc, argv, run);
}
