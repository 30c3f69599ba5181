// Reading captions files as other tools write them (browsers' WebVTT, ffmpeg's
// output, a hand edit), finding the cue of a moment, and the faults that name
// the file and line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CueList.h"

using quorvane_engine::CueError;
using quorvane_engine::CueList;

TEST(CueList, reads_the_cues_that_webvtt_writers_write)
{
    const CueList list = CueList::parse("\xEF\xBB\xBFWEBVTT - made elsewhere\r\nKind: captions\r\n\r\n"
                                        "NOTE a comment\r\nthat spans lines\r\n\r\n"
                                        "STYLE\r\n::cue { color: yellow }\r\n\r\n"
                                        "intro\r\n00:01.500 --> 00:03.000 line:90% align:center\r\n"
                                        "<v Irma>Milo, it is <i>two</i></v>\r\nin the morning &amp; late\r\n\r\n"
                                        "01:00:00.250 --> 01:00:02.000\r\n[A week later]",
                                        "in.vtt");
    ASSERT_EQ(list.cues.size(), 2u);
    EXPECT_DOUBLE_EQ(list.cues[0].start, 1.5);
    EXPECT_DOUBLE_EQ(list.cues[0].end, 3.0);
    EXPECT_EQ(list.cues[0].lines, (std::vector<std::string>{"Milo, it is two", "in the morning & late"}));
    EXPECT_DOUBLE_EQ(list.cues[1].start, 3600.25);
    EXPECT_EQ(list.cues[1].lines, std::vector<std::string>{"[A week later]"});

    const struct {
        double time;
        const char* shown; // nullptr: no cue
    } moments[] = {{1.499, nullptr}, {1.5, "Milo, it is two"}, {2.999, "Milo, it is two"}, {3.0, nullptr},
        {3600.5, "[A week later]"}, {3602.0, nullptr}};
    for (const auto& moment : moments) {
        SCOPED_TRACE(moment.time);
        const quorvane_engine::Cue* cue = list.at(moment.time);
        EXPECT_EQ(cue ? cue->lines[0] : "(none)", moment.shown ? moment.shown : "(none)");
    }
}

TEST(CueList, faults_name_the_file_and_line)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "in.vtt:1: not a WebVTT file"},
        {"WEBVTTX\n", "in.vtt:1: not a WebVTT file"},
        {"WEBVTT\n\n00:01.000 -> 00:02.000\nHi\n", "in.vtt:3: expected a cue's times"},
        {"WEBVTT\n\nid\n1.000 --> 2.000\nHi\n", "in.vtt:4: \"1.000 --> 2.000\" is not a cue's times"},
        {"WEBVTT\n\n00:01:60.000 --> 00:02:00.000\nHi\n", "in.vtt:3: \"00:01:60.000"},
        {"WEBVTT\n\n00:02.000 --> 00:01.000\nHi\n", "in.vtt:3: the cue ends at or before its start"},
        {"WEBVTT\n\n00:01.000 --> 00:02.000\n", "in.vtt:3: the cue has no text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            CueList::parse(c.text, "in.vtt");
            ADD_FAILURE() << "no error";
        } catch (const CueError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
    }
}
