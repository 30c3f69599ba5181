#include "Demo.h"

#include <cstddef>

#include "Scene.h"

namespace quorvane_engine {

Demo::Demo(int width, int height)
    : width(width)
    , height(height)
{
}

void Demo::render(double time)
{
    // The count is read afresh each step; both window ends are open.
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        Scene* scene = scenes[i];
        if (time > scene->startTime && time < scene->endTime)
            scene->render(time);
    }
}

} // namespace quorvane_engine
