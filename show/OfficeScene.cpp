#include "OfficeScene.h"

#include "Backdrop.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"

const Placement OfficeScene::kHarlan = {0.8f, 0.11875f, -0.075926f, true, -0.022917f, 0.007407f, 0.0f, false};
const Placement OfficeScene::kVesna = {0.8f, 0.664583f, -0.075926f, true, -0.044792f, -0.001852f, 0.0f, false};
const Placement OfficeScene::kWife = {0.8f, -0.6875f, -0.075926f, true, 0.034375f, -0.007407f, 0.0f, false};

OfficeScene::OfficeScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 168.851848;
    endTime = 180.157;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("office2");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    wife = new Wife(resources);
    wife->setRestMouthTexture(resources->getTexture("mouth_6"));
    setCast({harlan, vesna, wife});
}

void OfficeScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kHarlan.draw(*harlan, spriteShader);
    kVesna.draw(*vesna, spriteShader);
    kWife.draw(*wife, spriteShader);
}
