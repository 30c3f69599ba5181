#include "StuffScene.h"

#include "SceneWindows.h"

StuffScene::StuffScene(ResourceManager* resources)
    : PictureStage(resources, "packs")
{
    SceneWindows::apply(*this, SceneWindows::Stuff);
}

void StuffScene::render(double)
{
    renderPicture(backdrop);
}
