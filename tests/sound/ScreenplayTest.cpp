#include "Screenplay.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHeader =
    "cast anna a.dialog slt 120 95\n"
    "cast ben b1.dialog,b2.dialog rms 100 110\n"
    "scene Kitchen 10 20 anna ben\n"
    "scene Garden 20 30 anna\n";

// The message of the ScreenplayError that parsing `body` after the header throws.
std::string failure(const std::string& body)
{
    try {
        parseScreenplay(kHeader + body, "play.txt");
    } catch (const ScreenplayError& e) {
        return e.what();
    }
    return "";
}

TEST(Screenplay, reads_cast_scenes_and_lines)
{
    Screenplay play = parseScreenplay(kHeader + "# a comment\n\n11.5 anna: Hello, Ben.\n12.25  ben:  Hello: Anna.\n",
                                      "play.txt");
    ASSERT_EQ(play.cast.size(), 2u);
    EXPECT_EQ(play.cast[1].voice, "rms");
    EXPECT_EQ(play.cast[1].pitch, 100);
    EXPECT_EQ(play.cast[1].speed, 110);
    ASSERT_EQ(play.scenes.size(), 2u);
    EXPECT_DOUBLE_EQ(play.scenes[1].start, 20.0);
    ASSERT_EQ(play.lines.size(), 2u);
    EXPECT_DOUBLE_EQ(play.lines[0].start, 11.5);
    EXPECT_EQ(play.lines[0].speaker, "anna");
    EXPECT_EQ(play.lines[0].text, "Hello, Ben.");
    EXPECT_EQ(play.lines[1].text, "Hello: Anna.");
    EXPECT_EQ(play.lines[1].sourceLine, 8);
}

TEST(Screenplay, deals_a_figures_lines_to_its_scripts_in_turn)
{
    Screenplay play = parseScreenplay(kHeader + "11 ben: One.\n12 anna: Two.\n13 ben: Three.\n14 ben: Four.\n",
                                      "play.txt");
    EXPECT_EQ(play.lines[0].script, "b1.dialog");
    EXPECT_EQ(play.lines[1].script, "a.dialog");
    EXPECT_EQ(play.lines[2].script, "b2.dialog");
    EXPECT_EQ(play.lines[3].script, "b1.dialog");
}

TEST(Screenplay, rejects_faults_naming_file_and_line)
{
    struct Case {
        const char* body;
        const char* message;
    };
    const Case cases[] = {
        {"11 carl: Who am I?\n", "play.txt:5: \"carl\" is not in the cast"},
        {"12 anna: Late.\n11 ben: Early.\n", "play.txt:6: lines must be in time order"},
        {"25 ben: Not in the garden.\n", "play.txt:5: ben is not drawn speaking at 25 s"},
        {"10 anna: On the cut.\n", "play.txt:5: anna is not drawn speaking at 10 s"},
        {"11.0005 anna: Too fine.\n", "play.txt:5: time \"11.0005\" has more than three decimals"},
        {"11 anna:\n", "play.txt:5: the line has no words"},
        {"11 anna said hello\n", "play.txt:5: a dialog line reads"},
        {"cast carl c.dialog awb 220 100\n", "play.txt:5: pitch \"220\""},
        {"cast carl c.dialog awb 100 40\n", "play.txt:5: speed \"40\""},
        {"cast carl c.dialog awb 100 50 150\n", "play.txt:5: \"cast\" needs a name, scripts, a voice, pitch and speed"},
        {"cast carl a.dialog awb 100 100\n", "play.txt:5: script \"a.dialog\" already belongs to anna"},
        {"scene Hall 5 4 anna\n", "play.txt:5: scene \"Hall\" ends before it starts"},
        {"hello\n", "play.txt:5: expected \"cast\", \"scene\" or a dialog line"},
    };
    // Text past the bound, which a voice would take hours to speak.
    const std::string words(kMostLineBytes + 1, 'a');
    const std::string tooLong = "play.txt:5: the text holds 1001 bytes, where a line holds at most 1000";
    EXPECT_EQ(failure("11 anna: " + words + "\n"), tooLong);
    EXPECT_EQ(failure("11 12 [" + words + "]\n"), tooLong);
    EXPECT_NO_THROW(parseScreenplay(kHeader + "11 anna: " + words.substr(1) + "\n", "play.txt"));
    for (const Case& c : cases) {
        std::string message = failure(c.body);
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << "for \"" << c.body << "\" got \"" << message << "\"";
    }
}

TEST(Screenplay, window_must_hold_the_whole_line_strictly_inside)
{
    Screenplay play = parseScreenplay(kHeader, "play.txt");
    EXPECT_NE(windowFor(play, "ben", 11.0, 19.9), nullptr);
    EXPECT_EQ(windowFor(play, "ben", 11.0, 20.0), nullptr);
    EXPECT_EQ(windowFor(play, "ben", 19.0, 21.0), nullptr);
    EXPECT_NE(windowFor(play, "anna", 21.0, 29.0), nullptr);
}

TEST(Screenplay, missing_file_is_an_error_naming_it)
{
    try {
        loadScreenplay("/nonexistent/screenplay.txt");
        FAIL() << "no error";
    } catch (const ScreenplayError& e) {
        EXPECT_STREQ(e.what(), "/nonexistent/screenplay.txt: cannot open");
    }
}

} // namespace
