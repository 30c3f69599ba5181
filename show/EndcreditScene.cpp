#include "EndcreditScene.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"

EndcreditScene::EndcreditScene(ResourceManager* resources)
    : quad()
{
    // The picture is fetched before the program here.
    backdrop = resources->getTexture("endcredit");
    shader = resources->getShader("default");
    startTime = 280.244632;
    endTime = 286.403855;
}

void EndcreditScene::render(double)
{
    drawBackdrop(shader, quad, backdrop);
}
