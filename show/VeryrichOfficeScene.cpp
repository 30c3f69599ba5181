#include "VeryrichOfficeScene.h"

#include "SceneWindows.h"
#include "characters/Harlan.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

// clang-format off
//                                                scale x           y           pupil x    pupil y     depth  mirrored
const Placement VeryrichOfficeScene::kHarlan   = {0.7f, -0.275f,    -0.192593f, 0.034375f, 0.001852f,  kKeep, true};
const Placement VeryrichOfficeScene::kVesna    = {0.7f, -0.753125f, -0.21111f,  0.045833f, -0.003704f, kKeep, false};
const Placement VeryrichOfficeScene::kVeryrich = {0.7f, 0.592708f,  -0.183333f, -0.03125f, -0.011111f, kKeep, false};
// clang-format on

VeryrichOfficeScene::VeryrichOfficeScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "office")
{
    SceneWindows::apply(*this, SceneWindows::VeryrichOffice);
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    veryrich = new Veryrich(resources);
    setCast({harlan, vesna, veryrich});
}

void VeryrichOfficeScene::draw(double)
{
    drawStage({{kHarlan, harlan}, {kVesna, vesna}, {kVeryrich, veryrich}});
}
