#include "CemetryNightScene.h"

#include "SceneWindows.h"
#include "engine/ResourceManager.h"

CemetryNightScene::CemetryNightScene(ResourceManager* resources)
    : PictureStage(resources, "cemetry_night")
    , surpriseBackdrop(resources->getTexture("surprisearm"))
{
    SceneWindows::apply(*this, SceneWindows::CemetryNight);
}

GLuint CemetryNightScene::pictureAt(double time) const
{
    return time > kSurpriseTime ? surpriseBackdrop : backdrop;
}

void CemetryNightScene::render(double time)
{
    renderPicture(pictureAt(time));
}
