// The state a seek leaves: the scenes stepped on a fixed grid from their
// start, with nothing drawn, must equal what drawing every frame of that grid
// leaves; and playing frame by frame must land on the same state as one jump.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "characters/Harlan.h"
#include "characters/ShopAssistant.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "characters/Zombie.h"
#include "effects/ParticleSystem.h"
#include "engine/Random.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/PartyScene.h"
#include "show/ShopScene.h"

namespace {

using quorvane_engine::SceneStepper;

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr int kShop = 10;
constexpr int kParty = 11;

// Everyone talks now and then in the shop and at the party.
const std::map<std::string, std::string> kDialogs = {
    {"harlan.dialog", "193\t199\n201\t215\n265\t275\n"},
    {"vesna.dialog", "196\t206\n212\t220\n"},
    {"sa.dialog", "194\t204\n"},
    {"veryrich.dialog", "209\t214\n266\t278\n"},
};

bool sameMatrix(const Mat4& a, const Mat4& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(float) * 16) == 0;
}

// Everything a frame leaves for the next, read from the shop and the party.
struct ShowState {
    std::vector<Character::Pose> poses;
    std::vector<double> nextTwitch;
    std::vector<float> particles; // positions, velocities, birth and expiry times

    static ShowState of(MyDemo& demo)
    {
        auto* shop = static_cast<ShopScene*>(demo.scenes[kShop]);
        auto* party = static_cast<PartyScene*>(demo.scenes[kParty]);
        ShowState state;
        for (Character* c : std::initializer_list<Character*>{shop->harlan, shop->vesna, shop->shopAssistant,
                 party->harlan, party->vesna, party->veryrich, party->zombies[0], party->zombies[1],
                 party->zombies[2]})
            state.poses.push_back(c->pose());
        state.nextTwitch.assign(party->nextTwitch, party->nextTwitch + PartyScene::kZombieCount);
        for (const std::vector<float>* array : {&party->particles->positions, &party->particles->velocities,
                 &party->particles->birthTimes, &party->particles->expiryTimes})
            state.particles.insert(state.particles.end(), array->begin(), array->end());
        return state;
    }
};

void expectSame(const ShowState& a, const ShowState& b)
{
    ASSERT_EQ(a.poses.size(), b.poses.size());
    for (size_t i = 0; i < a.poses.size(); ++i) {
        SCOPED_TRACE("figure " + std::to_string(i));
        const Character::Pose& p = a.poses[i];
        const Character::Pose& q = b.poses[i];
        EXPECT_EQ(p.mouthTexture, q.mouthTexture);
        EXPECT_EQ(p.eyesTexture, q.eyesTexture);
        EXPECT_EQ(p.mirrored, q.mirrored);
        EXPECT_EQ(p.armsUp, q.armsUp);
        EXPECT_EQ(p.nextMouthChange, q.nextMouthChange);
        EXPECT_TRUE(sameMatrix(p.headOffset, q.headOffset)) << "head dip or slide";
        EXPECT_TRUE(sameMatrix(p.pupilOffset, q.pupilOffset)) << "glance";
    }
    EXPECT_EQ(a.nextTwitch, b.nextTwitch);
    EXPECT_EQ(a.particles, b.particles);
}

class SeekState : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL();
        show = std::make_unique<TestShow>(kDialogs);
        target = std::make_unique<Framebuffer>(kWidth, kHeight);
        target->bind();
        demo = new MyDemo(kWidth, kHeight);
        demo->init();
        stepper = std::make_unique<SceneStepper>(*demo);
    }

    // Plays the scene holding `time` as the show would, drawing every frame
    // of the grid from the scene's start, with the random sequence restarted;
    // then draws the frame at `time` itself, as the player does.
    ShowState playedTo(double time)
    {
        stepper->restart();
        for (quorvane_engine::Scene* scene : demo->scenes) {
            if (!quorvane_engine::Demo::contains(*scene, time))
                continue;
            resetRandom();
            for (double t = scene->startTime; t <= time;) {
                scene->render(t);
                t = scene->startTime + stepper->stepsUntil(scene->startTime, t) * SceneStepper::kStep;
            }
        }
        demo->draw(time);
        const ShowState state = ShowState::of(*demo);
        stepper->restart();
        return state;
    }

    std::unique_ptr<TestShow> show;
    std::unique_ptr<Framebuffer> target;
    MyDemo* demo = nullptr; // the show's objects are never freed
    std::unique_ptr<SceneStepper> stepper;
};

} // namespace

TEST_F(SeekState, a_seek_lands_where_playing_at_the_fixed_step_lands)
{
    // Speech, the turn in the shop, twitches, the throw, the dying window
    // with its spray, and after it.
    for (double time : {195.5, 205.25, 266.7, 270.1, 275.0}) {
        SCOPED_TRACE(time);
        const ShowState played = playedTo(time);
        // Arrive from later in the show, so the seek has to go back.
        stepper->moveTo(279.0);
        stepper->moveTo(time);
        demo->draw(time);
        expectSame(ShowState::of(*demo), played);
    }
}

TEST_F(SeekState, playing_frame_by_frame_lands_where_one_jump_lands)
{
    // Frames at 50 Hz from the shop into the blood, a pause and a step back.
    for (double time = 203.0; time < 270.5; time += 0.02)
        stepper->moveTo(time);
    stepper->moveTo(270.5);
    stepper->moveTo(270.5);
    stepper->moveTo(270.45);
    demo->draw(270.45);
    const ShowState played = ShowState::of(*demo);

    stepper->restart();
    stepper->moveTo(270.45);
    demo->draw(270.45);
    expectSame(ShowState::of(*demo), played);
}

TEST_F(SeekState, one_frame_in_the_dying_window_shows_a_spray_already_on_its_way)
{
    stepper->moveTo(270.0);
    const ParticleSystem& blood = *static_cast<PartyScene*>(demo->scenes[kParty])->particles;
    // About 45 steps since the death: every particle has left the origin.
    int moved = 0;
    for (int i = 0; i < blood.count; ++i)
        moved += blood.positions[3 * i] > blood.origin[0] + 0.1f;
    EXPECT_GT(moved, blood.count / 2);
    for (float birth : blood.birthTimes)
        EXPECT_GT(birth, PartyScene::kDeathTime);
}
