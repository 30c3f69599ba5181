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
#include "engine/SceneLabel.h"
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
#include "show/SceneWindows.h"
#include "show/ShopScene.h"
#include "show/StuffScene.h"
#include "show/TelephoneScene.h"
#include "show/VeryrichOfficeScene.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// The scenes in story order, as SceneWindows numbers them.
const struct {
    std::type_index type;
    const char* picture; // the backdrop in the middle of the window
    bool bare;           // the picture alone, no figures
} kScenes[SceneWindows::kSceneCount] = {
    {typeid(IntroScene), "intro", true},
    {typeid(HomeScene), "home", false},
    {typeid(StuffScene), "packs", true},
    {typeid(TelephoneScene), "home", false},
    {typeid(FuneralScene), "cemetry_day", false},
    {typeid(CemetryNightScene), "cemetry_night", true},
    {typeid(CemetryDayScene), "cemetry_day2", false},
    {typeid(VeryrichOfficeScene), "office", false},
    {typeid(OfficeScene), "office2", false},
    {typeid(AmigaOnDeskScene), "desk", true},
    {typeid(ShopScene), "computershop", false},
    {typeid(PartyScene), "party", false},
    {typeid(EndcreditScene), "endcredit", true},
};

// The backdrop in the top-left corner, where no figure ever stands.
Rgba corner(const std::vector<uint8_t>& pixels)
{
    return pixelAtNdc(pixels, kWidth, kHeight, -0.95, 0.95);
}

} // namespace

TEST(Show, scene_windows_start_at_zero_and_follow_one_another)
{
    EXPECT_EQ(SceneWindows::kBoundaries[0], 0.0);
    for (int i = 0; i < SceneWindows::kSceneCount; ++i)
        EXPECT_LT(SceneWindows::kBoundaries[i], SceneWindows::kBoundaries[i + 1]) << "scene " << i;
}

TEST(Show, scene_list_holds_the_thirteen_scenes_in_story_order_in_their_windows)
{
    REQUIRE_GL();
    TestShow show;
    MyDemo demo(kWidth, kHeight);
    demo.init();
    ASSERT_EQ(demo.scenes.size(), static_cast<size_t>(SceneWindows::kSceneCount));
    for (size_t i = 0; i < demo.scenes.size(); ++i) {
        const quorvane_engine::Scene& scene = *demo.scenes[i];
        EXPECT_EQ(std::type_index(typeid(scene)), kScenes[i].type) << "scene " << i << " is a " << SceneLabel::className(scene);
        EXPECT_EQ(scene.startTime, SceneWindows::kBoundaries[i]) << SceneLabel::className(scene);
        EXPECT_EQ(scene.endTime, SceneWindows::kBoundaries[i + 1]) << SceneLabel::className(scene);
    }
}

TEST(Show, every_scene_shows_its_picture_afresh_and_boundary_frames_draw_nothing)
{
    REQUIRE_GL();
    TestShow show;
    MyDemo demo(kWidth, kHeight);
    demo.init();
    Framebuffer target(kWidth, kHeight);

    for (int i = 0; i < SceneWindows::kSceneCount; ++i) {
        const auto& scene = kScenes[i];
        const double start = SceneWindows::kBoundaries[i];
        const double end = SceneWindows::kBoundaries[i + 1];
        const double middle = (start + end) / 2;
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
        for (double boundary : {start, end}) {
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
