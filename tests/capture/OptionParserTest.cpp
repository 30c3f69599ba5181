// The command line: what each option sets, and the bad uses that are turned
// away with a message before anything is rendered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OptionParser.h"

namespace {

OptionParser::Result parse(const std::vector<std::string>& arguments)
{
    return OptionParser::parse(arguments);
}

} // namespace

TEST(OptionParser, one_time_takes_the_defaults)
{
    const OptionParser::Result result = parse({"--time", "12.5"});
    ASSERT_EQ(result.outcome, OptionParser::Run) << result.error;
    const CaptureOptions& options = result.options;
    EXPECT_EQ(options.mode, CaptureOptions::Frames);
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_EQ(options.times, std::vector<double>{12.5});
    EXPECT_FALSE(options.hasRange);
    EXPECT_EQ(options.outPattern, "frame_%05d.png");
    EXPECT_TRUE(options.directories.empty());
    EXPECT_FALSE(options.quiet);
}

TEST(OptionParser, one_frame_may_have_a_plain_file_name)
{
    const OptionParser::Result result = parse({"--time", "244", "--out", "captioned.png"});
    ASSERT_EQ(result.outcome, OptionParser::Run) << result.error;
    EXPECT_EQ(result.options.outPattern, "captioned.png");
}

TEST(OptionParser, options_set_what_they_name_in_both_spellings)
{
    const OptionParser::Result result = parse({"-C", "a", "--size=1280x720", "--from", "-1.5", "--to=2", "--fps",
                                               "29.97", "--out", "shots/%03d.png", "-C", "b", "--quiet", "--captions"});
    ASSERT_EQ(result.outcome, OptionParser::Run) << result.error;
    const CaptureOptions& options = result.options;
    EXPECT_EQ(options.directories, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
    EXPECT_TRUE(options.hasRange);
    EXPECT_EQ(options.from, -1.5);
    EXPECT_EQ(options.to, 2.0);
    EXPECT_EQ(options.fps, 29.97);
    EXPECT_EQ(options.outPattern, "shots/%03d.png");
    EXPECT_TRUE(options.quiet);
    EXPECT_TRUE(options.captions);
}

TEST(OptionParser, times_accumulate_in_order_and_may_repeat)
{
    const OptionParser::Result result = parse({"--time", "-1", "--time", "0", "--time", "0", "--time", "286.5"});
    ASSERT_EQ(result.outcome, OptionParser::Run) << result.error;
    EXPECT_EQ(result.options.times, (std::vector<double>{-1.0, 0.0, 0.0, 286.5}));
}

TEST(OptionParser, video_and_contact_sheet_choose_the_mode)
{
    const OptionParser::Result video =
        parse({"--from", "0", "--to", "286.5", "--fps", "30", "--size", "1280x720", "--video", "show.mp4", "--crf", "23"});
    ASSERT_EQ(video.outcome, OptionParser::Run) << video.error;
    EXPECT_EQ(video.options.mode, CaptureOptions::Video);
    EXPECT_EQ(video.options.videoPath, "show.mp4");
    EXPECT_EQ(video.options.crf, 23);

    const OptionParser::Result sheet = parse({"--contact-sheet", "sheet.png"});
    ASSERT_EQ(sheet.outcome, OptionParser::Run) << sheet.error;
    EXPECT_EQ(sheet.options.mode, CaptureOptions::ContactSheet);
    EXPECT_EQ(sheet.options.sheetPath, "sheet.png");
    EXPECT_TRUE(sheet.options.times.empty()) << "no times: one tile per scene";

    const OptionParser::Result tiles =
        parse({"--contact-sheet", "sheet.png", "--time", "1", "--time", "2", "--tile-width", "200"});
    ASSERT_EQ(tiles.outcome, OptionParser::Run) << tiles.error;
    EXPECT_EQ(tiles.options.tileWidth, 200);
}

TEST(OptionParser, help_and_version_win_over_the_rest)
{
    EXPECT_EQ(parse({"--help"}).outcome, OptionParser::Help);
    EXPECT_EQ(parse({"--time", "1", "-h"}).outcome, OptionParser::Help);
    EXPECT_EQ(parse({"--version"}).outcome, OptionParser::Version);
    EXPECT_NE(OptionParser::helpText().find("--contact-sheet FILE"), std::string::npos);
}

TEST(OptionParser, bad_usage_is_refused_with_a_reason)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason; // a part of the message
    } cases[] = {
        {{}, "nothing to capture"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"frame.png"}, "unexpected argument"},
        {{"--time"}, "--time needs a value"},
        {{"--time", "abc"}, "--time wants a number"},
        {{"--time", "1e999"}, "--time wants a number"},
        {{"--time", "nan"}, "--time wants a number"},
        {{"--time", " 1"}, "--time wants a number"},
        {{"--time", "2", "--time", "1"}, "must not decrease"},
        {{"--size", "1920", "--time", "1"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "0x10", "--time", "1"}, "--size wants"},
        {{"--size", "16385x10", "--time", "1"}, "--size wants"},
        {{"--size", "-5x10", "--time", "1"}, "--size wants"},
        {{"--size", "10x10x10", "--time", "1"}, "--size wants"},
        {{"--from", "0", "--to", "1"}, "go together"},
        {{"--fps", "30"}, "go together"},
        {{"--from", "2", "--to", "1", "--fps", "30"}, "--to must not be earlier"},
        {{"--from", "0", "--to", "1", "--fps", "0"}, "--fps wants"},
        {{"--from", "0", "--to", "1", "--fps", "-30"}, "--fps wants"},
        {{"--from", "0", "--to", "1e9", "--fps", "1000"}, "more than"},
        {{"--time", "1", "--from", "0", "--to", "1", "--fps", "30"}, "not both"},
        {{"--time", "1", "--time", "2", "--out", "frame.png"}, "no conversion"},
        {{"--from", "0", "--to", "1", "--fps", "2", "--out", "frame.png"}, "each of 3 frames"},
        {{"--time", "1", "--out", "%s.png"}, "not a plain integer conversion"},
        {{"--time", "1", "--out", "%d_%d.png"}, "more than one conversion"},
        {{"--video", "v.mp4", "--time", "1"}, "--video needs a range"},
        {{"--video", "v.mp4", "--from", "0", "--to", "1", "--fps", "30", "--size", "641x360"}, "even width"},
        {{"--video", "v.mp4", "--contact-sheet", "s.png"}, "not both"},
        {{"--video", "v.mp4", "--from", "0", "--to", "1", "--fps", "30", "--out", "f%d.png"}, "--out names PNG"},
        {{"--contact-sheet", "s.png", "--out", "f%d.png"}, "--out names PNG"},
        {{"--contact-sheet", "s.png", "--from", "0", "--to", "100", "--fps", "30"}, "at most 1000"},
        {{"--contact-sheet", "s.png", "--from", "0", "--to", "9", "--fps", "100", "--tile-width", "1920"},
         "more than 32768"},
        {{"--contact-sheet", ""}, "needs a file name"},
        {{"--crf", "52", "--time", "1"}, "--crf wants"},
        {{"--tile-width", "8", "--contact-sheet", "s.png"}, "--tile-width wants"},
        {{"--quiet=yes", "--time", "1"}, "takes no value"},
        {{"-C"}, "-C needs a value"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments)
            line += "[" + argument + "] ";
        const OptionParser::Result result = OptionParser::parse(c.arguments);
        EXPECT_EQ(result.outcome, OptionParser::Usage) << line;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << line << "gave: " << result.error;
    }
}
