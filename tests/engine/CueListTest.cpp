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

TEST(CueList, keeps_the_settings_that_place_a_cue_and_ignores_the_rest_as_webvtt_does)
{
    using quorvane_engine::CueSettings;
    using Anchor = CueSettings::Anchor;
    using Align = CueSettings::Align;
    const double kAuto = CueSettings::kAuto;
    const struct {
        const char* settings; // after the end time
        double line;
        Anchor lineAlign;
        double position;
        Anchor positionAlign;
        Align align;
        const char* written; // as toWebVtt() writes them back
        double left, right;  // the box across the picture, percent
    } cases[] = {
        {"", kAuto, Anchor::start, kAuto, Anchor::automatic, Align::center, "", 0, 100},
        {"line:80%", 80, Anchor::start, kAuto, Anchor::automatic, Align::center, "line:80%", 0, 100},
        {"line:12.5%,end", 12.5, Anchor::end, kAuto, Anchor::automatic, Align::center, "line:12.5%,end", 0, 100},
        {"\tline:50%,center   position:30%", 50, Anchor::center, 30, Anchor::automatic, Align::center,
            "line:50%,center position:30%", 0, 60},
        {"position:70%", kAuto, Anchor::start, 70, Anchor::automatic, Align::center, "position:70%", 40, 100},
        {"position:10%,line-left align:right", kAuto, Anchor::start, 10, Anchor::start, Align::right,
            "position:10%,line-left align:right", 10, 100},
        {"align:start position:25%", kAuto, Anchor::start, 25, Anchor::automatic, Align::left,
            "position:25% align:left", 25, 100},
        {"align:end position:25%", kAuto, Anchor::start, 25, Anchor::automatic, Align::right,
            "position:25% align:right", 0, 25},
        {"line:0% position:100%,line-right", 0, Anchor::start, 100, Anchor::end, Align::center,
            "line:0% position:100%,line-right", 0, 100},
        // The last of a setting given twice counts; an alignment alone keeps the one before.
        {"line:10%,end line:20%", 20, Anchor::end, kAuto, Anchor::automatic, Align::center, "line:20%,end", 0, 100},
        // Malformed: left out, the rest kept.
        {"line:101% position:-5% align:middle line:50 line:5%,top position:3x%", kAuto, Anchor::start, kAuto,
            Anchor::automatic, Align::center, "", 0, 100},
        {"line:.5% line:5.% line:% line: :50% position:50%% line:50%,", kAuto, Anchor::start, kAuto, Anchor::automatic,
            Align::center, "", 0, 100},
        // A line number is WebVTT, but placed by lines the captions do not
        // honour: the cue keeps its own place.
        {"line:40% line:-1", kAuto, Anchor::start, kAuto, Anchor::automatic, Align::center, "", 0, 100},
        // Unknown, or not honoured.
        {"vertical:rl size:50% region:r1 made:up colour line:33.3333333%", 33.333333, Anchor::start, kAuto,
            Anchor::automatic, Align::center, "line:33.333333%", 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const CueList list
            = CueList::parse(std::string("WEBVTT\n\n00:01.000 --> 00:02.000 ") + c.settings + "\nHi\n", "in.vtt");
        ASSERT_EQ(list.cues.size(), 1u);
        const CueSettings& read = list.cues[0].settings;
        EXPECT_DOUBLE_EQ(read.line, c.line);
        if (c.line != kAuto) {
            EXPECT_EQ(read.lineAlign, c.lineAlign);
        }
        EXPECT_DOUBLE_EQ(read.position, c.position);
        if (c.position != kAuto) {
            EXPECT_EQ(read.positionAlign, c.positionAlign);
        }
        EXPECT_EQ(read.align, c.align);
        EXPECT_EQ(read.placed(), std::string(c.written) != "");
        double left = 0.0, right = 0.0;
        read.across(left, right);
        EXPECT_DOUBLE_EQ(left, c.left);
        EXPECT_DOUBLE_EQ(right, c.right);
        // Written out and read again, the cue stands where it stood.
        const std::string written = list.toWebVtt();
        EXPECT_NE(written.find(std::string("00:00:02.000") + (*c.written ? " " : "") + c.written + "\nHi\n"),
            std::string::npos)
            << written;
        EXPECT_EQ(CueList::parse(written, "again.vtt").cues[0].settings, read);
        EXPECT_EQ(list.range(0.5, 1.5).cues[0].settings, read);
    }
    // What was left out is told to whoever asks (the content build does).
    std::vector<std::string> ignored;
    const CueSettings read = CueSettings::read("position:30% sise:50% line:120%", &ignored);
    EXPECT_EQ(read.text(), "position:30%");
    EXPECT_EQ(ignored, (std::vector<std::string>{"sise:50%", "line:120%"}));
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

TEST(CueList, reads_cue_text_as_browsers_do)
{
    const struct {
        const char* text; // one cue's line
        const char* shown;
    } cases[] = {
        {"<i>yes</i> and 3 <4", "yes and 3 <4"},
        {"Tom &amp; Jerry &lt;3 &gt;", "Tom & Jerry <3 >"},
        {"no&nbsp;break",
            "no\xC2\xA0"
            "break"},
        {"&lrm;left&rlm;",
            "\xE2\x80\x8E"
            "left\xE2\x80\x8F"},
        {"&#38;&#x26;&#X3C;", "&&<"},
        {"&#0; &#x110000; &#xD800;", "\xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD"},
        {"&copy; &#; &#x; &#12 &amp", "&copy; &#; &#x; &#12 &amp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CueList list = CueList::parse(std::string("WEBVTT\n\n00:01.000 --> 00:02.000\n") + c.text, "in.vtt");
        ASSERT_EQ(list.cues.size(), 1u);
        EXPECT_EQ(list.cues[0].lines, std::vector<std::string>{c.shown});
    }
}

TEST(CueList, a_line_that_shows_nothing_is_left_out_and_the_cue_reads_back_as_written)
{
    const CueList list = CueList::parse("WEBVTT\n\n00:01.000 --> 00:02.000\nfirst\n<i></i>\n   \nlast\n", "in.vtt");
    ASSERT_EQ(list.cues.size(), 1u);
    EXPECT_EQ(list.cues[0].lines, (std::vector<std::string>{"first", "last"}));
    const CueList again = CueList::parse(list.toWebVtt(), "again.vtt");
    ASSERT_EQ(again.cues.size(), 1u);
    EXPECT_EQ(again.cues[0].lines, list.cues[0].lines);
    EXPECT_THROW(CueList::parse("WEBVTT\n\n00:01.000 --> 00:02.000\n<b></b>\n", "in.vtt"), CueError);
}

TEST(CueList, the_header_ends_at_a_blank_line_or_at_the_first_timing_line)
{
    const struct {
        const char* text;
        size_t cues;
    } cases[] = {
        {"WEBVTT\n00:01.000 --> 00:02.000\nHi\n", 1},
        {"WEBVTT\nKind: captions\n00:01.000 --> 00:02.000\nHi\n\n00:03.000 --> 00:04.000\nHo\n", 2},
        {"WEBVTT\nKind: captions\n\n00:01.000 --> 00:02.000\nHi\n", 1},
        {"WEBVTT\nKind: captions\nLanguage: en\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CueList::parse(c.text, "in.vtt").cues.size(), c.cues);
    }
}

TEST(CueList, cues_larger_than_a_picture_holds_are_refused_with_their_line)
{
    const std::string timing = "WEBVTT\n\n00:01.000 --> 00:02.000\n";
    std::string thousands = timing;
    for (int i = 0; i < 5000; ++i)
        thousands += "line " + std::to_string(i) + "\n";
    std::string accented; // 50 two-byte characters: 100 bytes, 50 characters
    for (size_t i = 0; i < CueList::kMaxLineLength; ++i)
        accented += "\xC3\xA9";
    const std::string huge = "WEBVTT\n\nNOTE " + std::string(CueList::kMaxBytes, 'x') + "\n";
    const struct {
        std::string text;
        const char* message; // nullptr: it reads
    } cases[] = {
        {timing + "one\ntwo\nthree\n", nullptr},
        {timing + "one\ntwo\nthree\nfour\n", "in.vtt:7: the cue has more than 3 lines"},
        {thousands, "in.vtt:7: the cue has more than 3 lines"},
        {timing + accented + "\n", nullptr},
        {timing + "ok\n" + accented + "e\n",
            "in.vtt:5: the line has 51 characters, more than 50 fit across the picture"},
        {timing + "<b>" + std::string(50, 'x') + "</b> &amp;\n", "in.vtt:4: the line has 52 characters"},
        {huge, "in.vtt: larger than 1024 KiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        try {
            const CueList list = CueList::parse(c.text, "in.vtt");
            EXPECT_EQ(c.message, nullptr) << "it read";
            EXPECT_EQ(list.cues.size(), 1u);
        } catch (const CueError& error) {
            ASSERT_NE(c.message, nullptr) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
    }
}
