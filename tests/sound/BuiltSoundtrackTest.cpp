// The soundtrack as the content build leaves it: data/duskwalk.ogg, the
// dialog scripts under data/ and the voice stem they were measured from.
#include "Loudness.h"
#include "Screenplay.h"
#include "SoundFiles.h"
#include "Speech.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kShowEnd = 286.403855;
constexpr double kEdge = 0.03;       // seconds at each end of an interval that must hold voice
constexpr double kSlack = 0.0015;    // the written ends are rounded to the millisecond

class BuiltTrack : public ::testing::Test {
protected:
    static void SetUpTestSuite() { track = new Audio(decodeOgg(dataPath("duskwalk.ogg"))); }
    static void TearDownTestSuite() { delete track; }
    static Audio* track;
};
Audio* BuiltTrack::track = nullptr;

TEST_F(BuiltTrack, is_stereo_44100_vorbis_a_little_longer_than_the_show)
{
    ASSERT_NE(track->sampleRate, 0) << dataPath("duskwalk.ogg") << " does not decode as Ogg Vorbis";
    EXPECT_EQ(track->sampleRate, 44100);
    EXPECT_EQ(track->channels, 2);
    double seconds = double(track->frames()) / track->sampleRate;
    EXPECT_GT(seconds, kShowEnd);
    EXPECT_GE(seconds, 286.6);
    EXPECT_LE(seconds, 288.0);
}

TEST_F(BuiltTrack, peaks_stay_under_minus_one_dbfs_so_nothing_clips)
{
    ASSERT_FALSE(track->samples.empty());
    EXPECT_LT(toDecibels(samplePeak(*track)), -1.0);
}

TEST_F(BuiltTrack, integrated_loudness_is_near_minus_16_lufs)
{
    ASSERT_FALSE(track->samples.empty());
    EXPECT_NEAR(integratedLoudness(*track), -16.0, 1.0);
}

TEST_F(BuiltTrack, music_plays_from_the_title_to_the_credits)
{
    // No stretch of a second or more is silent while the show runs.
    ASSERT_FALSE(track->samples.empty());
    const size_t second = size_t(track->sampleRate);
    for (size_t from = 0; from + second <= size_t(kShowEnd * track->sampleRate); from += second / 2) {
        double energy = 0.0;
        for (size_t i = from * 2; i < (from + second) * 2; ++i)
            energy += double(track->samples[i]) * track->samples[i];
        EXPECT_GT(toDecibels(std::sqrt(energy / double(second * 2))), -50.0)
            << "quiet second at " << double(from) / track->sampleRate << " s";
    }
}

// Every script's intervals, with the script's name.
std::vector<std::pair<std::string, Interval>> allIntervals()
{
    std::vector<std::pair<std::string, Interval>> all;
    for (const ScriptWindows& script : showScripts())
        for (const Interval& i : readScript(dataPath(script.file)))
            all.push_back({script.file, i});
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second.start < b.second.start; });
    return all;
}

TEST(DialogScripts, every_interval_lies_in_a_scene_that_draws_its_figure_speaking)
{
    for (const ScriptWindows& script : showScripts()) {
        bool opened = false;
        std::vector<Interval> intervals = readScript(dataPath(script.file), &opened);
        EXPECT_TRUE(opened) << dataPath(script.file) << " is missing";
        for (const Interval& i : intervals) {
            EXPECT_LT(i.start, i.end) << script.file << ": empty interval at " << i.start;
            bool inside = std::any_of(script.windows.begin(), script.windows.end(),
                                      [&](const SpeakingWindow& w) { return w.start < i.start && i.end < w.end; });
            EXPECT_TRUE(inside) << script.file << ": " << i.start << " to " << i.end
                                << " is not inside a scene that draws its figure speaking";
        }
    }
}

TEST(DialogScripts, no_two_lines_overlap)
{
    std::vector<std::pair<std::string, Interval>> all = allIntervals();
    ASSERT_FALSE(all.empty());
    for (size_t k = 1; k < all.size(); ++k)
        EXPECT_LE(all[k - 1].second.end, all[k].second.start)
            << all[k - 1].first << " at " << all[k - 1].second.start << " runs into " << all[k].first << " at "
            << all[k].second.start;
}

TEST(DialogScripts, read_back_as_the_lines_of_the_screenplay_split_at_their_pauses)
{
    // Each line opens with an interval at its start time and keeps its
    // intervals before the next line of the same script.
    Screenplay play = loadScreenplay(screenplayPath());
    std::map<std::string, std::vector<const DialogLine*>> byScript;
    for (const DialogLine& line : play.lines)
        byScript[line.script].push_back(&line);
    for (const ScriptWindows& script : showScripts()) {
        SCOPED_TRACE(script.file);
        std::vector<Interval> intervals = readScript(dataPath(script.file));
        const std::vector<const DialogLine*>& lines = byScript[script.file];
        ASSERT_GE(intervals.size(), lines.size());
        size_t k = 0;
        for (size_t n = 0; n < lines.size(); ++n) {
            double next = n + 1 < lines.size() ? lines[n + 1]->start : 1e9;
            ASSERT_LT(k, intervals.size()) << play.where(lines[n]->sourceLine) << "has no interval";
            EXPECT_DOUBLE_EQ(intervals[k].start, lines[n]->start) << play.where(lines[n]->sourceLine);
            for (++k; k < intervals.size() && intervals[k].start < next; ++k)
                EXPECT_GE(intervals[k].start, intervals[k - 1].end + 0.05) << "a pause too short to show at "
                                                                           << intervals[k].start;
        }
        EXPECT_EQ(k, intervals.size()) << "intervals after the last line";
    }
    // Every script the screenplay writes is one the show reads.
    for (const auto& [file, lines] : byScript)
        EXPECT_TRUE(std::any_of(showScripts().begin(), showScripts().end(),
                                [&](const ScriptWindows& s) { return file == s.file; }))
            << file << " is read by no figure";
}

TEST(DialogScripts, screenplay_gives_the_cast_their_scripts_and_the_zombies_none)
{
    Screenplay play = loadScreenplay(screenplayPath());
    std::map<std::string, int> linesPerScript;
    for (const DialogLine& line : play.lines)
        ++linesPerScript[line.script];
    for (const char* file : {"harlan.dialog", "vesna.dialog", "prog.dialog", "programmer.dialog", "wife.dialog",
                             "sa.dialog", "veryrich.dialog"})
        EXPECT_GT(linesPerScript[file], 0) << file << " has no lines";
    EXPECT_EQ(play.member("zombie"), nullptr);
}

class VoiceStem : public ::testing::Test {
protected:
    static void SetUpTestSuite() { stem = new Audio(readWav(voiceStemPath())); }
    static void TearDownTestSuite() { delete stem; }
    static Audio* stem;

    static size_t frameAt(double seconds) { return std::min(stem->frames(), size_t(std::llround(seconds * stem->sampleRate))); }
    static float peakBetween(double from, double to)
    {
        float peak = 0.0f;
        for (size_t i = frameAt(from); i < frameAt(to); ++i)
            peak = std::max(peak, std::fabs(stem->samples[i]));
        return peak;
    }
};
Audio* VoiceStem::stem = nullptr;

TEST_F(VoiceStem, sounds_over_nearly_every_interval_and_at_both_its_ends)
{
    // The mouths move over the voice and close in its pauses: every interval
    // sounds for at least 80 % of its length, all of them for 92 %.
    ASSERT_EQ(stem->channels, 1);
    double total = 0.0, sounding = 0.0;
    for (const auto& [file, i] : allIntervals()) {
        double share = soundingShare(stem->samples, stem->sampleRate, i.start, i.end);
        total += i.end - i.start;
        sounding += share * (i.end - i.start);
        EXPECT_GE(share, 0.8) << file << " at " << i.start;
        // The mouth opens with the voice and closes with it.
        EXPECT_GT(soundingShare(stem->samples, stem->sampleRate, i.start, i.start + kEdge), 0.0)
            << file << ": no voice as " << i.start << " opens";
        EXPECT_GT(soundingShare(stem->samples, stem->sampleRate, i.end - kEdge, i.end), 0.0)
            << file << ": no voice as " << i.end << " closes";
    }
    ASSERT_GT(total, 0.0);
    EXPECT_GE(sounding / total, 0.92);
}

TEST_F(VoiceStem, does_not_sound_outside_the_intervals)
{
    // Between intervals (a pause inside a line or the quiet between lines)
    // no frame sounds; before the first line and after the last, nothing.
    ASSERT_GT(stem->frames(), size_t(kShowEnd * 44100));
    std::vector<std::pair<std::string, Interval>> all = allIntervals();
    ASSERT_FALSE(all.empty());
    EXPECT_LT(peakBetween(0.0, all.front().second.start - kSlack), 1e-4f) << "voice before the first line";
    for (size_t k = 1; k < all.size(); ++k) {
        double from = all[k - 1].second.end + kSpeechFrameSeconds, to = all[k].second.start - kSpeechFrameSeconds;
        if (to > from) {
            EXPECT_EQ(soundingShare(stem->samples, stem->sampleRate, from, to), 0.0)
                << "voice between " << all[k - 1].first << " at " << all[k - 1].second.end << " and " << all[k].first
                << " at " << all[k].second.start;
        }
    }
    EXPECT_LT(peakBetween(all.back().second.end + kSlack, double(stem->frames()) / stem->sampleRate), 1e-4f)
        << "voice after the last line";
}

} // namespace
