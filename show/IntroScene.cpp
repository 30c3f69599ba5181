#include "IntroScene.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"

IntroScene::IntroScene(ResourceManager* resources)
    : shader(resources->getShader("default"))
    , quad()
    , backdrop(resources->getTexture("intro"))
{
    startTime = 0.0;
    endTime = 5.417;
}

void IntroScene::render(double)
{
    drawBackdrop(shader, quad, backdrop);
}
