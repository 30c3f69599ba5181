#include "CemetryDayScene.h"

#include <cmath>

#include "Backdrop.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

Placement CemetryDayScene::harlanAt(double time)
{
    const double pupilX = std::sin(time) / 25.0 - 0.011458;
    return {0.4f, 0.470833f, -0.377778f, true, static_cast<float>(pupilX), -0.018519f, 0.0f, false};
}

Placement CemetryDayScene::vesnaAt(double time)
{
    const double pupilX = std::cos(time) / 30.0 - 0.023958;
    return {0.4f, 0.747917f, -0.375926f, true, static_cast<float>(pupilX), -0.027778f, 0.0f, false};
}

CemetryDayScene::CemetryDayScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 105.962943;
    endTime = 125.251035;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("cemetry_day2");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    setCast({harlan, vesna});
}

void CemetryDayScene::draw(double time)
{
    drawBackdrop(shader, quad, backdrop);
    harlanAt(time).draw(*harlan, spriteShader);
    vesnaAt(time).draw(*vesna, spriteShader);
}
