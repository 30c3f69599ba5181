// The soundtrack as the content build leaves it: data/duskwalk.ogg, the
// stems it was mixed from, the dialog scripts under data/ and the voice
// stem they were measured from.
#include "LineTable.h"
#include "Loudness.h"
#include "MixFigures.h"
#include "OggFile.h"
#include "Screenplay.h"
#include "SoundFiles.h"
#include "Speech.h"
#include "SpeechBandEqualiser.h"
#include "TrackLength.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kEdge = 0.03;       // seconds at each end of an interval that must hold voice
constexpr double kSlack = 0.0015;    // the written ends are rounded to the millisecond
constexpr double kSpeechBandClearance = 17.0;       // dB, every line, between 300 Hz and 4 kHz
constexpr double kMedianSpeechBandClearance = 24.0; // dB, the median line

// The track the show plays, decoded; sampleRate 0 when it does not decode.
Audio decodedTrack()
{
    try {
        return readOgg(dataPath("duskwalk.ogg"));
    } catch (const std::runtime_error&) {
        return Audio{0, 2, {}};
    }
}

class BuiltTrack : public ::testing::Test {
protected:
    static void SetUpTestSuite() { track = new Audio(decodedTrack()); }
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
    EXPECT_GE(seconds, kShowEnd + 0.2);
    EXPECT_LE(seconds, kShowEnd + 1.6);
}

TEST_F(BuiltTrack, true_peaks_stay_under_minus_one_dbtp_so_nothing_clips)
{
    ASSERT_FALSE(track->samples.empty());
    EXPECT_LT(toDecibels(truePeak(*track)), -1.0);
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

// The mix as its stems hold it, beside the voices at their speaking level,
// the music as rendered and the spoken lines.
struct Stems {
    Audio speech = readWav(voiceStemPath());
    Audio voice = readWav(soundWorkPath("stems/voices.wav"));
    Audio music = readWav(soundWorkPath("stems/music.wav"));
    Audio effects = readWav(soundWorkPath("stems/effects.wav"));
    // The music as rendered, as the mix reads it: rumble taken out and
    // through the speech band equaliser with the band whole (which turns
    // only its phase), and with the band down as under a line.
    Audio source = readWav(soundWorkPath("music.wav"));
    Audio held;
    std::vector<SpokenLine> lines = readLineTable(soundWorkPath("lines.tsv"));

    // Everything but the voices; everything but the effects.
    Audio rest() const { return sum(music, effects); }
    Audio allButEffects() const
    {
        Audio out = music;
        for (size_t i = 0; i < out.frames() && i < voice.frames(); ++i)
            for (size_t c = 0; c < 2; ++c)
                out.samples[2 * i + c] += voice.samples[i];
        return out;
    }
};

class MixedStems : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        stems = new Stems;
        removeRumble(stems->source);
        stems->held = stems->source;
        SpeechBandEqualiser::apply(stems->source, std::vector<float>(stems->source.frames(), 1.0f));
        SpeechBandEqualiser::apply(stems->held, std::vector<float>(stems->held.frames(),
                                                                  float(fromDecibels(-SpeechBandEqualiser::kMixDepth))));
    }
    static void TearDownTestSuite() { delete stems; }
    static Stems* stems;
};
Stems* MixedStems::stems = nullptr;

TEST_F(MixedStems, add_up_to_the_track_the_show_plays)
{
    // What the tests below measure is what the viewer hears: the stems' sum
    // differs from the decoded track by the encoder's noise alone.
    const Audio track = decodedTrack();
    Audio residual = sum(stems->allButEffects(), stems->effects);
    ASSERT_EQ(residual.channels, track.channels);
    ASSERT_GE(track.frames(), size_t(kShowEnd * 44100));
    double signal = 0.0, noise = 0.0;
    for (size_t i = 0; i < size_t(kShowEnd * 44100) * 2; ++i) {
        signal += double(track.samples[i]) * track.samples[i];
        double d = double(track.samples[i]) - residual.samples[i];
        noise += d * d;
    }
    EXPECT_GT(10.0 * std::log10(signal / noise), 25.0);
}

TEST_F(MixedStems, every_line_stands_12_db_over_the_rest_and_the_median_line_15)
{
    const Audio rest = stems->rest();
    std::vector<double> clearances;
    for (const SpokenLine& line : stems->lines) {
        clearances.push_back(voiceOverRest(stems->speech, stems->voice, rest, line.start, line.end));
        EXPECT_GE(clearances.back(), 12.0) << line.speaker << " at " << line.start << ": " << line.text;
    }
    ASSERT_FALSE(clearances.empty());
    std::nth_element(clearances.begin(), clearances.begin() + long(clearances.size() / 2), clearances.end());
    EXPECT_GE(clearances[clearances.size() / 2], 15.0);
}

TEST_F(MixedStems, under_every_line_music_and_effects_give_way_where_the_voice_carries_its_words)
{
    // Between 300 Hz and 4 kHz, where the listener makes out the words, the
    // voice stands far over the rest under every line.
    const Audio voiceBand = speechBand(stems->voice), restBand = speechBand(stems->rest());
    std::vector<double> clearances;
    for (const SpokenLine& line : stems->lines) {
        SCOPED_TRACE(line.speaker + " at " + std::to_string(line.start) + ": " + line.text);
        const double inBand = voiceOverRest(stems->speech, voiceBand, restBand, line.start, line.end);
        EXPECT_GE(inBand, kSpeechBandClearance);
        clearances.push_back(inBand);
    }
    ASSERT_FALSE(clearances.empty());
    std::nth_element(clearances.begin(), clearances.begin() + long(clearances.size() / 2), clearances.end());
    EXPECT_GE(clearances[clearances.size() / 2], kMedianSpeechBandClearance);
}

TEST_F(MixedStems, the_last_chord_dies_away_inside_the_show_before_the_closing_fade)
{
    // The loudest 100 ms of the music's last three seconds is its last chord;
    // what is left in the 0.4 s the sound fades over before the show ends
    // lies far under it, so the fade cuts off no note a viewer hears.
    auto level = [&](double from, double to) {
        double energy = 0.0;
        const size_t a = size_t(from * 44100), b = size_t(to * 44100);
        for (size_t i = 2 * a; i < 2 * b && i < stems->music.samples.size(); ++i)
            energy += double(stems->music.samples[i]) * stems->music.samples[i];
        return toDecibels(std::sqrt(energy / double(2 * (b - a))) + 1e-12);
    };
    double chord = -200.0;
    for (double t = kShowEnd - 3.0; t + 0.1 <= kShowEnd; t += 0.05)
        chord = std::max(chord, level(t, t + 0.1));
    EXPECT_GT(chord, -40.0) << "the last chord sounds";
    EXPECT_LT(level(kShowEnd - 0.4, kShowEnd), chord - 30.0);
}

TEST_F(MixedStems, music_holds_its_dip_through_short_gaps_and_comes_back_in_long_ones)
{
    // No pumping: in a gap under 1.5 s between lines the music rises by at
    // most 3 dB. Where the lines leave 2 s or more, it comes back to within
    // 1 dB of its full level, the level over the title.
    const std::vector<double> title = gainPerFrame(stems->music, stems->source, 0.5, 5.0);
    ASSERT_FALSE(title.empty());
    const double full = *std::max_element(title.begin(), title.end());
    // Through a short gap the speech band stays down as under the lines, so
    // the rise is read against the music with that band down: what the band
    // holds from one frame to the next is no change of gain.
    const std::vector<SpokenLine>& lines = stems->lines;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const double gap = lines[i + 1].start - lines[i].end;
        SCOPED_TRACE("the gap after the line at " + std::to_string(lines[i].start));
        if (gap < 1.5) {
            EXPECT_LE(gainRise(stems->music, stems->held, lines[i].end, lines[i + 1].start), 3.0);
        }
        if (gap >= 2.0) {
            std::vector<double> gains = gainPerFrame(stems->music, stems->source, lines[i].end, lines[i + 1].start);
            ASSERT_FALSE(gains.empty());
            EXPECT_GE(*std::max_element(gains.begin(), gains.end()), full - 1.0);
        }
    }
}

TEST_F(MixedStems, lines_are_spoken_at_most_4_words_a_second_where_the_next_line_leaves_room)
{
    const std::vector<SpokenLine>& lines = stems->lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const double room = i + 1 < lines.size() ? lines[i + 1].start - lines[i].end : 1e9;
        EXPECT_TRUE(wordsPerSecond(lines[i].text, lines[i].start, lines[i].end) <= 4.0 || room < 0.2)
            << lines[i].start << ": \"" << lines[i].text << "\" runs at "
            << wordsPerSecond(lines[i].text, lines[i].start, lines[i].end) << " words a second with " << room
            << " s to the next line";
    }
}

TEST_F(MixedStems, sound_effects_stand_out_at_their_moments)
{
    // In its strongest octave, in its best 100 ms, each sound stands this
    // far over everything else the viewer hears then, and stands out (6 dB
    // or more) in so many 100 ms blocks: the bells, the door's handle, latch
    // and hinges, the host's steps one by one.
    struct Moment {
        const char* what;
        double from, to, decibels;
        int heardBlocks;
    };
    const Moment moments[] = {
        {"the telephone rings before the call", 38.0, 46.396776, 6.0, 10},
        {"the receiver is lifted as the call opens", 46.396776, 47.0, 3.0, 0},
        {"the earth rumbles as the arm comes up at 104", 103.0, 105.0, 6.0, 0},
        {"a door opens before the host comes in", 213.5, 215.5, 18.0, 5},
        {"his steps come nearer until he stands", 216.0, 218.926, 12.0, 3},
        {"guests murmur as the party opens", 208.0, 211.5, 15.0, 1},
        {"and again, low, under the argument", 221.0, 262.0, 10.0, 1},
        {"teeth go in at the death", 269.243, 269.6, 3.0, 0},
        {"he gasps after the bite", 269.6, 270.3, 3.0, 0},
    };
    const Audio others = stems->allButEffects();
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.what);
        std::vector<double> blocks = effectOverRest(stems->effects, others, m.from, m.to);
        ASSERT_FALSE(blocks.empty());
        EXPECT_GE(*std::max_element(blocks.begin(), blocks.end()), m.decibels);
        EXPECT_GE(std::count_if(blocks.begin(), blocks.end(), [](double b) { return b >= 6.0; }), m.heardBlocks);
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
