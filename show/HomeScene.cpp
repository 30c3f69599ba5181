#include "HomeScene.h"

#include "Backdrop.h"
#include "characters/Programmer.h"
#include "characters/Wife.h"
#include "engine/ResourceManager.h"

const Placement HomeScene::kProgrammer = {0.5f, -0.170833f, -0.259259f, true, -0.002083f, -0.048148f, 0.0f, false};
const Placement HomeScene::kWife = {0.5f, 0.054167f, -0.262963f, true, -0.041667f, 0.001852f, 0.1f, false};

HomeScene::HomeScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 5.417;
    endTime = 30.998719;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("home");
    wife = new Wife(resources);
    programmer = new Programmer(resources);
    // The programmer also speaks the lines of a second script.
    programmer->loadDialog("data/programmer.dialog");
    setCast({programmer, wife});
}

void HomeScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kProgrammer.draw(*programmer, spriteShader);
    kWife.draw(*wife, spriteShader);
}
