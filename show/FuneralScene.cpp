#include "FuneralScene.h"

#include "SceneWindows.h"
#include "characters/FuneralWife.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

// clang-format off
//                                            scale x          y           pupil x     pupil y    depth  mirrored
const Placement FuneralScene::kHarlan      = {0.4f, 0.470833f, -0.377778f, kKeep,      kKeep,     kKeep, false};
const Placement FuneralScene::kFuneralWife = {0.4f, 0.084375f, -0.392593f, 0.047917f,  0.005556f, kKeep, false};
const Placement FuneralScene::kVesna       = {0.4f, 0.747917f, -0.375926f, -0.041667f, 0.001852f, kKeep, false};
// clang-format on

FuneralScene::FuneralScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "cemetry_day")
{
    SceneWindows::apply(*this, SceneWindows::Funeral);
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    funeralWife = new FuneralWife(resources);
    setCast({harlan, funeralWife, vesna});
}

void FuneralScene::draw(double)
{
    drawStage({{kHarlan, harlan}, {kFuneralWife, funeralWife}, {kVesna, vesna}});
}
