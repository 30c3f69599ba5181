// Which frames a run draws, what their files are called, how progress reads
// and what ffmpeg is asked to do: the decisions of a run, without GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FramePattern.h"
#include "FrameSchedule.h"
#include "ProgressLine.h"
#include "VideoEncoder.h"

TEST(FramePattern, one_integer_conversion_names_each_frame)
{
    const struct {
        const char* pattern;
        int index;
        const char* name;
    } cases[] = {
        {"frame_%05d.png", 7, "frame_00007.png"},
        {"frame_%05d.png", 123456, "frame_123456.png"},
        {"%d", 12, "12"},
        {"100%%_%03i.png", 5, "100%_005.png"},
        {"%x.png", 255, "ff.png"},
        {"%#X.png", 255, "0XFF.png"},
        {"%-4d|", 7, "7   |"},
        {"%+.3d", 7, "+007"},
        {"shots/%u/%%d", 3, "shots/3/%d"},
        {"%99d", 1, nullptr}, // the widest accepted field
        {"still.png", 0, "still.png"}, // a single frame's own name
        {"%%d.png", 0, "%d.png"},
    };
    for (const auto& c : cases) {
        FramePattern pattern;
        std::string error;
        ASSERT_TRUE(FramePattern::parse(c.pattern, pattern, error)) << c.pattern << ": " << error;
        const std::string name = pattern.format(c.index);
        if (c.name)
            EXPECT_EQ(name, c.name) << c.pattern;
        else
            EXPECT_EQ(name.size(), 99u) << c.pattern;
    }
}

TEST(FramePattern, anything_but_at_most_one_integer_conversion_is_refused)
{
    const char* const refused[] = {
        "%d_%d.png",   // two
        "%s.png",      // a string conversion reads memory that is not there
        "%n",          // writes to memory
        "%p", "%f.png", "%c", "%e",
        "%ld.png",     // length modifiers change what is read
        "%lld", "%hd", "%zd", "%jd",
        "%*d.png",     // reads a second argument
        "%.*d",
        "%100d.png",   // fields beyond two digits
        "%.100d",
        "%#d",         // undefined for signed conversions
        "frame_%",     // ends inside the conversion
        "frame_%05",
        "100%.png",
        "%1$d",        // positional arguments
        "",
    };
    for (const char* pattern : refused) {
        FramePattern parsed;
        std::string error;
        EXPECT_FALSE(FramePattern::parse(pattern, parsed, error)) << "accepted \"" << pattern << "\"";
        EXPECT_FALSE(error.empty()) << pattern;
    }
}

TEST(FrameSchedule, a_range_counts_its_frames_despite_rounding)
{
    const struct {
        double from, to, fps;
        long long frames;
    } cases[] = {
        {0.1, 0.3, 10.0, 3},        // (0.3 - 0.1) * 10 is just below 2
        {0.0, 1.0, 3.0, 4},         // 0, 1/3, 2/3, 1: both ends included
        {0.0, 0.9, 10.0, 10},       // 0.9 * 10 is exactly 9
        {0.0, 286.5, 30.0, 8596},   // the whole show at 30 fps
        {0.0, 0.999, 1.0, 1},       // the end falls between frames
        {1.5, 1.5, 30.0, 1},        // one frame
        {-2.0, 2.0, 0.5, 3},        // before the show, slowly
        {280.0, 286.403855, 29.97, 192},
        {2.0, 1.0, 30.0, -1},       // backwards
        {0.0, 1.0, 0.0, -1},        // no rate
        {0.0, 1.0, -30.0, -1},
        {0.0, 1e9, 1000.0, FrameSchedule::kMaxFrames + 1},
        {0.0, 1e300, 1000.0, FrameSchedule::kMaxFrames + 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameSchedule::rangeCount(c.from, c.to, c.fps), c.frames)
            << c.from << " to " << c.to << " at " << c.fps;
}

TEST(FrameSchedule, range_times_come_from_the_frame_index_not_a_running_sum)
{
    const FrameSchedule show = FrameSchedule::fromRange(0.0, 286.5, 30.0);
    ASSERT_EQ(show.size(), 8596u);
    double sum = 0.0;
    bool sumDrifted = false;
    for (std::size_t i = 0; i < show.size(); ++i) {
        EXPECT_EQ(show.timeAt(i), 0.0 + static_cast<double>(i) / 30.0) << i;
        sumDrifted = sumDrifted || sum != show.timeAt(i);
        sum += 1.0 / 30.0;
    }
    EXPECT_TRUE(sumDrifted) << "a running sum would have drifted; the test would not tell the two apart";
    EXPECT_EQ(show.timeAt(8595), 286.5);

    const FrameSchedule small = FrameSchedule::fromRange(0.1, 0.3, 10.0);
    ASSERT_EQ(small.size(), 3u);
    EXPECT_EQ(small.timeAt(0), 0.1);
    EXPECT_EQ(small.timeAt(1), 0.1 + 1.0 / 10.0);
    EXPECT_EQ(small.timeAt(2), 0.1 + 2.0 / 10.0);
}

TEST(FrameSchedule, single_times_are_kept_as_given)
{
    const FrameSchedule schedule = FrameSchedule::fromTimes({-1.0, 0.0, 5.417, 5.417, 300.0});
    ASSERT_EQ(schedule.size(), 5u);
    EXPECT_EQ(schedule.timeAt(0), -1.0);
    EXPECT_EQ(schedule.timeAt(2), 5.417);
    EXPECT_EQ(schedule.timeAt(4), 300.0);
}

TEST(ProgressLine, tells_frames_rate_and_time_left)
{
    const struct {
        long long done, total;
        double elapsed;
        const char* text;
    } cases[] = {
        {0, 10, 0.0, "0/10 frames, -- fps, -- left"},
        {5, 10, 0.0, "5/10 frames, -- fps, -- left"},
        {30, 8596, 1.0, "30/8596 frames, 30.0 fps, 4:46 left"}, // 8566 / 30 = 285.5 s, rounded up
        {10, 10, 2.0, "10/10 frames, 5.0 fps, 0:00 left"},
        {1, 10001, 1.0, "1/10001 frames, 1.0 fps, 2:46:40 left"},
        {3, 4, 4.0, "3/4 frames, 0.8 fps, 0:02 left"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressLine::describe(c.done, c.total, c.elapsed), c.text);
}

namespace {

VideoEncoder::Settings clip(double from)
{
    VideoEncoder::Settings settings;
    settings.path = "clip.mp4";
    settings.musicPath = "data/duskwalk.ogg";
    settings.width = 1280;
    settings.height = 720;
    settings.fps = 30.0;
    settings.from = from;
    settings.frames = 45;
    return settings;
}

// The value after `option` in `args`, or "" when the option is absent.
std::string valueOf(const std::vector<std::string>& args, const std::string& option)
{
    const auto at = std::find(args.begin(), args.end(), option);
    return at == args.end() || at + 1 == args.end() ? "" : *(at + 1);
}

std::size_t indexOf(const std::vector<std::string>& args, const std::string& word)
{
    return static_cast<std::size_t>(std::find(args.begin(), args.end(), word) - args.begin());
}

} // namespace

TEST(VideoEncoder, ffmpeg_gets_raw_frames_and_the_music_of_the_range)
{
    const std::vector<std::string> args = VideoEncoder::arguments(clip(2.5));
    EXPECT_EQ(args.front(), "ffmpeg");
    EXPECT_EQ(valueOf(args, "-pixel_format"), "rgb24");
    EXPECT_EQ(valueOf(args, "-video_size"), "1280x720");
    EXPECT_EQ(valueOf(args, "-framerate"), "30");
    EXPECT_EQ(valueOf(args, "-c:v"), "libx264");
    EXPECT_EQ(valueOf(args, "-pix_fmt"), "yuv420p");
    EXPECT_EQ(valueOf(args, "-c:a"), "aac");
    EXPECT_EQ(valueOf(args, "-movflags"), "+faststart");
    EXPECT_EQ(valueOf(args, "-crf"), "18");
    EXPECT_EQ(valueOf(args, "-t"), "1.5") << "45 frames at 30 fps";
    EXPECT_EQ(args[args.size() - 2], "mp4");
    EXPECT_EQ(args.back(), "file:clip.mp4");
    // The seek belongs to the music input: right before it, after the frames.
    const std::size_t music = indexOf(args, "file:data/duskwalk.ogg");
    ASSERT_LT(music, args.size());
    EXPECT_EQ(args[music - 3], "-ss");
    EXPECT_EQ(args[music - 2], "2.5");
    EXPECT_LT(indexOf(args, "pipe:0"), music - 3);
    EXPECT_EQ(valueOf(args, "-af"), "apad") << "silence past the end of the music";
}

TEST(VideoEncoder, the_music_starts_late_for_a_range_before_the_show_and_webm_gets_vp9)
{
    const std::vector<std::string> early = VideoEncoder::arguments(clip(-0.5));
    EXPECT_EQ(indexOf(early, "-ss"), early.size());
    EXPECT_EQ(valueOf(early, "-af"), "adelay=delays=500:all=1,apad");

    const std::vector<std::string> start = VideoEncoder::arguments(clip(0.0));
    EXPECT_EQ(indexOf(start, "-ss"), start.size());
    EXPECT_EQ(valueOf(start, "-af"), "apad");

    VideoEncoder::Settings webm = clip(0.0);
    webm.path = "-odd name.WEBM";
    const std::vector<std::string> args = VideoEncoder::arguments(webm);
    EXPECT_EQ(valueOf(args, "-c:v"), "libvpx-vp9");
    EXPECT_EQ(valueOf(args, "-c:a"), "libopus");
    EXPECT_EQ(indexOf(args, "-movflags"), args.size());
    EXPECT_EQ(args[args.size() - 2], "webm");
    EXPECT_EQ(args.back(), "file:-odd name.WEBM") << "a name that looks like an option stays a file name";
}

TEST(VideoEncoder, the_container_follows_the_file_name_and_is_mp4_otherwise)
{
    const struct {
        const char* path;
        const char* container;
    } cases[] = {{"show.mp4", "mp4"}, {"show.m4v", "mp4"}, {"show", "mp4"},        {"show.avi", "mp4"},
                 {"show.mkv", "matroska"}, {"SHOW.MOV", "mov"}, {"show.webm", "webm"}, {"webm", "mp4"}};
    for (const auto& c : cases) {
        EXPECT_EQ(VideoEncoder::containerFor(c.path), c.container) << c.path;
        VideoEncoder::Settings settings = clip(0.0);
        settings.path = c.path;
        const std::vector<std::string> args = VideoEncoder::arguments(settings);
        EXPECT_EQ(args[args.size() - 2], c.container) << c.path;
        EXPECT_EQ(valueOf(args, "-c:v"), std::string(c.container) == "webm" ? "libvpx-vp9" : "libx264") << c.path;
    }
}
