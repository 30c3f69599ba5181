// quorvane-capture run as a process in a folder of test data (the real
// resource list's names, each texture a solid colour of its own), as a user
// runs it: which pictures it writes, what a boundary frame holds, that runs
// repeat exactly, the video's length and sound, and how it fails.
#include <gtest/gtest.h>

#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "GlTest.h"
#include "RgbImage.h"
#include "TestFiles.h"
#include "TestShow.h"
#include "engine/CueList.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "show/MyDemo.h"

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

bool exists(const std::string& path)
{
    return std::ifstream(path).good();
}

// Runs quorvane-capture with `arguments` in the current folder, with
// `environment` added, and waits for it to end.
ToolRun capture(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
{
    TempDir logs;
    const std::string outPath = logs.path("stdout.txt");
    const std::string errPath = logs.path("stderr.txt");
    std::vector<char*> argv{const_cast<char*>(QUORVANE_CAPTURE)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr))
            _exit(126);
        for (const std::string& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        execv(QUORVANE_CAPTURE, argv.data());
        _exit(127);
    }
    ToolRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

// What a PNG file holds, decoded to RGB.
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0; // as stored in the file
    RgbImage image;
};

Picture readPng(const std::string& path)
{
    Picture picture;
    unsigned char* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &picture.channels, 3);
    if (!pixels)
        return picture;
    picture.image.width = picture.width;
    picture.image.height = picture.height;
    picture.image.pixels.assign(pixels, pixels + static_cast<size_t>(picture.width) * picture.height * 3);
    stbi_image_free(pixels);
    return picture;
}

Rgba colourAt(const RgbImage& image, int x, int y)
{
    const uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2], 255};
}

const Rgba kWhite = {255, 255, 255, 255};

// "" when every pixel of `image` is `colour`, else where the first is not.
std::string differenceFrom(const RgbImage& image, Rgba colour)
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!near(colourAt(image, x, y), colour, 0)) {
                std::ostringstream where;
                where << "pixel " << x << "," << y << " is " << colourAt(image, x, y) << ", not " << colour;
                return where.str();
            }
    return "";
}

// Checks the label strip of tile `index` of a sheet laid out as `layout`.
void expectLabel(const RgbImage& sheet, const ContactSheet& layout, int index, const std::string& label)
{
    RgbImage strip(layout.tileWidth, layout.labelHeight, ContactSheet::kGround, ContactSheet::kGround,
                   ContactSheet::kGround);
    layout.drawLabel(strip, 0, 0, label);
    int differing = 0;
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            differing += strip.pixel(x, y)[0] != sheet.pixel(layout.pictureX(index) + x, layout.labelY(index) + y)[0];
    EXPECT_EQ(differing, 0) << "tile " << index << " is not labelled \"" << label << "\"";
}

bool haveCommand(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a shell command.
std::string output(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    pclose(pipe);
    return text;
}

double numberAfter(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find(key);
    return at == std::string::npos ? -1e9 : std::strtod(text.c_str() + at + key.size(), nullptr);
}

// The loudest sample of the audio of `path` between `from` and `to`
// seconds, in dB (-inf for silence).
double loudestDb(const std::string& path, double from, double to)
{
    const std::string trim = "atrim=" + std::to_string(from) + ":" + std::to_string(to);
    return numberAfter(output("ffmpeg -hide_banner -nostats -i '" + path + "' -map 0:a -af " + trim +
                              ",volumedetect -f null - 2>&1"),
                       "max_volume:");
}

// The backdrop scenes, whose frames are their picture alone.
const std::map<std::string, std::string> kBackdropOf = {
    {"IntroScene", "intro"},          {"StuffScene", "packs"},          {"CemetryNightScene", "cemetry_night"},
    {"AmigaOnDeskScene", "desk"},     {"EndcreditScene", "endcredit"},
};

} // namespace

TEST(CaptureTool, frames_show_the_picture_of_the_scene_at_each_time)
{
    REQUIRE_GL();
    TestShow show;
    const ToolRun run = capture({"--size", "65x37", "--time", "2", "--time", "40", "--time", "100.5", "--time", "105",
                             "--time", "185", "--time", "283", "--out", "shot-%d.png"});
    ASSERT_EQ(run.code, 0) << run.err;
    const char* const expected[] = {"intro", "packs", "cemetry_night", "surprisearm", "desk", "endcredit"};
    for (int i = 0; i < 6; ++i) {
        const Picture frame = readPng("shot-" + std::to_string(i) + ".png");
        ASSERT_EQ(frame.width, 65) << i;
        ASSERT_EQ(frame.height, 37) << i;
        EXPECT_EQ(frame.channels, 3) << "8-bit RGB, no alpha";
        EXPECT_EQ(differenceFrom(frame.image, show.colourOf(expected[i])), "") << "frame " << i << ": " << expected[i];
    }
    EXPECT_FALSE(exists("shot-6.png"));
}

TEST(CaptureTool, a_time_without_a_scene_keeps_the_frame_before_or_the_clear_colour)
{
    REQUIRE_GL();
    TestShow show;
    const struct {
        std::vector<std::string> times;
        std::vector<std::string> pictures; // "" for the clear colour, white
    } cases[] = {
        {{"0"}, {""}},                                      // the first window opens after 0
        {{"-1", "2", "5.417", "300"}, {"", "intro", "intro", "intro"}}, // before, inside, boundary, after
        {{"290"}, {""}},                                    // after the end, nothing drawn yet
        {{"2", "30.998719", "40"}, {"intro", "intro", "packs"}}, // the boundary into the still picture
    };
    int number = 0;
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"--size", "32x18", "--quiet", "--out",
                                              "case" + std::to_string(number) + "_%d.png"};
        for (const std::string& time : c.times)
            arguments.insert(arguments.end(), {"--time", time});
        const ToolRun run = capture(arguments);
        ASSERT_EQ(run.code, 0) << run.err;
        for (std::size_t i = 0; i < c.pictures.size(); ++i) {
            const Picture frame = readPng("case" + std::to_string(number) + "_" + std::to_string(i) + ".png");
            ASSERT_EQ(frame.width, 32);
            const Rgba colour = c.pictures[i].empty() ? kWhite : show.colourOf(c.pictures[i]);
            EXPECT_EQ(differenceFrom(frame.image, colour), "")
                << "case " << number << ", time " << c.times[i] << ": " << c.pictures[i];
        }
        ++number;
    }
}

TEST(CaptureTool, a_range_writes_one_file_per_frame_up_to_its_end_with_progress)
{
    REQUIRE_GL();
    TestShow show;
    const ToolRun run = capture({"--from", "0.1", "--to", "0.3", "--fps", "10", "--size", "32x18"});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* name : {"frame_00000.png", "frame_00001.png", "frame_00002.png"})
        EXPECT_EQ(differenceFrom(readPng(name).image, show.colourOf("intro")), "") << name;
    EXPECT_FALSE(exists("frame_00003.png")) << "0.3 is the last frame";
    EXPECT_NE(run.err.find("3/3 frames"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    const ToolRun quiet = capture({"--from", "0.1", "--to", "0.3", "--fps", "10", "--size", "32x18", "--quiet"});
    ASSERT_EQ(quiet.code, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");

    // From elsewhere, -C finds the data and puts the files there.
    TempDir elsewhere;
    const std::string showRoot = show.path("");
    ScopedChdir moved(elsewhere.root);
    const ToolRun changed = capture({"-C", showRoot, "--time", "40", "--size", "32x18", "--out", "moved_%d.png"});
    ASSERT_EQ(changed.code, 0) << changed.err;
    EXPECT_EQ(differenceFrom(readPng(showRoot + "/moved_0.png").image, show.colourOf("packs")), "");
    EXPECT_FALSE(exists(elsewhere.path("moved_0.png")));
}

TEST(CaptureTool, the_same_arguments_give_the_same_files)
{
    REQUIRE_GL();
    // Speech and the party's twitches and blood all draw on the shared
    // random sequence.
    TestShow show({{"harlan.dialog", "260\t275\n"}, {"vesna.dialog", "260\t275\n"}, {"veryrich.dialog", "260\t275\n"}});
    const std::vector<std::string> range = {"--from", "269.3", "--to", "269.8", "--fps", "10", "--size", "96x54",
                                            "--quiet"};
    std::vector<std::string> first = range;
    first.insert(first.end(), {"--out", "first_%02d.png"});
    std::vector<std::string> second = range;
    second.insert(second.end(), {"--out", "second_%02d.png"});
    ASSERT_EQ(capture(first).code, 0);
    ASSERT_EQ(capture(second).code, 0);
    for (int i = 0; i < 6; ++i) {
        char a[32], b[32];
        std::snprintf(a, sizeof a, "first_%02d.png", i);
        std::snprintf(b, sizeof b, "second_%02d.png", i);
        const std::string bytes = readFile(a);
        EXPECT_FALSE(bytes.empty()) << a;
        EXPECT_TRUE(bytes == readFile(b)) << a << " and " << b << " differ";
    }
}

TEST(CaptureTool, a_video_has_the_frames_length_and_music_of_its_range)
{
    REQUIRE_GL();
    if (!haveCommand("ffmpeg") || !haveCommand("ffprobe") || !haveCommand("sox"))
        GTEST_SKIP() << "needs ffmpeg, ffprobe and sox";
    TestShow show;
    // A second of tone, then silence: where a clip's sound comes from shows.
    ASSERT_EQ(std::system("sox -q -n -r 44100 -c 2 data/duskwalk.ogg synth 1 sine 440 vol 0.5 pad 0 3"), 0);

    const ToolRun run =
        capture({"--from", "2", "--to", "2.9", "--fps", "10", "--size", "64x36", "--video", "clip.mp4", "--quiet"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string video = output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                     "stream=codec_name,pix_fmt,width,height,nb_read_frames -of default=nw=1 clip.mp4");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("pix_fmt=yuv420p"), std::string::npos) << video;
    EXPECT_NE(video.find("width=64"), std::string::npos) << video;
    EXPECT_NE(video.find("height=36"), std::string::npos) << video;
    EXPECT_NE(video.find("nb_read_frames=10"), std::string::npos) << video;
    const std::string audio =
        output("ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,duration -of default=nw=1 clip.mp4");
    EXPECT_NE(audio.find("codec_name=aac"), std::string::npos) << audio;
    EXPECT_NEAR(numberAfter(audio, "duration="), 1.0, 0.05) << audio;
    const std::string format = output("ffprobe -v error -show_entries format=duration -of default=nw=1 clip.mp4");
    EXPECT_NEAR(numberAfter(format, "duration="), 1.0, 0.05) << format;
    EXPECT_LT(loudestDb("clip.mp4", 0.0, 1.0), -50.0) << "the music is taken from 2 s on, past the tone";

    // The first frame decoded again is the opening picture (yuv420p rounds a little).
    const std::string rgb = output("ffmpeg -v error -i clip.mp4 -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    ASSERT_EQ(rgb.size(), 64u * 36u * 3u);
    const std::size_t centre = (18u * 64u + 32u) * 3u;
    const Rgba decoded = {static_cast<uint8_t>(rgb[centre]), static_cast<uint8_t>(rgb[centre + 1]),
                          static_cast<uint8_t>(rgb[centre + 2]), 255};
    EXPECT_TRUE(near(decoded, show.colourOf("intro"), 8)) << decoded;

    // Half a second before the show: silence, then the tone from show time 0.
    const ToolRun early =
        capture({"--from", "-0.5", "--to", "0.4", "--fps", "10", "--size", "64x36", "--video", "early.mp4", "--quiet"});
    ASSERT_EQ(early.code, 0) << early.err;
    EXPECT_LT(loudestDb("early.mp4", 0.0, 0.4), -50.0) << "no music before the show starts";
    EXPECT_GT(loudestDb("early.mp4", 0.6, 0.9), -20.0) << "the music from show time 0 on";
}

// Two cues of the office scene, as the content build writes them.
const char* const kOfficeCaptions = "WEBVTT\n\n"
                                    "00:02:50.000 --> 00:02:52.000\n"
                                    "Irma: I never sold it!\n\n"
                                    "00:02:53.000 --> 00:02:56.500\n"
                                    "Vesna: Then who did?\n"
                                    "Harlan: And where is it now?\n";

TEST(CaptureTool, captions_draw_in_the_lower_fifth_of_frames_with_a_cue_and_nowhere_else)
{
    REQUIRE_GL();
    TestShow show;
    writeFile("data/captions.vtt", kOfficeCaptions);
    const std::vector<std::string> frames = {"--time", "171", "--time", "172.5", "--size", "640x360", "--quiet"};
    std::vector<std::string> captioned = frames;
    captioned.insert(captioned.end(), {"--captions", "--out", "captioned_%d.png"});
    ASSERT_EQ(capture(frames).code, 0);
    const ToolRun run = capture(captioned);
    ASSERT_EQ(run.code, 0) << run.err;

    EXPECT_EQ(readFile("frame_00001.png"), readFile("captioned_1.png")) << "no cue at 172.5 s: the same frame";
    const Picture plain = readPng("frame_00000.png");
    const Picture caption = readPng("captioned_0.png");
    ASSERT_EQ(caption.width, 640);
    int left = 640, right = -1, top = 360, bottom = -1, white = 0;
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 640; ++x) {
            const Rgba was = colourAt(plain.image, x, y);
            const Rgba is = colourAt(caption.image, x, y);
            if (near(was, is, 0))
                continue;
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            white += near(is, kWhite, 16);
        }
    EXPECT_GE(top, 360 * 4 / 5) << "inside the lower fifth";
    EXPECT_LT(bottom, 360);
    EXPECT_NEAR(left + right, 639, 2) << "centred";
    EXPECT_GT(right - left, 160) << "a line of text";
    EXPECT_GT(white, 200) << "white letters";
}

TEST(CaptureTool, a_video_carries_the_cues_of_its_range_as_a_subtitle_stream_left_off)
{
    REQUIRE_GL();
    if (!haveCommand("ffmpeg") || !haveCommand("ffprobe") || !haveCommand("sox"))
        GTEST_SKIP() << "needs ffmpeg, ffprobe and sox";
    TestShow show;
    ASSERT_EQ(std::system("sox -q -n -r 44100 -c 2 data/duskwalk.ogg synth 180 sine 440 vol 0.1"), 0);
    writeFile("data/captions.vtt", kOfficeCaptions);
    const struct {
        const char* file;
        const char* codec;
    } cases[] = {{"clip.mp4", "mov_text"}, {"clip.webm", "webvtt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        // 171 to 175: the end of the first cue and the start of the second.
        const ToolRun run =
            capture({"--from", "171", "--to", "174.9", "--fps", "10", "--size", "64x36", "--video", c.file, "--quiet"});
        ASSERT_EQ(run.code, 0) << run.err;
        const std::string stream = output(std::string("ffprobe -v error -select_streams s -show_entries "
                                                      "stream=codec_name:stream_disposition=default -of compact ") +
                                          c.file);
        EXPECT_NE(stream.find(std::string("codec_name=") + c.codec), std::string::npos) << stream;
        EXPECT_NE(stream.find("disposition:default=0"), std::string::npos) << "off until chosen: " << stream;
        const quorvane_engine::CueList cues = quorvane_engine::CueList::parse(
            output(std::string("ffmpeg -v error -i ") + c.file + " -map 0:s:0 -f webvtt -"), c.file);
        ASSERT_EQ(cues.cues.size(), 2u);
        EXPECT_NEAR(cues.cues[0].start, 0.0, 0.03);
        EXPECT_NEAR(cues.cues[0].end, 1.0, 0.03);
        EXPECT_NEAR(cues.cues[1].start, 2.0, 0.03);
        EXPECT_NEAR(cues.cues[1].end, 4.0, 0.03) << "cut at the end of the video";
        const std::vector<std::string> lines = {"Vesna: Then who did?", "Harlan: And where is it now?"};
        EXPECT_EQ(cues.cues[1].lines, lines);
    }
}

TEST(CaptureTool, the_contact_sheet_shows_the_middle_of_every_scene_with_its_name)
{
    REQUIRE_GL();
    TestShow show;
    const ToolRun run = capture({"--contact-sheet", "sheet.png", "--size", "320x180", "--quiet"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Picture sheet = readPng("sheet.png");

    // The show's own scene list says what the tiles should be.
    setShowGlState();
    MyDemo demo(320, 180);
    demo.init();
    struct Tile {
        double time;
        std::string scene;
    };
    std::vector<Tile> tiles;
    for (const quorvane_engine::Scene* scene : demo.scenes)
        tiles.push_back({scene->startTime + (scene->endTime - scene->startTime) / 2.0, SceneLabel::className(*scene)});
    std::stable_sort(tiles.begin(), tiles.end(), [](const Tile& a, const Tile& b) { return a.time < b.time; });
    ASSERT_GE(tiles.size(), 5u);

    const ContactSheet layout(static_cast<int>(tiles.size()), 320, 180);
    ASSERT_EQ(sheet.width, layout.image.width);
    ASSERT_EQ(sheet.height, layout.image.height);
    int backdrops = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int index = static_cast<int>(i);
        expectLabel(sheet.image, layout, index, tiles[i].scene + " " + SceneLabel::seconds(tiles[i].time) + " s");
        const auto backdrop = kBackdropOf.find(tiles[i].scene);
        if (backdrop == kBackdropOf.end())
            continue;
        ++backdrops;
        const Rgba centre = colourAt(sheet.image, layout.pictureX(index) + 160, layout.pictureY(index) + 90);
        EXPECT_TRUE(near(centre, show.colourOf(backdrop->second), 1)) << tiles[i].scene << ": " << centre;
    }
    EXPECT_EQ(backdrops, 5);
}

TEST(CaptureTool, a_contact_sheet_of_given_times_tiles_those_frames)
{
    REQUIRE_GL();
    TestShow show;
    const ToolRun run = capture({"--contact-sheet", "times.png", "--size", "320x180", "--time", "2", "--time", "5.417",
                             "--time", "40", "--tile-width", "160"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Picture sheet = readPng("times.png");
    const ContactSheet layout(3, 160, 90);
    ASSERT_EQ(sheet.width, layout.image.width);
    ASSERT_EQ(sheet.height, layout.image.height);
    EXPECT_EQ(layout.rows, 1);
    const char* const pictures[] = {"intro", "intro", "packs"};
    const char* const labels[] = {"IntroScene 2 s", "no scene 5.417 s", "StuffScene 40 s"};
    for (int i = 0; i < 3; ++i) {
        const Rgba centre = colourAt(sheet.image, layout.pictureX(i) + 80, layout.pictureY(i) + 45);
        EXPECT_TRUE(near(centre, show.colourOf(pictures[i]), 1)) << i << ": " << centre;
        expectLabel(sheet.image, layout, i, labels[i]);
    }
}

TEST(CaptureTool, bad_usage_exits_2_with_a_message_and_writes_nothing)
{
    TestShow show;
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{}, "nothing to capture"},
        {{"--size", "10", "--time", "1"}, "--size wants WIDTHxHEIGHT"},
        {{"--time", "1", "--out", "%s.png"}, "not a plain integer conversion"},
        {{"--time", "2", "--time", "1"}, "must not decrease"},
        {{"--video", "v.mp4", "--time", "1"}, "--video needs a range"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const auto& c : cases) {
        const ToolRun run = capture(c.arguments);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(exists("frame_00000.png"));
    EXPECT_FALSE(exists("v.mp4"));

    const ToolRun help = capture({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: quorvane-capture"), std::string::npos);
    const ToolRun version = capture({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("quorvane-capture ", 0), 0u) << version.out;
}

TEST(CaptureTool, failures_exit_1_and_name_what_failed)
{
    REQUIRE_GL();
    const struct {
        const char* fault;
        void (*breakIt)(const TestShow&);
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        const char* message;
    } cases[] = {
        {"a name missing from the resource list",
         [](const TestShow& show) {
             std::string config = show.configText();
             config.replace(config.find("Texture intro "), 14, "Texture other ");
             show.writeConfig(config);
         },
         {"--time", "2"}, {}, "\"intro\""},
        {"no resource list", [](const TestShow& show) { std::remove(show.path("data/config.txt").c_str()); },
         {"--time", "2"}, {}, "data/config.txt"},
        {"no such folder", [](const TestShow&) {}, {"-C", "no/such/folder", "--time", "2"}, {}, "no/such/folder"},
        {"a PNG that cannot be written", [](const TestShow&) {},
         {"--time", "2", "--size", "32x18", "--out", "no-folder/f_%d.png"}, {}, "no-folder/f_0.png"},
        {"a video without music", [](const TestShow&) {},
         {"--from", "1", "--to", "1.2", "--fps", "10", "--size", "32x18", "--video", "clip.mp4"}, {},
         "data/duskwalk.ogg"},
        {"no OpenGL", [](const TestShow&) {}, {"--time", "2"}, {"SDL_VIDEODRIVER=dummy"}, "quorvane-capture: "},
        {"captions without a captions file", [](const TestShow&) {}, {"--time", "2", "--captions"}, {},
         "data/captions.vtt: cannot open"},
        {"a captions file that does not read",
         [](const TestShow&) { writeFile("data/captions.vtt", "WEBVTT\n\n1 --> 2\nHi\n"); },
         {"--time", "2", "--captions"}, {}, "data/captions.vtt:3: \"1 --> 2\" is not a cue's times"},
    };
    for (const auto& c : cases) {
        TestShow show;
        c.breakIt(show);
        const ToolRun run = capture(c.arguments, c.environment);
        EXPECT_EQ(run.code, 1) << c.fault << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.fault << ": " << run.err;
    }
}

TEST(CaptureTool, a_failing_ffmpeg_exits_1_and_leaves_no_video)
{
    REQUIRE_GL();
    if (!haveCommand("ffmpeg") || !haveCommand("sox"))
        GTEST_SKIP() << "needs ffmpeg and sox";
    TestShow show;
    ASSERT_EQ(std::system("sox -q -n -r 44100 -c 2 data/duskwalk.ogg synth 2 sine 440"), 0);
    const ToolRun run = capture(
        {"--from", "1", "--to", "1.5", "--fps", "10", "--size", "32x18", "--video", "no-folder/clip.mp4", "--quiet"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(run.err.find("ffmpeg"), std::string::npos) << run.err;
    EXPECT_FALSE(exists("no-folder/clip.mp4"));
}
