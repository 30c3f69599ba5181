#include "AmigaOnDeskScene.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"

AmigaOnDeskScene::AmigaOnDeskScene(ResourceManager* resources)
    : quad()
    , shader(resources->getShader("default"))
    , backdrop(resources->getTexture("desk"))
{
    startTime = 180.157;
    endTime = 192.273103;
}

void AmigaOnDeskScene::render(double)
{
    drawBackdrop(shader, quad, backdrop);
}
