// The show as MyDemo builds it from the test show's data, where every
// picture is a solid colour of its own.
#include <gtest/gtest.h>

#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "engine/Scene.h"
#include "show/AmigaOnDeskScene.h"
#include "show/CemetryDayScene.h"
#include "show/CemetryNightScene.h"
#include "show/EndcreditScene.h"
#include "show/FuneralScene.h"
#include "show/HomeScene.h"
#include "show/IntroScene.h"
#include "show/MyDemo.h"
#include "show/OfficeScene.h"
#include "show/PartyScene.h"
#include "show/ShopScene.h"
#include "show/StuffScene.h"
#include "show/TelephoneScene.h"
#include "show/VeryrichOfficeScene.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

const struct {
    std::type_index type;
    double start, end;
    const char* picture; // the backdrop in the middle of the window
    bool bare;           // the picture alone, no figures
} kScenes[] = {
    {typeid(IntroScene), 0, 5.417, "intro", true},
    {typeid(HomeScene), 5.417, 30.998719, "home", false},
    {typeid(StuffScene), 30.998719, 46.396776, "packs", true},
    {typeid(TelephoneScene), 46.396776, 58.472094, "home", false},
    {typeid(FuneralScene), 58.472094, 99.763199, "cemetry_day", false},
    {typeid(CemetryNightScene), 99.763199, 105.962943, "cemetry_night", true},
    {typeid(CemetryDayScene), 105.962943, 125.251035, "cemetry_day2", false},
    {typeid(VeryrichOfficeScene), 125.251035, 168.851848, "office", false},
    {typeid(OfficeScene), 168.851848, 180.157, "office2", false},
    {typeid(AmigaOnDeskScene), 180.157, 192.273103, "desk", true},
    {typeid(ShopScene), 192.273103, 207.711681, "computershop", false},
    {typeid(PartyScene), 207.711681, 280.244632, "party", false},
    {typeid(EndcreditScene), 280.244632, 286.403855, "endcredit", true},
};

// The backdrop in the top-left corner, where no figure ever stands.
Rgba corner(const std::vector<uint8_t>& pixels)
{
    return pixelAtNdc(pixels, kWidth, kHeight, -0.95, 0.95);
}

} // namespace

TEST(Show, scene_list_holds_the_thirteen_scenes_in_story_order_with_contiguous_windows)
{
    REQUIRE_GL();
    TestShow show;
    MyDemo demo(kWidth, kHeight);
    demo.init();
    ASSERT_EQ(demo.scenes.size(), 13u);
    for (size_t i = 0; i < 13; ++i) {
        const quorvane_engine::Scene& scene = *demo.scenes[i];
        EXPECT_EQ(std::type_index(typeid(scene)), kScenes[i].type) << "scene " << i << " is a " << typeid(scene).name();
        EXPECT_EQ(scene.startTime, kScenes[i].start) << i;
        EXPECT_EQ(scene.endTime, kScenes[i].end) << i;
        if (i > 0) {
            EXPECT_EQ(scene.startTime, demo.scenes[i - 1]->endTime) << i;
        }
    }
}

TEST(Show, every_scene_shows_its_picture_afresh_and_boundary_frames_draw_nothing)
{
    REQUIRE_GL();
    TestShow show;
    MyDemo demo(kWidth, kHeight);
    demo.init();
    Framebuffer target(kWidth, kHeight);

    for (const auto& scene : kScenes) {
        const double middle = (scene.start + scene.end) / 2;
        demo.render(middle);
        const std::vector<uint8_t> drawn = target.readPixels();
        EXPECT_TRUE(near(corner(drawn), show.colourOf(scene.picture)))
            << scene.picture << " at " << middle << ": " << corner(drawn);
        // Colour and depth are cleared: nothing of the scene before shows.
        if (scene.bare) {
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_TRUE(near(pixelAt(drawn, kWidth, x, y), show.colourOf(scene.picture))) << x << "," << y;
            }
        }

        // At both ends of the window no scene draws: the last frame stays.
        for (double boundary : {scene.start, scene.end}) {
            demo.render(boundary);
            EXPECT_EQ(target.readPixels(), drawn) << "something drew at " << boundary;
        }
    }
    demo.render(300.0);
    EXPECT_TRUE(near(corner(target.readPixels()), show.colourOf("endcredit"))) << "nothing after the end";
}

TEST(Show, night_cemetery_changes_its_picture_strictly_after_104)
{
    REQUIRE_GL();
    TestShow show;
    MyDemo demo(kWidth, kHeight);
    demo.init();
    Framebuffer target(kWidth, kHeight);
    const struct {
        double time;
        const char* picture;
    } cases[] = {{99.8, "cemetry_night"}, {104.0, "cemetry_night"}, {104.001, "surprisearm"}, {105.9, "surprisearm"}};
    for (const auto& c : cases) {
        demo.render(c.time);
        EXPECT_TRUE(near(corner(target.readPixels()), show.colourOf(c.picture))) << c.picture << " at " << c.time;
    }
}
