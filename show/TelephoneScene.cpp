#include "TelephoneScene.h"

#include "SceneWindows.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"

// clang-format off
//                                       scale x          y           pupil x pupil y depth  mirrored
const Placement TelephoneScene::kWife = {0.5f, 0.054167f, -0.262963f, kKeep,  kKeep,  kKeep, false};
// clang-format on

TelephoneScene::TelephoneScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "home")
{
    SceneWindows::apply(*this, SceneWindows::Telephone);
    wife = new Wife(resources);
    wife->setArmsTexture(resources->getTexture("arms_telo"));
    setCast({wife});
}

void TelephoneScene::draw(double)
{
    drawStage({{kWife, wife}});
}
