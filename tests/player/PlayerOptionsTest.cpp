// quorvane's command line: what each option sets, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UsageError.h"
#include "app/PlayerOptions.h"

TEST(PlayerOptions, no_options_play_the_show_as_made)
{
    EXPECT_TRUE(PlayerOptions::parse({}).playsAsMade());
    EXPECT_TRUE(PlayerOptions::parse({"-C", "somewhere"}).playsAsMade()) << "-C only moves where data/ is";
    EXPECT_FALSE(PlayerOptions::parse({"--mute"}).playsAsMade());
}

TEST(PlayerOptions, what_the_options_set)
{
    const PlayerOptions window = PlayerOptions::parse({"--window"});
    EXPECT_TRUE(window.window);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 720);

    const PlayerOptions sized = PlayerOptions::parse({"--window=640x360", "--start", "PartyScene", "--loop"});
    EXPECT_EQ(sized.width, 640);
    EXPECT_EQ(sized.height, 360);
    EXPECT_EQ(sized.start, "PartyScene");
    EXPECT_TRUE(sized.loop);

    EXPECT_TRUE(PlayerOptions::parse({"--edit"}).window) << "--edit opens a window";
    EXPECT_FALSE(PlayerOptions::parse({"--edit", "--fullscreen"}).window) << "unless asked for full screen";
    EXPECT_EQ(PlayerOptions::parse({"-C", "dir", "--paused"}).directory, "dir");
    const PlayerOptions building = PlayerOptions::parse({"--build", "build"});
    EXPECT_EQ(building.buildDir, "build");
    EXPECT_TRUE(building.edit && building.window) << "--build is for editing";
}

TEST(PlayerOptions, bad_usage_is_refused_with_a_reason)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--window=0x720"}, {"--window=1280"}, {"--window=axb"}, {"--window", "--fullscreen"}, {"--start"},
        {"--start="}, {"--mute=1"}, {"--nope"}, {"operand"}, {"-C"}, {"--build"}, {"--build="},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.front());
        EXPECT_THROW(PlayerOptions::parse(arguments), UsageError);
    }
}
