#include "StuffScene.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"

StuffScene::StuffScene(ResourceManager* resources)
    : quad()
    , shader(resources->getShader("default"))
    , backdrop(resources->getTexture("packs"))
{
    startTime = 30.998719;
    endTime = 46.396776;
}

void StuffScene::render(double)
{
    drawBackdrop(shader, quad, backdrop);
}
