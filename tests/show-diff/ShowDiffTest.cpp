// show-diff as its users meet it: which pixels count as different and by how
// much, what show-diff-compare reports and exits with on folders of frames,
// and the script comparing a build with itself over a stretch of the show.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FrameDiff.h"
#include "TestFiles.h"

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the shell command line `command` and collects what it printed.
ToolRun run(const std::string& command)
{
    TempDir logs;
    const int status =
        std::system((command + " >" + logs.path("out") + " 2>" + logs.path("err") + " </dev/null").c_str());
    ToolRun result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(logs.path("out"));
    result.err = readFile(logs.path("err"));
    return result;
}

// A 3x2 RGB picture of one grey.
std::vector<uint8_t> grey(uint8_t level)
{
    return std::vector<uint8_t>(3 * 2 * 3, level);
}

void writeFrame(const std::string& folder, int index, const std::vector<uint8_t>& rgb, int width = 3, int height = 2)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%05d.png", index);
    writePng(folder + name, width, height, 3, rgb);
}

const std::string kCompare = SHOW_DIFF_COMPARE;

} // namespace

TEST(FrameDiff, counts_differing_pixels_and_the_largest_channel_difference)
{
    struct Case {
        const char* what;
        std::vector<int> changes; // triples: pixel, channel, new value (from grey 100)
        long long differing, byOne;
        int largest;
    };
    const Case cases[] = {
        {"identical", {}, 0, 0, 0},
        {"one channel up by 1", {4, 2, 101}, 1, 1, 1},
        {"one channel down by 1", {0, 0, 99}, 1, 1, 1},
        {"two channels of one pixel, 1 and 3", {1, 0, 101, 1, 1, 97}, 1, 0, 3},
        {"two pixels, 1 and 155", {2, 1, 255, 5, 2, 101}, 2, 1, 155},
        {"all the way down", {3, 0, 0}, 1, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> before = grey(100);
        std::vector<uint8_t> after = before;
        for (size_t i = 0; i < c.changes.size(); i += 3)
            after[c.changes[i] * 3 + c.changes[i + 1]] = static_cast<uint8_t>(c.changes[i + 2]);
        const FrameDiff::Result result = FrameDiff::compare(before.data(), after.data(), 3, 2);
        EXPECT_EQ(result.differing, c.differing);
        EXPECT_EQ(result.byOne, c.byOne);
        EXPECT_EQ(result.largest, c.largest);
    }
}

TEST(FrameDiff, picture_marks_differences_of_one_yellow_and_larger_red)
{
    const std::vector<uint8_t> before = grey(200);
    std::vector<uint8_t> after = before;
    after[1 * 3 + 2] = 201; // pixel 1 by 1
    after[4 * 3 + 0] = 10;  // pixel 4 by 190
    const std::vector<uint8_t> picture = FrameDiff::picture(before.data(), after.data(), 3, 2);
    const auto at = [&](int pixel) {
        return std::vector<int>{picture[pixel * 3], picture[pixel * 3 + 1], picture[pixel * 3 + 2]};
    };
    EXPECT_EQ(at(1), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ(at(4), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(at(0), (std::vector<int>{50, 50, 50})); // the after picture darkened to a quarter
}

TEST(ShowDiffCompare, reports_each_frame_and_exits_by_the_tolerance)
{
    TempDir dir;
    const std::string before = dir.path("before");
    const std::string after = dir.path("after");
    std::vector<uint8_t> changed = grey(100);
    changed[0] = 101;
    changed[9] = 140; // pixel 3 by 40
    writeFrame(before, 0, grey(100));
    writeFrame(after, 0, grey(100));
    writeFrame(before, 1, grey(100));
    writeFrame(after, 1, changed);
    std::vector<uint8_t> byOne = grey(100);
    byOne[5] = 99;
    writeFrame(before, 2, grey(100));
    writeFrame(after, 2, byOne);

    const std::string worst = dir.path("worst.png");
    const ToolRun differs = run(kCompare + " --quiet --from 10 --fps 2 --worst " + worst + " " + before + " " + after);
    EXPECT_EQ(differs.code, 1) << differs.err;
    EXPECT_NE(differs.out.find("frame 00000     10.000 s  same\n"), std::string::npos) << differs.out;
    EXPECT_NE(differs.out.find("frame 00001     10.500 s  2 pixels differ, largest difference 40\n"),
              std::string::npos)
        << differs.out;
    EXPECT_NE(differs.out.find("frame 00002     11.000 s  1 pixels differ, largest difference 1\n"),
              std::string::npos)
        << differs.out;
    EXPECT_NE(differs.out.find("summary: 3 frames, 1 the same, 2 differ; pixels differing by 1: 2, by more: 1; "
                               "largest difference 40 (worst frame 00001 at 10.500 s, 2 pixels)"),
              std::string::npos)
        << differs.out;
    EXPECT_EQ(differs.err, "");

    // The worst frame's picture: frame 1, pixel 0 by 1 (yellow), pixel 3 by 40 (red).
    int width = 0, height = 0, channels = 0;
    unsigned char* picture = stbi_load(worst.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(std::vector<int>(picture, picture + 3), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ(std::vector<int>(picture + 9, picture + 12), (std::vector<int>{255, 0, 0}));
    stbi_image_free(picture);

    EXPECT_EQ(run(kCompare + " -q --tolerance 39 " + before + " " + after).code, 1);
    const ToolRun tolerated = run(kCompare + " -q --tolerance 40 " + before + " " + after);
    EXPECT_EQ(tolerated.code, 0);
    EXPECT_NE(tolerated.out.find("2 differ"), std::string::npos) << "differences within the tolerance are reported";
    const ToolRun same = run(kCompare + " -q " + before + " " + before);
    EXPECT_EQ(same.code, 0);
    EXPECT_NE(same.out.find("summary: 3 frames, 3 the same, 0 differ"), std::string::npos) << same.out;
}

TEST(ShowDiffCompare, names_what_it_cannot_compare)
{
    TempDir dir;
    const std::string before = dir.path("before");
    const std::string after = dir.path("after");
    writeFrame(before, 0, grey(1));
    writeFrame(after, 0, grey(1));
    writeFrame(before, 1, grey(1));
    writeFrame(after, 1, std::vector<uint8_t>(2 * 2 * 3, 1), 2, 2);
    writeFrame(before, 2, grey(1));
    writeFile(dir.path("empty/readme"), "no frames");
    struct Case {
        std::string arguments;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {before + " " + after, 1, before + "/frame_00001.png is 3x2 but " + after + "/frame_00001.png is 2x2"},
        {dir.path("empty") + " " + dir.path("empty"), 1, dir.path("empty") + "/frame_00000.png: no frames"},
        {before, 2, "wants two folders of frames"},
        {before + " " + dir.path("nowhere"), 2, dir.path("nowhere") + ": not a folder"},
        {"--tolerance 256 " + before + " " + after, 2, "--tolerance wants a whole number from 0 to 255"},
        {"--fps 0 " + before + " " + after, 2, "--fps wants a number above 0"},
        {"--frobnicate " + before + " " + after, 2, "unknown option --frobnicate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun result = run(kCompare + " -q " + c.arguments);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.err.rfind("show-diff-compare: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    // A frame missing on one side.
    std::filesystem::remove(after + "/frame_00001.png");
    writeFrame(after, 1, grey(1));
    const ToolRun missing = run(kCompare + " -q " + before + " " + after);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find(after + "/frame_00002.png: cannot read the frame (missing)"), std::string::npos)
        << missing.err;
}

TEST(ShowDiff, compares_a_build_with_itself_and_refuses_bad_usage)
{
    const std::string script = SHOW_DIFF_SCRIPT;
    EXPECT_EQ(run(script + " --help").code, 0);
    const ToolRun one = run(script + " " + QUORVANE_BUILD_DIR);
    EXPECT_EQ(one.code, 2);
    EXPECT_NE(one.err.find("show-diff: wants two builds to compare"), std::string::npos) << one.err;
    const ToolRun neither = run(script + " /nonexistent-build no-such-commit-anywhere");
    EXPECT_EQ(neither.code, 2);
    EXPECT_NE(neither.err.find("/nonexistent-build: neither a build folder nor a commit"), std::string::npos)
        << neither.err;
    EXPECT_EQ(run(script + " --size 12 HEAD HEAD").code, 2);

    bool content = false;
    for (const auto& entry : std::filesystem::directory_iterator(sourceRoot() + "/data"))
        content = content || entry.path().extension() == ".png";
    if (!content)
        GTEST_SKIP() << "no built images in data/";
    TempDir dir;
    const std::string build = QUORVANE_BUILD_DIR;
    const ToolRun same = run(script + " -q --size 320x180 --from 104 --to 105 --fps 2 --worst " + dir.path("w.png") +
                         " " + build + " " + build);
    EXPECT_EQ(same.code, 0) << same.err;
    EXPECT_NE(same.out.find("frame 00002    105.000 s  same\n"), std::string::npos) << same.out;
    EXPECT_NE(same.out.find("summary: 3 frames, 3 the same, 0 differ"), std::string::npos) << same.out;
    EXPECT_FALSE(std::filesystem::exists(dir.path("w.png")));
    // With the captions drawn over both: at the funeral, where a cue shows.
    if (!std::filesystem::exists(sourceRoot() + "/data/captions.vtt"))
        GTEST_SKIP() << "no built captions in data/";
    const std::string frame = " -q --size 320x180 --from 72 --to 72 --fps 1 --keep ";
    const ToolRun captioned = run(script + frame + dir.path("with") + " --captions " + build + " " + build);
    EXPECT_EQ(captioned.code, 0) << captioned.err;
    EXPECT_NE(captioned.out.find("summary: 1 frames, 1 the same, 0 differ"), std::string::npos) << captioned.out;
    ASSERT_EQ(run(script + frame + dir.path("without") + " " + build + " " + build).code, 0);
    EXPECT_NE(readFile(dir.path("with/after/frame_00000.png")), readFile(dir.path("without/after/frame_00000.png")))
        << "no caption drawn";
}
