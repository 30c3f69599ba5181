// compose-score run on small scores: where notes fall, how chords and
// held tones sound, and how faults are reported.
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Note {
    double time;
    int channel, key;
};

struct Composed {
    int exitCode = -1;
    std::vector<Note> ons;
    std::vector<Note> offs;
    std::string errors;
};

Composed compose(const std::string& score)
{
    TempDir dir;
    writeFile(dir.path("score.txt"), score);
    std::string command = std::string(QUORVANE_PYTHON) + " " + sourceRoot() + "/tools/sound/compose-score " +
                          dir.path("score.txt") + " " + dir.path("events.txt") + " 2> " + dir.path("errors.txt");
    Composed result;
    int status = std::system(command.c_str());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream events(dir.path("events.txt")), errors(dir.path("errors.txt"));
    std::string line;
    while (std::getline(events, line)) {
        std::istringstream in(line);
        Note n{};
        std::string kind;
        in >> n.time >> n.channel >> kind >> n.key;
        if (kind == "on")
            result.ons.push_back(n);
        if (kind == "off")
            result.offs.push_back(n);
    }
    std::stringstream text;
    text << errors.rdbuf();
    result.errors = text.str();
    return result;
}

const std::string kInstruments = "instrument bass 2 32 100 64 20 0\n"
                                 "instrument pad 1 48 90 64 60 0\n"
                                 "drum kick 36\n";

TEST(ComposeScore, fills_a_section_with_whole_bars_and_follows_the_chords)
{
    Composed c = compose(kInstruments + "section s 10 14 2\nchords: C | G\nbass oct=3: 1 . 5 .\n");
    ASSERT_EQ(c.exitCode, 0) << c.errors;
    ASSERT_EQ(c.ons.size(), 4u);
    const Note expected[] = {{10.0, 2, 48}, {11.0, 2, 55}, {12.0, 2, 55}, {13.0, 2, 62}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(c.ons[i].time, expected[i].time, 1e-6);
        EXPECT_EQ(c.ons[i].channel, expected[i].channel);
        EXPECT_EQ(c.ons[i].key, expected[i].key);
    }
}

TEST(ComposeScore, held_chord_is_struck_again_when_the_chord_changes)
{
    Composed c = compose(kInstruments + "section s 0 2 1\nchords: C F\npad oct=4: c - - -\n");
    ASSERT_EQ(c.exitCode, 0) << c.errors;
    ASSERT_EQ(c.ons.size(), 6u); // three tones of C at 0, three of F at 1
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(c.ons[i].time, 0.0, 1e-6);
        EXPECT_NEAR(c.ons[i + 3].time, 1.0, 1e-6);
    }
    for (const Note& off : c.offs)
        EXPECT_LE(off.time, 2.0 + 1e-6);
}

TEST(ComposeScore, hits_land_at_their_exact_time)
{
    Composed c = compose(kInstruments + "at 104.0 bass vel=120 len=0.5: d2 a2\nat 269.243 kick: x\n");
    ASSERT_EQ(c.exitCode, 0) << c.errors;
    ASSERT_EQ(c.ons.size(), 3u);
    EXPECT_NEAR(c.ons[0].time, 104.0, 1e-9);
    EXPECT_EQ(c.ons[1].key, 45);
    EXPECT_NEAR(c.ons[2].time, 269.243, 1e-9);
    EXPECT_EQ(c.ons[2].channel, 9);
    EXPECT_EQ(c.ons[2].key, 36);
}

TEST(ComposeScore, faults_name_the_file_and_line_and_exit_1)
{
    const std::pair<std::string, std::string> cases[] = {
        {"section s 0 2 1\nchords: Hm\n", ":5: \"Hm\" is not a chord"},
        {"section s 0 2 1\nchords: C\nviolin: 1\n", ":6: \"violin\" is not an instrument"},
        {"bass: 1 - 5 -\n", ":4: patterns and chords belong under a section"},
        {"section s 0 2 1\nchords: C\nkick: 1 . . .\n", ":6: drum steps are"},
        {"section s 0 2 1\nchords: C\nbass bars=2-3: 1\n", ":6: bars 2-3 are outside"},
    };
    for (const auto& [score, message] : cases) {
        Composed c = compose(kInstruments + score);
        EXPECT_EQ(c.exitCode, 1) << score;
        EXPECT_NE(c.errors.find("score.txt" + message), std::string::npos) << score << " gave: " << c.errors;
    }
}

// `count` rests, one bar of a pattern.
std::string restSteps(int count)
{
    std::string steps;
    for (int i = 0; i < count; ++i)
        steps += ". ";
    return steps;
}

// Scores that once wrote times and values no synthesizer plays, ran for
// ever, or ended in a Python traceback.
TEST(ComposeScore, worst_scores_are_refused_naming_their_line)
{
    const std::pair<std::string, std::string> cases[] = {
        {"section s 0 inf 2\n", ":4: end \"inf\" is not a number from 0 to 86400"},
        {"section s nan 10 2\n", ":4: start \"nan\" is not a number"},
        {"section s 0 1e9 2\n", ":4: end \"1e9\" is not a number"},
        {"section s 0 80000 100000000\nchords: C\nbass: 1\n", ":4: bars \"100000000\" is not a whole number from 1 to 1000"},
        {"section s 0 10 1_0\n", ":4: bars \"1_0\""},
        {"at nan bass: c4\n", ":4: time \"nan\""},
        {"at -5 bass: c4\n", ":4: time \"-5\""},
        {"at 1e300 bass: c4\n", ":4: time \"1e300\""},
        {"at 1 kick len=-5: x\n", ":4: len \"-5\""},
        {"at 1 kick vel=1000: x\n", ":4: vel \"1000\""},
        {"at 1\n", ":4: \"at\" needs a time and a part"},
        {"section s 0 10 2\nchords: C\nbass len=nan: 1\n", ":6: len \"nan\""},
        {"section s 0 10 2\nchords: C\nbass cresc=0-1000: 1\n", ":6: cresc \"1000\""},
        {"section s 0 10 2\nchords: C\nbass oct=99999999999999999: 1\n", ":6: oct \"99999999999999999\""},
        {"section s 0 10 2\nchords: C\nbass: " + restSteps(65) + "\n", ":6: a bar holds at most 64 steps"},
        {"instrument loud 3 0 1000 64 0 0\n", ":4: volume \"1000\" is not a whole number from 0 to 127"},
        {"instrument odd 16 0 100 64 0 0\n", ":4: channel \"16\""},
        {"drum snare 200\n", ":4: key \"200\""},
        {"# \xff\xfe\n", ":4: not UTF-8 text"},
    };
    for (const auto& [score, message] : cases) {
        SCOPED_TRACE(score);
        Composed c = compose(kInstruments + score);
        EXPECT_EQ(c.exitCode, 1);
        EXPECT_NE(c.errors.find("score.txt" + message), std::string::npos) << c.errors;
        EXPECT_EQ(c.errors.find("Traceback"), std::string::npos) << c.errors;
    }
}

} // namespace
