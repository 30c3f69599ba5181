// The party scene, built from the test show's data (every texture a solid
// colour of its own, every dialog script empty: nobody speaks).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "characters/Veryrich.h"
#include "characters/Zombie.h"
#include "effects/ParticleSystem.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "show/PartyScene.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
const Rgba kBlood{140, 5, 8, 255}; // the blood program's colour at full life

class Party : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL();
        show = std::make_unique<TestShow>();
        setShowGlState();
        resources = std::make_unique<ResourceManager>("data/config.txt");
        scene = std::make_unique<PartyScene>(resources.get(), kWidth, kHeight);
        target = std::make_unique<Framebuffer>(kWidth, kHeight);
    }

    GLuint texture(const char* name) { return resources->getTexture(name); }

    // The blood program draws the spray from the rich man's neck as he lies
    // (data/blood.vert), not from the particle system's origin.
    Rgba sprayOrigin() { return pixelAtNdc(target->readPixels(), kWidth, kHeight, 0.655, -0.205); }

    std::unique_ptr<TestShow> show;
    std::unique_ptr<ResourceManager> resources;
    std::unique_ptr<PartyScene> scene;
    std::unique_ptr<Framebuffer> target;
};

} // namespace

TEST(PartyTimeline, rich_man_walks_in_without_a_jump_and_the_thresholds_are_strict)
{
    const PartyScene::Point start = PartyScene::walkPosition(207.711681);
    EXPECT_NEAR(start.x, 12.069527, 1e-5);
    EXPECT_NEAR(start.y, std::sin(100 * 207.711681) / 50 - 0.538889, 1e-6);

    const PartyScene::Point before = PartyScene::walkPosition(218.925999);
    const PartyScene::Point stop = PartyScene::walkPosition(218.926);
    EXPECT_NEAR(before.x, stop.x, 1e-5) << "no jump where he stops";
    for (double time : {218.926, 240.0, 280.0}) {
        EXPECT_EQ(PartyScene::walkPosition(time).x, 0.855208f) << time;
        EXPECT_EQ(PartyScene::walkPosition(time).y, -0.538889f) << time;
    }

    const struct {
        double time;
        bool thrown, dead, dying;
    } cases[] = {
        {263.0, false, false, false},
        {263.001, true, false, false},
        {269.243, true, false, false},
        {269.244, true, true, true},
        {271.471, true, true, true},
        {271.472, true, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PartyScene::isThrown(c.time), c.thrown) << c.time;
        EXPECT_EQ(PartyScene::isDead(c.time), c.dead) << c.time;
        EXPECT_EQ(PartyScene::isDying(c.time), c.dying) << c.time;
    }
}

TEST_F(Party, rich_man_stops_at_218_926_and_is_thrown_over_strictly_after_263)
{
    scene->render(218.926);
    EXPECT_EQ(scene->veryrich->baseTransform.m[12], 0.855208f);
    EXPECT_EQ(scene->veryrich->baseTransform.m[13], -0.538889f);

    scene->render(263.0);
    const Mat4& base = scene->veryrich->baseTransform;
    EXPECT_EQ(base.m[12], 0.855208f);
    EXPECT_EQ(base.m[1], 0.0f) << "not turned";
    EXPECT_EQ(scene->zombies[1]->armsUp, 0);
    EXPECT_EQ(scene->zombies[2]->armsUp, 0);

    scene->render(263.001);
    EXPECT_EQ(base.m[12], 0.6f);
    EXPECT_EQ(base.m[13], -0.214815f);
    const double angle = 4.76;
    EXPECT_NEAR(base.m[0], 0.13288 * std::cos(angle), 1e-6);
    EXPECT_NEAR(base.m[1], 0.368 * std::sin(angle), 1e-6);
    EXPECT_NEAR(base.m[4], -0.13288 * std::sin(angle), 1e-6);
    EXPECT_NEAR(base.m[5], 0.368 * std::cos(angle), 1e-6);
    EXPECT_EQ(scene->zombies[0]->armsUp, 0);
    EXPECT_EQ(scene->zombies[1]->armsUp, 1);
    EXPECT_EQ(scene->zombies[2]->armsUp, 1);

    // The turn is made afresh each frame, not added to the last one.
    scene->render(264.0);
    EXPECT_NEAR(base.m[0], 0.13288 * std::cos(angle), 1e-6);
}

TEST_F(Party, rich_man_dies_strictly_after_269_243_and_bleeds_until_271_472)
{
    Veryrich& man = *scene->veryrich;
    ParticleSystem& blood = *scene->particles;

    scene->render(269.243);
    EXPECT_EQ(man.eyesTexture, texture("veryrich_eyes"));
    EXPECT_EQ(man.mouthTexture, texture("mouth_5"));
    EXPECT_EQ(man.headOffset.m[13], 0.0f);
    EXPECT_EQ(blood.birthTimes, std::vector<float>(60, 0.0f)) << "no blood yet";
    EXPECT_FALSE(near(sprayOrigin(), kBlood, 30)) << sprayOrigin();

    // The first frame of the dying window: the spray starts at the neck.
    scene->render(270.0);
    EXPECT_EQ(man.eyesTexture, texture("dead_eyes"));
    EXPECT_EQ(man.mouthTexture, texture("dead_mouth"));
    EXPECT_EQ(man.headOffset.m[13], static_cast<float>((270.0 - 269.243) * 2));
    EXPECT_EQ(blood.birthTimes, std::vector<float>(60, 270.0f));
    EXPECT_TRUE(near(sprayOrigin(), kBlood, 3)) << sprayOrigin();

    scene->render(271.0);
    const float slid = static_cast<float>((271.0 - 269.243) * 2);
    EXPECT_EQ(man.headOffset.m[13], slid);
    const std::vector<float> lastSpray = blood.positions;

    // Past the window: no blood, lip sync again (the closed mouth), dead
    // eyes and the head where it slid to.
    scene->render(271.472);
    EXPECT_EQ(blood.positions, lastSpray) << "particles not updated";
    EXPECT_FALSE(near(sprayOrigin(), kBlood, 30)) << sprayOrigin();
    EXPECT_EQ(man.mouthTexture, texture("mouth_5"));
    EXPECT_EQ(man.eyesTexture, texture("dead_eyes"));
    EXPECT_EQ(man.headOffset.m[13], slid);
}

TEST_F(Party, zombies_twitch_on_the_first_frame_then_at_most_once_a_frame)
{
    // Nobody speaks, so the zombies are the frame's only random draws.
    std::vector<double> r;
    resetRandom();
    for (int i = 0; i < 13; ++i)
        r.push_back(random01());

    resetRandom();
    scene->render(208.0);
    for (int z = 0; z < 3; ++z) {
        SCOPED_TRACE(z);
        const double* d = &r[4 * z]; // next twitch, head drop, glance y, glance x
        EXPECT_EQ(scene->nextTwitch[z], 208.0 + d[0] * 1.2);
        EXPECT_EQ(scene->zombies[z]->headOffset.m[13], static_cast<float>(d[1] * -0.1));
        EXPECT_EQ(scene->zombies[z]->pupilOffset.m[13], static_cast<float>(d[2] * 0.04 - 0.02));
        EXPECT_EQ(scene->zombies[z]->pupilOffset.m[12], static_cast<float>(d[3] * 0.04 - 0.02));
    }
    EXPECT_EQ(scene->zombies[0]->depth, 0.11f);
    EXPECT_EQ(scene->zombies[1]->depth, 0.1f);
    EXPECT_EQ(scene->zombies[2]->depth, 0.09f);

    // Before any twitch is due, offsets stay and nothing is drawn.
    const double firstDue = std::min({scene->nextTwitch[0], scene->nextTwitch[1], scene->nextTwitch[2]});
    const Mat4 head = scene->zombies[0]->headOffset, pupils = scene->zombies[0]->pupilOffset;
    resetRandom();
    for (int i = 0; i < 12; ++i)
        random01();
    scene->render(208.0);
    scene->render((208.0 + firstDue) / 2);
    EXPECT_EQ(random01(), r[12]) << "no twitch before its time";
    EXPECT_EQ(scene->zombies[0]->headOffset.m[13], head.m[13]);
    EXPECT_EQ(scene->zombies[0]->pupilOffset.m[12], pupils.m[12]);
    EXPECT_EQ(scene->zombies[0]->pupilOffset.m[13], pupils.m[13]);

    // Long after: each zombie twitches once, not once per missed wait.
    resetRandom();
    scene->render(230.0);
    for (int z = 0; z < 3; ++z)
        EXPECT_EQ(scene->nextTwitch[z], 230.0 + r[4 * z] * 1.2) << z;
    EXPECT_EQ(random01(), r[12]);
}
