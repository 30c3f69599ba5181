// make-effects run as the content build runs it, on cue sheets a maker might
// write: every recipe at the shortest and the longest length a cue may have,
// and sheets it must refuse with their line named.
#include "EffectCues.h"
#include "SoundEffects.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

constexpr int kRate = 44100;

// The RMS in dBFS of the loudest 100 ms of channel `channel`.
double loudest100ms(const Audio& audio, int channel)
{
    const size_t window = kRate / 10, frames = audio.frames();
    std::vector<double> prefix(frames + 1, 0.0);
    for (size_t i = 0; i < frames; ++i) {
        const double s = audio.samples[i * size_t(audio.channels) + size_t(channel)];
        prefix[i + 1] = prefix[i] + s * s;
    }
    double loudest = 0.0;
    for (size_t from = 0; from < frames; from += 10)
        loudest = std::max(loudest, (prefix[std::min(frames, from + window)] - prefix[from]) / double(window));
    return 10.0 * std::log10(std::max(loudest, 1e-30));
}

std::string number(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

TEST(EffectRecipes, every_recipe_sounds_at_its_level_at_the_shortest_and_longest_cue)
{
    TempDir dir;
    for (const SoundRecipe& recipe : soundRecipes()) {
        for (double seconds : {kShortestCue, kLongestCue}) {
            const std::string cue = "0.5 " + std::string(recipe.name) + " " + number(seconds) + " -20 0";
            SCOPED_TRACE(cue);
            writeFile(dir.path("effects.txt"), "say Lovely evening.\nsay Have you met my wife?\n" + cue + "\n");
            // Room for the longest ring-out after the cue.
            const double track = std::ceil(0.5 + seconds + 2.0);
            const ToolRun run = runTool({QUORVANE_MAKE_EFFECTS, dir.path("effects.txt"), dir.path("effects.wav"),
                                         number(track)});
            ASSERT_EQ(run.exitCode, 0) << run.errors;
            const Audio stem = readWav(dir.path("effects.wav"));
            ASSERT_EQ(stem.channels, 2);
            EXPECT_EQ(stem.frames(), size_t(track * kRate));
            EXPECT_TRUE(std::all_of(stem.samples.begin(), stem.samples.end(), [](float s) { return std::isfinite(s); }));
            // Panned to the centre, each side carries half the power.
            for (int channel : {0, 1})
                EXPECT_NEAR(loudest100ms(stem, channel), -20.0 - 10.0 * std::log10(2.0), 0.5);
        }
    }
}

TEST(EffectRecipes, a_sheet_it_cannot_make_is_refused_with_its_line)
{
    const std::pair<const char*, const char*> cases[] = {
        {"# the door\n214.25 door 0.0005 -25 0.7\n", "effects.txt:2: length \"0.0005\" is not seconds from 0.001 to 60"},
        {"214.25 door 60.001 -25 0.7\n", "effects.txt:1: length \"60.001\""},
        {"say Hello.\n1 door 1 -25 0\n9.5 ring 2 -17 0\n", "effects.txt:3: the ring runs past the end of the track"},
        {"1 murmur 5 -28 0\n", "effects.txt:1: the murmur needs sentences"},
        {"1 door 1 -25 0\n0.5 ring 1 -17 0\n", "effects.txt:2: cues must be in time order"},
        {"1 creak 1 -25 0\n", "effects.txt:1: no sound is called \"creak\""},
    };
    TempDir dir;
    for (const auto& [sheet, message] : cases) {
        SCOPED_TRACE(sheet);
        writeFile(dir.path("effects.txt"), sheet);
        const ToolRun run =
            runTool({QUORVANE_MAKE_EFFECTS, dir.path("effects.txt"), dir.path("effects.wav"), "10"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.errors.find("make-effects: " + dir.path(message)), std::string::npos) << run.errors;
    }
}

} // namespace
