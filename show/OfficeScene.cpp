#include "OfficeScene.h"

#include "SceneWindows.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"

// clang-format off
//                                      scale x          y           pupil x     pupil y     depth  mirrored
const Placement OfficeScene::kHarlan = {0.8f, 0.11875f,  -0.075926f, -0.022917f, 0.007407f,  kKeep, false};
const Placement OfficeScene::kVesna  = {0.8f, 0.664583f, -0.075926f, -0.044792f, -0.001852f, kKeep, false};
const Placement OfficeScene::kWife   = {0.8f, -0.6875f,  -0.075926f, 0.034375f,  -0.007407f, kKeep, false};
// clang-format on

OfficeScene::OfficeScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "office2")
{
    SceneWindows::apply(*this, SceneWindows::Office);
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    wife = new Wife(resources);
    wife->setRestMouthTexture(resources->getTexture("mouth_6"));
    setCast({harlan, vesna, wife});
}

void OfficeScene::draw(double)
{
    drawStage({{kHarlan, harlan}, {kVesna, vesna}, {kWife, wife}});
}
