#include "SceneStepper.h"

#include <cmath>

#include "Demo.h"
#include "Random.h"
#include "Scene.h"

namespace quorvane_engine {

SceneStepper::SceneStepper(Demo& demo, double step)
    : demo(demo)
    , step(step)
{
}

long SceneStepper::stepsUntil(double start, double time) const
{
    if (time < start)
        return 0;
    // The division may land a hair either side of a grid point; the grid
    // times themselves, start + k * step, decide.
    long k = static_cast<long>(std::floor((time - start) / step));
    while (k > 0 && start + k * step > time)
        --k;
    while (start + (k + 1) * step <= time)
        ++k;
    return k + 1;
}

void SceneStepper::moveTo(double time)
{
    stepsDone.resize(demo.scenes.size(), 0);
    for (std::size_t i = 0; i < demo.scenes.size(); ++i) {
        Scene* scene = demo.scenes[i];
        const long target = Demo::contains(*scene, time) ? stepsUntil(scene->startTime, time) : 0;
        if (target < stepsDone[i]) {
            scene->rewind();
            stepsDone[i] = 0;
        }
        if (stepsDone[i] == 0 && target > 0)
            resetRandom();
        for (long k = stepsDone[i]; k < target; ++k)
            scene->advance(scene->startTime + k * step);
        stepsDone[i] = target;
    }
}

void SceneStepper::restart()
{
    for (Scene* scene : demo.scenes)
        scene->rewind();
    stepsDone.assign(demo.scenes.size(), 0);
}

} // namespace quorvane_engine
