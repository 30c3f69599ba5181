#include "SceneWindows.h"

#include "engine/Scene.h"

void SceneWindows::apply(quorvane_engine::Scene& scene, Index index)
{
    scene.startTime = kBoundaries[index];
    scene.endTime = kBoundaries[index + 1];
}
