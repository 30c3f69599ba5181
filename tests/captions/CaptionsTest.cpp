// The captions: the built data/captions.vtt held to its rules against the
// screenplay and the voices, and the timing rules on a small screenplay,
// where a caption that cannot keep them names the screenplay's line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CaptionTiming.h"
#include "Screenplay.h"
#include "TestFiles.h"
#include "engine/CueList.h"
#include "show/SceneWindows.h"
#include "show/ShowFiles.h"

using quorvane_engine::Cue;
using quorvane_engine::CueList;

namespace {

int characters(const std::string& text)
{
    int count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

// Where each spoken line's voice ends, from the voice build's line table.
std::vector<double> voiceEnds()
{
    std::ifstream table(QUORVANE_LINE_TABLE);
    std::vector<double> ends;
    double start = 0.0, end = 0.0;
    std::string rest;
    while (table >> start >> end && std::getline(table, rest))
        ends.push_back(end);
    return ends;
}

const std::vector<double> kCuts = {0.0, 10.0, 20.0, 30.0};
const std::string kHeader = "cast anna a.dialog slt 120 95\n"
                            "cast ben b.dialog rms 100 110\n"
                            "name anna Anna\n"
                            "name ben  Ben\n"
                            "scene Kitchen 10 20 anna ben\n"
                            "scene Garden 20 30 anna\n";

// `count` characters of words of four letters.
std::string words(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += i % 5 == 4 ? ' ' : 'x';
    return text;
}

// Whether `line` ends with a word that opens a phrase the next line goes on
// with: an article, a preposition or "of".
bool endsInsidePhrase(const std::string& line)
{
    static const char* const kOpeners[] = {"a", "an", "the", "of", "in", "on", "at", "to", "for", "with", "from",
                                           "by", "about", "into", "over", "under", "after", "before", "through"};
    std::string last = line.substr(line.rfind(' ') == std::string::npos ? 0 : line.rfind(' ') + 1);
    for (char& c : last)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::any_of(std::begin(kOpeners), std::end(kOpeners), [&](const char* word) { return last == word; });
}

// Whether a line break between `line` and `next` parts a verb from its
// object: "offered / me", "offered me / a fortune".
bool partsVerbAndObject(const std::string& line, const std::string& next)
{
    auto lower = [](std::string word) {
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return word;
    };
    const std::string last = lower(line.substr(line.rfind(' ') == std::string::npos ? 0 : line.rfind(' ') + 1));
    const std::string first = lower(next.substr(0, next.find(' ')));
    const bool objectLast = last == "me" || last == "him" || last == "us" || last == "them";
    const bool objectFirst = first == "me" || first == "him" || first == "us" || first == "them";
    const bool thingFirst = first == "a" || first == "an" || first == "the" || first == "some";
    return objectFirst || (objectLast && thingFirst);
}

CueList make(const std::string& body, const std::vector<double>& ends)
{
    return CaptionTiming::make(parseScreenplay(kHeader + body, "play.txt"), ends, kCuts);
}

} // namespace

TEST(BuiltCaptions, every_spoken_line_has_one_cue_with_its_words_readable_in_time)
{
    const Screenplay play = loadScreenplay(sourceRoot() + "/content/sound/screenplay.txt");
    const std::vector<double> ends = voiceEnds();
    ASSERT_EQ(ends.size(), play.lines.size()) << QUORVANE_LINE_TABLE;
    const CueList captions = CueList::load(sourceRoot() + "/" + ShowFiles::kCaptions);

    size_t spoken = 0;
    size_t directions = 0;
    const Cue* previous = nullptr;
    for (const Cue& cue : captions.cues) {
        std::string text;
        for (const std::string& line : cue.lines) {
            EXPECT_LE(characters(line), 42) << line;
            if (&line != &cue.lines.back()) {
                EXPECT_FALSE(endsInsidePhrase(line)) << "broken inside a phrase after \"" << line << "\"";
                EXPECT_FALSE(partsVerbAndObject(line, (&line)[1]))
                    << "a verb parted from its object after \"" << line << "\"";
            }
            text += (text.empty() ? "" : " ") + line;
        }
        SCOPED_TRACE(text);
        EXPECT_LE(cue.lines.size(), 2u);
        if (previous) {
            EXPECT_GE(cue.start, previous->end) << "no overlap";
        }
        previous = &cue;
        int scene = 0;
        while (scene < SceneWindows::kSceneCount && !(cue.start < SceneWindows::kBoundaries[scene + 1]))
            ++scene;
        ASSERT_LT(scene, SceneWindows::kSceneCount);
        EXPECT_GT(cue.start, SceneWindows::kBoundaries[scene]);
        EXPECT_LE(cue.end, SceneWindows::kBoundaries[scene + 1]) << "not past the scene cut";
        EXPECT_GE(cue.end - cue.start, 1.5 - 1e-9);

        if (text.front() == '[') {
            ++directions;
            EXPECT_EQ(text.back(), ']');
        } else {
            ASSERT_LT(spoken, play.lines.size()) << "a cue for every spoken line and no more";
            const DialogLine& line = play.lines[spoken];
            EXPECT_EQ(text, play.member(line.speaker)->displayName + ": " + line.text);
            EXPECT_NEAR(cue.start, line.start, 1e-6) << "starts with its voice";
            EXPECT_GE(cue.end, ends[spoken]) << "shows while its voice speaks";
            ++spoken;
        }
        // The viewer reads all that is shown, the speaker's name too.
        EXPECT_LE(characters(text) / (cue.end - cue.start), 17.0 + 1e-9);
    }
    EXPECT_EQ(spoken, play.lines.size());
    EXPECT_GE(directions, 4u);
    EXPECT_LE(directions, 6u);
}

TEST(CaptionTiming, a_cue_lingers_after_its_voice_as_long_as_reading_needs_up_to_the_next_cue_or_cut)
{
    const struct {
        const char* why;
        std::string body;
        std::vector<double> ends;
        double end;
    } cases[] = {
        {"0.8 s after its voice", "11 anna: Hello there.\n", {12.0}, 12.8},
        {"at least 1.5 s", "11 anna: Hi.\n", {11.4}, 12.5},
        {"long enough to read at 17 a second, the name too", "11 anna: " + words(59) + "\n", {12.0}, 14.824},
        {"up to the next cue", "11 anna: Hello there.\n12.6 ben: Hi.\n", {12.0, 13.0}, 12.6},
        {"up to the scene cut", "18.3 anna: Hello there.\n", {19.5}, 20.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const CueList cues = make(c.body, c.ends);
        ASSERT_FALSE(cues.cues.empty());
        EXPECT_NEAR(cues.cues[0].end, c.end, 1e-9);
    }
    const CueList two = make("11 anna: Milo, it is two in the morning. Come to bed.\n", {13.0});
    ASSERT_EQ(two.cues.size(), 1u);
    EXPECT_EQ(two.cues[0].lines, (std::vector<std::string>{"Anna: Milo, it is two in the morning.", "Come to bed."}));
}

TEST(CaptionTiming, two_lines_break_where_speech_pauses_never_inside_a_phrase)
{
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"Grabwell: Excuse me. I am giving a party on Saturday. You are not invited.",
         {"Grabwell: Excuse me. I am giving a party", "on Saturday. You are not invited."}},
        {"Vesna: Harlan. All three of them are wearing Milo's necktie.",
         {"Vesna: Harlan. All three of them", "are wearing Milo's necktie."}},
        {"Harlan: We found Milo's computer too, Grabwell. And the cake.",
         {"Harlan: We found Milo's computer too,", "Grabwell. And the cake."}},
        {"Harlan: Grabwell, we found Milo's computer too.", {"Harlan: Grabwell,", "we found Milo's computer too."}},
        {"Milo: Look, it's finished! My undo program. It undoes anything.",
         {"Milo: Look, it's finished!", "My undo program. It undoes anything."}},
        // Not "offered me / a fortune", nor "offered / me a fortune": a verb
        // keeps its objects.
        {"Milo: Grabwell offered me a fortune for it. I said no.",
         {"Milo: Grabwell offered me a fortune", "for it. I said no."}},
        // Not "Come in. Mind / the carpet": no line ends with the first word
        // of a sentence the next line goes on with.
        {"Grabwell: Detectives! Come in. Mind the carpet, it costs more than you do.", {}},
        // Only a break after an article or a preposition would fit.
        {"Anna: xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx of xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CaptionTiming::breakLines(c.text), c.lines);
    }
    // Words that lean on the next one, and words that may end a line.
    for (const char* leaning : {"a", "the", "of", "To", "my", "Milo's", "I", "is", "and", "\"the"})
        EXPECT_FALSE(CaptionTiming::endsPhrase(leaning)) << leaning;
    for (const char* closing : {"party", "of.", "the,", "Milo's!", "bed", "in;"})
        EXPECT_TRUE(CaptionTiming::endsPhrase(closing)) << closing;
    // A verb and its object pronoun, an object pronoun and the thing given.
    const struct {
        const char* last;
        const char* next;
        bool parts;
    } pairs[] = {{"offered", "me", true}, {"told", "them.", true}, {"offered", "Him", true}, {"me", "a", true},
        {"gave", "us", true}, {"them", "the", true}, {"him", "\"the", true}, {"me,", "a", false},
        {"fortune", "for", false}, {"me", "again.", false}, {"party", "on", false}, {"saw", "her", false}};
    for (const auto& pair : pairs)
        EXPECT_EQ(CaptionTiming::partsObject(pair.last, pair.next), pair.parts) << pair.last << " / " << pair.next;
}

TEST(CaptionTiming, the_captions_of_a_placed_scene_take_its_settings_and_the_rest_keep_their_place)
{
    const CueList cues = make("captions Garden position:28% line:90%,end\n"
                              "11 anna: In the kitchen.\n12.6 14.5 [Outside]\n21 anna: In the garden.\n",
        {12.0, 22.0});
    ASSERT_EQ(cues.cues.size(), 3u);
    EXPECT_FALSE(cues.cues[0].settings.placed());
    EXPECT_FALSE(cues.cues[1].settings.placed());
    EXPECT_EQ(cues.cues[2].settings.text(), "line:90%,end position:28%");
    // Written as the players read it.
    const std::string written = cues.toWebVtt();
    EXPECT_NE(written.find("00:00:21.000 --> 00:00:22.800 line:90%,end position:28%\nAnna: In the garden.\n"),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("00:00:11.000 --> 00:00:12.600\n"), std::string::npos) << written;
}

TEST(CaptionTiming, a_caption_that_cannot_keep_the_rules_names_its_line)
{
    const struct {
        std::string body;
        std::vector<double> ends;
        const char* message;
    } cases[] = {
        {"cast carl c.dialog awb 100 100\nscene Hall 10 20 carl\n11 carl: Hi.\n", {11.5},
         "play.txt:7: \"carl\" has no name for the captions"},
        {"11 anna: " + std::string(40, 'x') + " " + std::string(40, 'x') + "\n", {13.0},
         "play.txt:7: \"Anna: xxxx"},
        {"11 anna: Hi.\n12 ben: Yes.\n", {11.3, 12.5},
         "play.txt:7: the caption can show only 1.000 s before the next caption at 12.000 s"},
        {"19 anna: Hi.\n", {19.4}, "play.txt:7: the caption can show only 1.000 s before the scene cut at 20.000 s"},
        {"11 anna: " + words(41) + "\n13 ben: Yes.\n", {12.5, 13.5},
         "play.txt:7: the caption reads at 23.5 characters a second (at most 17) before the next caption"},
        {"11 12.5 [Later]\n12 anna: Hi.\n", {12.5}, "play.txt:7: the stage direction runs to 12.500 s before the next"},
        {"11 12 [Later]\n", {}, "play.txt:7: the caption can show only 1.000 s"},
        {"name carl Carl\n", {}, "play.txt:7: \"carl\" is not in the cast"},
        {"11 12 Later\n", {}, "play.txt:7: a stage direction reads \"START END [TEXT]\""},
        // Placements: scenes above, then settings the captions honour.
        {"captions Attic position:28%\n", {}, "play.txt:7: \"Attic\" is no scene above"},
        {"captions Garden\n", {}, "play.txt:7: \"captions\" needs scenes and the cue settings"},
        {"captions position:28%\n", {}, "play.txt:7: \"captions\" needs scenes and the cue settings"},
        {"captions Garden position:28% Kitchen\n", {}, "play.txt:7: \"Kitchen\" is no cue setting (NAME:VALUE)"},
        {"captions Garden position:28%\ncaptions Kitchen Garden line:10%\n", {},
         "play.txt:8: the captions of \"Garden\" are placed on line 7 already"},
        {"captions Garden position:28% size:50%\n", {},
         "play.txt:7: \"size:50%\" is not a cue setting that the captions honour"},
        {"captions Garden line:120%\n", {}, "play.txt:7: \"line:120%\" is not a cue setting"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        try {
            make(c.body, c.ends);
            ADD_FAILURE() << "no error";
        } catch (const ScreenplayError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
    }
}
