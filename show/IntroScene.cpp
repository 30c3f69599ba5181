#include "IntroScene.h"

#include "Backdrop.h"
#include "SceneWindows.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"

IntroScene::IntroScene(ResourceManager* resources)
    : shader(resources->getShader(ProgramName::kDefault))
    , quad()
    , backdrop(resources->getTexture("intro"))
{
    SceneWindows::apply(*this, SceneWindows::Intro);
}

void IntroScene::render(double)
{
    drawBackdrop(shader, quad, backdrop);
}
