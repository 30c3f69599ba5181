#include "ShopScene.h"

#include "SceneWindows.h"
#include "characters/Harlan.h"
#include "characters/ShopAssistant.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

// clang-format off
//                                           scale x          y           pupil x     pupil y    depth  mirrored
const Placement ShopScene::kHarlan        = {0.5f, 0.595833f, -0.312963f, -0.026042f, 0.0f,      kKeep, false};
const Placement ShopScene::kVesna         = {0.5f, 0.210417f, -0.348148f, -0.05f,     0.0f,      kKeep, false};
const Placement ShopScene::kShopAssistant = {0.5f, -0.3625f,  -0.305556f, 0.019792f,  -0.02037f, kKeep, false};
// clang-format on

ShopScene::ShopScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "computershop")
{
    SceneWindows::apply(*this, SceneWindows::Shop);
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    shopAssistant = new ShopAssistant(resources);
    setCast({harlan, vesna, shopAssistant});
}

Placement ShopScene::harlanAt(double time)
{
    Placement row = kHarlan;
    if (time > kTurnTime) {
        row.pupilX = kTurnedPupilX;
        row.pupilY = kTurnedPupilY;
        row.mirrored = true;
    }
    return row;
}

void ShopScene::draw(double time)
{
    drawStage({{harlanAt(time), harlan}, {kVesna, vesna}, {kShopAssistant, shopAssistant}});
}
