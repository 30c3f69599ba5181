#include "AmigaOnDeskScene.h"

#include "SceneWindows.h"

AmigaOnDeskScene::AmigaOnDeskScene(ResourceManager* resources)
    : PictureStage(resources, "desk")
{
    SceneWindows::apply(*this, SceneWindows::AmigaOnDesk);
}

void AmigaOnDeskScene::render(double)
{
    renderPicture(backdrop);
}
