#include "ScoreEvents.h"

#include <gtest/gtest.h>

namespace {

TEST(ScoreEvents, reads_events_in_time_order_and_at_one_instant_by_kind)
{
    const std::vector<ScoreEvent> events = parseScoreEvents(
        "# the drum kit\n1.5 9 on 36 127 # kick\n0 0 program 48\n\n1.5 9 off 36\n1.5 1 cc 7 100\n2 1 bend 16383\n",
        "events.txt");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].kind, ScoreEvent::Program);
    EXPECT_EQ(events[1].kind, ScoreEvent::Cc);
    EXPECT_EQ(events[2].kind, ScoreEvent::Off);
    EXPECT_EQ(events[3].kind, ScoreEvent::On);
    EXPECT_EQ(events[3].channel, 9);
    EXPECT_EQ(events[3].a, 36);
    EXPECT_EQ(events[3].b, 127);
    EXPECT_EQ(events[4].a, 16383);
}

TEST(ScoreEvents, refuses_what_midi_cannot_play_naming_the_line)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\none 0 on 60 100\n", "events.txt:2: \"one\" is not seconds from 0 to 86400"},
        {"nan 0 on 60 100\n", "events.txt:1: \"nan\" is not seconds"},
        {"-1 0 on 60 100\n", "events.txt:1: \"-1\" is not seconds"},
        {"1e9 0 on 60 100\n", "events.txt:1: \"1e9\" is not seconds"},
        {"1 16 on 60 100\n", "events.txt:1: expected seconds, a channel from 0 to 15 and a kind"},
        {"1 0\n", "events.txt:1: expected seconds"},
        {"1 0 sing 60\n", "events.txt:1: \"sing\" is not a kind of event"},
        {"1 0 on 128 100\n", "events.txt:1: \"on\" needs a key from 0 to 127 and a velocity from 1 to 127"},
        {"1 0 on 60 0\n", "events.txt:1: \"on\" needs"},
        {"1 0 off -1\n", "events.txt:1: \"off\" needs a key from 0 to 127"},
        {"1 0 cc 7\n", "events.txt:1: \"cc\" needs a controller and a value"},
        {"1 0 bend 16384\n", "events.txt:1: \"bend\" needs a value from 0 to 16383"},
        {"1 0 program 300\n", "events.txt:1: \"program\" needs a number from 0 to 127"},
        {"1 0 off 60 100\n", "events.txt:1: \"100\" is one value too many"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            parseScoreEvents(text, "events.txt");
            ADD_FAILURE() << "no error";
        } catch (const ScoreEventError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
}

} // namespace
