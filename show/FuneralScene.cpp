#include "FuneralScene.h"

#include "Backdrop.h"
#include "characters/FuneralWife.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

const Placement FuneralScene::kHarlan = {0.4f, 0.470833f, -0.377778f, false, 0.0f, 0.0f, 0.0f, false};
const Placement FuneralScene::kFuneralWife = {0.4f, 0.084375f, -0.392593f, true, 0.047917f, 0.005556f, 0.0f, false};
const Placement FuneralScene::kVesna = {0.4f, 0.747917f, -0.375926f, true, -0.041667f, 0.001852f, 0.0f, false};

FuneralScene::FuneralScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 58.472094;
    endTime = 99.763199;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("cemetry_day");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    funeralWife = new FuneralWife(resources);
    setCast({harlan, funeralWife, vesna});
}

void FuneralScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kHarlan.draw(*harlan, spriteShader);
    kFuneralWife.draw(*funeralWife, spriteShader);
    kVesna.draw(*vesna, spriteShader);
}
