#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestFiles.h"
#include "TestShow.h"
#include "characters/Character.h"
#include "characters/DialogScript.h"
#include "engine/Random.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"

namespace {

// Texture names only: the lip-sync tests draw nothing.
const GLuint kClosed = 10;
const GLuint kTalking[3] = {11, 12, 13};

// A character with three talking mouths, a closed one and the intervals of
// a script with the text `script`.
std::unique_ptr<Character> talker(const std::string& script)
{
    TempDir dir;
    writeFile(dir.path("lines.dialog"), script);
    auto character = std::make_unique<Character>();
    character->loadDialog(dir.path("lines.dialog"));
    for (int i = 0; i < 3; ++i)
        character->talkMouths[i] = kTalking[i];
    character->talkMouthCount = 3;
    character->restMouth = kClosed;
    return character;
}

struct Intervals {
    std::vector<double> starts, ends;
};

Intervals read(const std::string& text)
{
    Intervals got;
    std::istringstream in(text);
    DialogScript::read(in, got.starts, got.ends);
    return got;
}

} // namespace

TEST(DialogScript, numbers_read_as_their_longest_decimal_prefix)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"12.5", 12.5},
        {"+3", 3},
        {"-.5", -0.5},
        {"5.", 5},
        {"1e2", 100},
        {"1.5E+2", 150},
        {"1e", 1},   // an exponent without digits is not part of the number
        {"1e+", 1},  //
        {"3,5", 3},  // the decimal separator is the point only
        {"0x10", 0}, // no hexadecimal
        {"abc", 0},
        {"nan", 0},
        {"inf", 0},
        {"", 0},
        {".", 0},
        {"-", 0},
        {"   7", 7},
        {"14.25\r", 14.25},
        {"1e999", inf},
        {"-1e999", -inf},
        {"1e-999", 0},
        // Out of range by its digits rather than its exponent.
        {"0." + std::string(400, '0') + "1", 0},
        {"1" + std::string(400, '0'), inf},
        {"-0.000" + std::string(400, '0') + "1e+9", 0},
        {"0." + std::string(400, '0') + "1e800", inf},
        {"1" + std::string(400, '0') + "e-800", 0},
        {"1e99999999999999999999999", inf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DialogScript::readNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(DialogScript, each_line_is_one_interval_split_at_the_first_tab)
{
    const Intervals got = read("12.5\t14.25\n"    // the usual line
                               "7\n"              // no tab: start and end alike
                               "\n"               // empty: (0, 0)
                               "3.5\t4.5\tword\n" // further columns are ignored
                               "1\t\t2\n"         // only the first tab splits
                               "1\t2\r\n"         // a carriage return does no harm
                               "  5\t  6\n"       // leading spaces
                               "20\t10");         // last line without a line feed
    EXPECT_EQ(got.starts, (std::vector<double>{12.5, 7, 0, 3.5, 1, 1, 5, 20}));
    EXPECT_EQ(got.ends, (std::vector<double>{14.25, 7, 0, 4.5, 2, 2, 6, 10}));
}

TEST(LipSync, speaks_strictly_inside_an_interval_in_any_order)
{
    REQUIRE_GL();
    const struct {
        const char* script;
        double time;
        bool speaking;
    } cases[] = {
        {"12.5\t14.25\n", 12.5, false},
        {"12.5\t14.25\n", 12.5001, true},
        {"12.5\t14.25\n", 14.2499, true},
        {"12.5\t14.25\n", 14.25, false},
        {"10\t20\n15\t30\n", 25, true}, // the first fails, the second holds
        {"10\t20\n15\t30\n", 30, false},
        {"20\t10\n", 15, false}, // reversed
        {"5\t5\n", 5, false},    // empty
        {"7\n\n", 7, false},     // no tab, and an empty line
        {"7\n\n", 0, false},     //
        {"3.5\t4.5\tword\n", 4.49, true},
        {"3.5\t4.5\tword\n", 4.51, false},
        {"1\t2\r\n", 1.99, true},
        {"100\t1e999\n", 1e300, true},
        {"", 1, false},
    };
    for (const auto& c : cases) {
        auto character = talker(c.script);
        character->lipSync(c.time);
        EXPECT_EQ(character->mouthTexture != kClosed, c.speaking) << '"' << c.script << "\" at " << c.time;
        EXPECT_EQ(character->isSpeaking(c.time), c.speaking) << '"' << c.script << "\" at " << c.time;
    }
}

TEST(LipSync, missing_script_gives_no_intervals_and_no_message)
{
    REQUIRE_GL();
    Character character;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    character.loadDialog("/nonexistent/folder/nothing.dialog");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(character.speechStarts.empty());
    EXPECT_TRUE(character.speechEnds.empty());
}

TEST(LipSync, loading_a_script_twice_doubles_the_list_but_not_the_behaviour)
{
    REQUIRE_GL();
    TempDir dir;
    writeFile(dir.path("twice.dialog"), "1\t2\n5\t8\n");
    auto once = talker("1\t2\n5\t8\n");
    auto twice = talker("1\t2\n5\t8\n");
    twice->loadDialog(dir.path("twice.dialog"));
    EXPECT_EQ(twice->speechStarts, (std::vector<double>{1, 5, 1, 5}));
    EXPECT_EQ(twice->speechEnds, (std::vector<double>{2, 8, 2, 8}));
    for (double t = 0.0; t < 10.0; t += 0.25)
        EXPECT_EQ(twice->isSpeaking(t), once->isSpeaking(t)) << t;
}

TEST(LipSync, first_speaking_frame_changes_the_mouth_with_three_draws_in_order)
{
    REQUIRE_GL();
    // The pinned sequence starts 16838, 5758, 10113, 17515.
    auto character = talker("1\t2\n");
    EXPECT_EQ(character->nextMouthChange, 0.0);
    character->lipSync(0.5); // silent: no draws
    resetRandom();
    character->lipSync(1.5);
    EXPECT_EQ(character->nextMouthChange, 1.5 + 0.5 * (16838 / 32767.0));
    EXPECT_EQ(character->mouthTexture, kTalking[5758 % 3]);
    EXPECT_EQ(character->headOffset.m[13], static_cast<float>(-0.05 * (10113 / 32767.0)));

    // Not strictly past the change time: nothing changes, nothing is drawn.
    const Mat4 dip = character->headOffset;
    character->mouthTexture = 99;
    character->lipSync(character->nextMouthChange);
    EXPECT_EQ(character->mouthTexture, 99u);
    EXPECT_EQ(character->headOffset.m[13], dip.m[13]);
    EXPECT_EQ(randomInt(), 17515) << "a mouth change takes exactly three draws";
}

TEST(LipSync, talk_mouth_count_limits_the_shapes_shown)
{
    REQUIRE_GL();
    for (int count : {1, 2, 3}) {
        auto character = talker("0\t1000\n");
        character->talkMouthCount = count;
        std::set<GLuint> shown;
        for (int frame = 1; frame < 300; ++frame) {
            character->lipSync(frame); // a change is due on every frame
            shown.insert(character->mouthTexture);
        }
        EXPECT_EQ(shown, std::set<GLuint>(kTalking, kTalking + count)) << count;
    }
}

TEST(LipSync, speech_end_closes_the_mouth_at_once_and_keeps_the_head_dip)
{
    REQUIRE_GL();
    auto character = talker("1\t2\n");
    resetRandom();
    character->lipSync(1.9);
    const float dip = character->headOffset.m[13];
    const double due = character->nextMouthChange;
    ASSERT_LT(dip, 0.0f);

    character->lipSync(2.0);
    EXPECT_EQ(character->mouthTexture, kClosed);
    EXPECT_EQ(character->headOffset.m[13], dip);
    EXPECT_EQ(character->nextMouthChange, due);
}

TEST(LipSync, a_set_mouth_lasts_until_silence_or_the_next_change)
{
    REQUIRE_GL();
    auto character = talker("1\t3\n");
    character->setMouthTexture(99);
    character->lipSync(0.5);
    EXPECT_EQ(character->mouthTexture, kClosed) << "silent: replaced at once";

    character->lipSync(1.1);
    character->setMouthTexture(99);
    character->lipSync(character->nextMouthChange);
    EXPECT_EQ(character->mouthTexture, 99u) << "speaking, no change due: kept";
    character->lipSync(character->nextMouthChange + 0.001);
    EXPECT_NE(character->mouthTexture, 99u) << "the next change replaces it";
}

TEST(LipSync, render_replaces_a_set_mouth_before_drawing_while_draw_shows_it)
{
    REQUIRE_GL();
    ShaderProgram* sprite = loadRepositoryProgram("sprite");
    const GLuint clear = solidTexture(0, 0, 0, 0);
    Character character;
    for (const Character::Part& part : Character::kParts)
        character.*part.texture = clear;
    character.setRestMouthTexture(solidTexture(0, 255, 0, 255));
    character.setMouthTexture(solidTexture(255, 0, 0, 255));

    Framebuffer target(32, 32);
    setShowGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    character.draw(sprite, UniformName::kSampler, UniformName::kMatrix);
    EXPECT_TRUE(near(pixelAt(target.readPixels(), 32, 16, 16), {255, 0, 0, 255}));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    character.render(5.0, sprite, UniformName::kSampler, UniformName::kMatrix);
    EXPECT_TRUE(near(pixelAt(target.readPixels(), 32, 16, 16), {0, 255, 0, 255}));
}

TEST(LipSync, reloading_reads_every_script_again_in_their_order)
{
    REQUIRE_GL();
    TempDir dir;
    writeFile(dir.path("first.dialog"), "1\t2\n");
    writeFile(dir.path("second.dialog"), "5\t8\n");
    Character character;
    character.loadDialog(dir.path("first.dialog"));
    character.loadDialog(dir.path("second.dialog"));
    EXPECT_TRUE(character.usesDialog(dir.path("second.dialog")));
    EXPECT_FALSE(character.usesDialog(dir.path("other.dialog")));

    writeFile(dir.path("first.dialog"), "10\t12\n20\t21\n");
    character.reloadDialogs();
    EXPECT_EQ(character.speechStarts, (std::vector<double>{10, 20, 5}));
    EXPECT_EQ(character.speechEnds, (std::vector<double>{12, 21, 8}));
    EXPECT_TRUE(character.isSpeaking(11.0));
    EXPECT_FALSE(character.isSpeaking(1.5)) << "the old lines are gone";
}
