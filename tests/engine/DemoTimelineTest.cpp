#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Demo.h"
#include "engine/Scene.h"

namespace {

std::vector<std::string> drawn;

class RecordingScene : public quorvane_engine::Scene {
public:
    RecordingScene(const char* name, double start, double end)
        : name(name)
    {
        startTime = start;
        endTime = end;
    }
    void render(double) override { drawn.push_back(name); }
    const char* name;
};

class TestDemo : public quorvane_engine::Demo {
public:
    TestDemo()
        : Demo(640, 360)
    {
    }
    void init() override { }
};

std::vector<std::string> renderAt(quorvane_engine::Demo& demo, double time)
{
    drawn.clear();
    demo.render(time);
    return drawn;
}

using Names = std::vector<std::string>;

} // namespace

TEST(DemoTimeline, windows_are_open_at_both_ends_and_boundaries_draw_nothing)
{
    TestDemo demo;
    demo.scenes = {new RecordingScene("a", 0.0, 5.417), new RecordingScene("b", 5.417, 30.998719)};

    const struct {
        double time;
        Names expected;
    } cases[] = {
        {-1.0, {}},      // before every window
        {0.0, {}},       // a window starting at 0 does not draw at 0
        {0.001, {"a"}},  // the first frame with a positive time
        {5.416, {"a"}},  //
        {5.417, {}},     // exactly on a boundary: no scene at all
        {5.418, {"b"}},  //
        {30.998719, {}}, // the last end
        {1000.0, {}},    // after every window
    };
    for (const auto& c : cases)
        EXPECT_EQ(renderAt(demo, c.time), c.expected) << "at " << c.time;
}

TEST(DemoTimeline, overlapping_scenes_all_draw_in_list_order)
{
    TestDemo demo;
    demo.scenes
        = {new RecordingScene("late", 5, 20), new RecordingScene("early", 0, 10), new RecordingScene("other", 30, 40)};
    EXPECT_EQ(renderAt(demo, 7.0), (Names{"late", "early"}));
    EXPECT_EQ(renderAt(demo, 3.0), (Names{"early"}));
}

TEST(DemoTimeline, empty_list_draws_nothing_and_size_is_kept)
{
    TestDemo demo;
    EXPECT_EQ(demo.width, 640);
    EXPECT_EQ(demo.height, 360);
    EXPECT_TRUE(renderAt(demo, 1.0).empty());
}

namespace {

// A scene that appends another scene to the list while the list is walked.
class GrowingScene : public quorvane_engine::Scene {
public:
    explicit GrowingScene(quorvane_engine::Demo& demo)
        : demo(demo)
    {
        startTime = 0;
        endTime = 10;
    }
    void render(double) override
    {
        drawn.push_back("grow");
        if (demo.scenes.size() == 1)
            demo.scenes.push_back(new RecordingScene("added", 0, 10));
    }
    quorvane_engine::Demo& demo;
};

} // namespace

TEST(DemoTimeline, the_scene_count_is_read_afresh_at_every_step)
{
    TestDemo demo;
    demo.scenes = {new GrowingScene(demo)};
    EXPECT_EQ(renderAt(demo, 1.0), (Names{"grow", "added"}));
}
