#include "VeryrichOfficeScene.h"

#include "Backdrop.h"
#include "characters/Harlan.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

const Placement VeryrichOfficeScene::kHarlan = {0.7f, -0.275f, -0.192593f, true, 0.034375f, 0.001852f, 0.0f, true};
const Placement VeryrichOfficeScene::kVesna = {0.7f, -0.753125f, -0.21111f, true, 0.045833f, -0.003704f, 0.0f, false};
const Placement VeryrichOfficeScene::kVeryrich
    = {0.7f, 0.592708f, -0.183333f, true, -0.03125f, -0.011111f, 0.0f, false};

VeryrichOfficeScene::VeryrichOfficeScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 125.251035;
    endTime = 168.851848;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("office");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    veryrich = new Veryrich(resources);
    setCast({harlan, vesna, veryrich});
}

void VeryrichOfficeScene::draw(double)
{
    drawBackdrop(shader, quad, backdrop);
    kHarlan.draw(*harlan, spriteShader);
    kVesna.draw(*vesna, spriteShader);
    kVeryrich.draw(*veryrich, spriteShader);
}
