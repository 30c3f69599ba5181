#include "HomeScene.h"

#include "Backdrop.h"
#include "SceneWindows.h"
#include "ShowFiles.h"
#include "characters/Programmer.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"

// clang-format off
//                                        scale x           y           pupil x     pupil y     depth  mirrored
const Placement HomeScene::kProgrammer = {0.5f, -0.170833f, -0.259259f, -0.002083f, -0.048148f, kKeep, false};
const Placement HomeScene::kWife       = {0.5f, 0.054167f,  -0.262963f, -0.041667f, 0.001852f,  0.1f,  false};
// clang-format on

HomeScene::HomeScene(ResourceManager* resources, int, int)
    : quad()
{
    SceneWindows::apply(*this, SceneWindows::Home);
    shader = resources->getShader(ProgramName::kDefault);
    spriteShader = resources->getShader(ProgramName::kSprite);
    backdrop = resources->getTexture("home");
    wife = new Wife(resources);
    programmer = new Programmer(resources);
    // The programmer also speaks the lines of a second script.
    programmer->loadDialog(ShowFiles::kProgrammerDialog);
    setCast({programmer, wife});
}

void HomeScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kProgrammer.draw(*programmer, spriteShader);
    kWife.draw(*wife, spriteShader);
}
