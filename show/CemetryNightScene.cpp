#include "CemetryNightScene.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"

CemetryNightScene::CemetryNightScene(ResourceManager* resources)
    : quad()
    , shader(resources->getShader("default"))
    , backdrop(resources->getTexture("cemetry_night"))
    , surpriseBackdrop(resources->getTexture("surprisearm"))
{
    startTime = 99.763199;
    endTime = 105.962943;
}

GLuint CemetryNightScene::pictureAt(double time) const
{
    return time > kSurpriseTime ? surpriseBackdrop : backdrop;
}

void CemetryNightScene::render(double time)
{
    drawBackdrop(shader, quad, pictureAt(time));
}
