#include "TelephoneScene.h"

#include "Backdrop.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"

const Placement TelephoneScene::kWife = {0.5f, 0.054167f, -0.262963f, false, 0.0f, 0.0f, 0.0f, false};

TelephoneScene::TelephoneScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 46.396776;
    endTime = 58.472094;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("home");
    wife = new Wife(resources);
    wife->setArmsTexture(resources->getTexture("arms_telo"));
    setCast({wife});
}

void TelephoneScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kWife.draw(*wife, spriteShader);
}
