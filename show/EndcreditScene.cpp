#include "EndcreditScene.h"

#include "SceneWindows.h"

EndcreditScene::EndcreditScene(ResourceManager* resources)
    : PictureStage(resources, "endcredit", PictureStage::PictureFirst)
{
    SceneWindows::apply(*this, SceneWindows::Endcredit);
}

void EndcreditScene::render(double)
{
    renderPicture(backdrop);
}
