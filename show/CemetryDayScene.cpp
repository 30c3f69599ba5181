#include "CemetryDayScene.h"

#include <cmath>

#include "SceneWindows.h"
#include "characters/Harlan.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

Placement CemetryDayScene::harlanAt(double time)
{
    const double pupilX = std::sin(time) / 25.0 - 0.011458;
    return {0.4f, 0.470833f, -0.377778f, static_cast<float>(pupilX), -0.018519f, kKeep, false};
}

Placement CemetryDayScene::vesnaAt(double time)
{
    const double pupilX = std::cos(time) / 30.0 - 0.023958;
    return {0.4f, 0.747917f, -0.375926f, static_cast<float>(pupilX), -0.027778f, kKeep, false};
}

CemetryDayScene::CemetryDayScene(ResourceManager* resources, int, int)
    : DialogStage(resources, "cemetry_day2")
{
    SceneWindows::apply(*this, SceneWindows::CemetryDay);
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    setCast({harlan, vesna});
}

void CemetryDayScene::draw(double time)
{
    drawStage({{harlanAt(time), harlan}, {vesnaAt(time), vesna}});
}
