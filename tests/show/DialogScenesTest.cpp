// The dialog scenes as MyDemo builds them from the test show's data, where
// every texture is a solid colour of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "characters/FuneralWife.h"
#include "characters/Harlan.h"
#include "characters/Programmer.h"
#include "characters/ShopAssistant.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "characters/Wife.h"
#include "engine/SceneLabel.h"
#include "show/CemetryDayScene.h"
#include "show/FuneralScene.h"
#include "show/HomeScene.h"
#include "show/MyDemo.h"
#include "show/OfficeScene.h"
#include "show/ShopScene.h"
#include "show/TelephoneScene.h"
#include "show/VeryrichOfficeScene.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// The first scene of the show of class `SceneClass`.
template <typename SceneClass> SceneClass* find(MyDemo& demo)
{
    for (quorvane_engine::Scene* scene : demo.scenes) {
        if (auto* found = dynamic_cast<SceneClass*>(scene))
            return found;
    }
    return nullptr;
}

class DialogScenes : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL();
        // The programmer's two scripts share one interval.
        show = std::make_unique<TestShow>(
            std::map<std::string, std::string>{{"prog.dialog", "6\t7\n8\t9\n"}, {"programmer.dialog", "8\t9\n"}});
        demo = std::make_unique<MyDemo>(kWidth, kHeight);
        demo->init();
        target = std::make_unique<Framebuffer>(kWidth, kHeight);
    }

    std::unique_ptr<TestShow> show;
    std::unique_ptr<MyDemo> demo;
    std::unique_ptr<Framebuffer> target;
};

} // namespace

TEST_F(DialogScenes, every_character_stands_where_its_placement_row_puts_it_inside_the_frame)
{
    HomeScene* home = find<HomeScene>(*demo);
    TelephoneScene* telephone = find<TelephoneScene>(*demo);
    FuneralScene* funeral = find<FuneralScene>(*demo);
    VeryrichOfficeScene* veryrichOffice = find<VeryrichOfficeScene>(*demo);
    OfficeScene* office = find<OfficeScene>(*demo);
    ShopScene* shop = find<ShopScene>(*demo);
    const struct {
        quorvane_engine::Scene* scene;
        const char* who;
        Character* character;
        const Placement& row;
        const char* pupils; // the nearest part, covering the figure's centre
    } cases[] = {
        {home, "programmer", home->programmer, HomeScene::kProgrammer, "pupil"},
        {home, "wife", home->wife, HomeScene::kWife, "pupil"},
        {telephone, "wife", telephone->wife, TelephoneScene::kWife, "pupil"},
        {funeral, "harlan", funeral->harlan, FuneralScene::kHarlan, "harlan_pupil"},
        {funeral, "funeralWife", funeral->funeralWife, FuneralScene::kFuneralWife, "pupil"},
        {funeral, "vesna", funeral->vesna, FuneralScene::kVesna, "vesna_pupil"},
        {veryrichOffice, "harlan", veryrichOffice->harlan, VeryrichOfficeScene::kHarlan, "harlan_pupil"},
        {veryrichOffice, "vesna", veryrichOffice->vesna, VeryrichOfficeScene::kVesna, "vesna_pupil"},
        {veryrichOffice, "veryrich", veryrichOffice->veryrich, VeryrichOfficeScene::kVeryrich, "pupil"},
        {office, "harlan", office->harlan, OfficeScene::kHarlan, "harlan_pupil"},
        {office, "vesna", office->vesna, OfficeScene::kVesna, "vesna_pupil"},
        {office, "wife", office->wife, OfficeScene::kWife, "pupil"},
        {shop, "harlan", shop->harlan, ShopScene::kHarlan, "harlan_pupil"},
        {shop, "vesna", shop->vesna, ShopScene::kVesna, "vesna_pupil"},
        {shop, "shopAssistant", shop->shopAssistant, ShopScene::kShopAssistant, "pupil"},
    };
    for (const auto& c : cases) {
        const double time = (c.scene->startTime + c.scene->endTime) / 2;
        SCOPED_TRACE(SceneLabel::className(*c.scene) + " " + c.who);
        c.scene->render(time);
        const Placement& row = c.row;
        const Mat4& base = c.character->baseTransform;
        EXPECT_FLOAT_EQ(base.m[0], Character::kFigureScaleX * row.scale);
        EXPECT_FLOAT_EQ(base.m[5], Character::kFigureScaleY * row.scale);
        EXPECT_EQ(base.m[12], row.x);
        EXPECT_EQ(base.m[13], row.y);
        EXPECT_EQ(c.character->pupilOffset.m[12], row.pupilX.value_or(0.0f));
        EXPECT_EQ(c.character->pupilOffset.m[13], row.pupilY.value_or(0.0f));
        EXPECT_EQ(c.character->depth, row.depth.value_or(Character::kDefaultDepth));
        EXPECT_EQ(c.character->mirrored, row.mirrored ? 1 : 0);
        // The whole figure stands inside the frame.
        EXPECT_LE(std::fabs(row.x) + Character::kFigureScaleX * row.scale, 1.0);
        EXPECT_LE(std::fabs(row.y) + Character::kFigureScaleY * row.scale, 1.0);
        const Rgba centre = pixelAtNdc(target->readPixels(), kWidth, kHeight, row.x, row.y);
        EXPECT_TRUE(near(centre, show->colourOf(c.pupils))) << centre;
    }
}

TEST_F(DialogScenes, shop_harlan_turns_strictly_after_204_and_stays_turned)
{
    ShopScene* shop = find<ShopScene>(*demo);
    const struct {
        double time;
        int mirrored;
        float pupilX, pupilY;
    } frames[] = {
        {203.9, 0, -0.026042f, 0.0f},
        {204.0, 0, -0.026042f, 0.0f},
        {204.001, 1, 0.028125f, -0.016071f},
        {207.7, 1, 0.028125f, -0.016071f},
    };
    for (const auto& f : frames) {
        shop->render(f.time);
        EXPECT_EQ(shop->harlan->mirrored, f.mirrored) << f.time;
        EXPECT_EQ(shop->harlan->pupilOffset.m[12], f.pupilX) << f.time;
        EXPECT_EQ(shop->harlan->pupilOffset.m[13], f.pupilY) << f.time;
        EXPECT_EQ(shop->harlan->baseTransform.m[12], 0.595833f) << f.time;
    }
}

TEST_F(DialogScenes, cemetery_day_pupils_swing_with_the_show_time)
{
    EXPECT_NEAR(*CemetryDayScene::harlanAt(110).pupilX, -0.013228, 1e-6);
    EXPECT_NEAR(*CemetryDayScene::vesnaAt(110).pupilX, -0.057259, 1e-6);

    CemetryDayScene* day = find<CemetryDayScene>(*demo);
    for (double time : {106.0, 110.0, 124.0}) {
        day->render(time);
        EXPECT_EQ(day->harlan->pupilOffset.m[12], static_cast<float>(std::sin(time) / 25 - 0.011458)) << time;
        EXPECT_EQ(day->harlan->pupilOffset.m[13], -0.018519f) << time;
        EXPECT_EQ(day->vesna->pupilOffset.m[12], static_cast<float>(std::cos(time) / 30 - 0.023958)) << time;
        EXPECT_EQ(day->vesna->pupilOffset.m[13], -0.027778f) << time;
        EXPECT_EQ(day->harlan->baseTransform.m[12], 0.470833f);
        EXPECT_EQ(day->vesna->baseTransform.m[12], 0.747917f);
    }
}

TEST_F(DialogScenes, only_the_telephone_wife_wears_the_telephone_arms)
{
    HomeScene* home = find<HomeScene>(*demo);
    TelephoneScene* telephone = find<TelephoneScene>(*demo);
    OfficeScene* office = find<OfficeScene>(*demo);
    telephone->render(50.0);
    EXPECT_EQ(show->nameOf(telephone->wife->armsTexture), "arms_telo");
    EXPECT_EQ(show->nameOf(home->wife->armsTexture), "arms_8");
    EXPECT_EQ(show->nameOf(office->wife->armsTexture), "arms_8");
}

TEST_F(DialogScenes, office_wife_closes_her_mouth_with_mouth_6_and_home_wife_with_mouth)
{
    HomeScene* home = find<HomeScene>(*demo);
    OfficeScene* office = find<OfficeScene>(*demo);
    office->render(175.0);
    home->render(20.0);
    EXPECT_EQ(show->nameOf(office->wife->mouthTexture), "mouth_6");
    EXPECT_EQ(show->nameOf(home->wife->mouthTexture), "mouth");
}

TEST_F(DialogScenes, home_programmer_speaks_the_lines_of_both_his_scripts)
{
    HomeScene* home = find<HomeScene>(*demo);
    EXPECT_EQ(home->programmer->speechStarts, (std::vector<double>{6, 8, 8}));
    EXPECT_EQ(home->programmer->speechEnds, (std::vector<double>{7, 9, 9}));
    home->render(8.5);
    const std::string mouth = show->nameOf(home->programmer->mouthTexture);
    EXPECT_TRUE(mouth == "mouth_2" || mouth == "mouth_4" || mouth == "mouth_5") << mouth;
    home->render(9.5);
    EXPECT_EQ(show->nameOf(home->programmer->mouthTexture), "mouth_6");
}
