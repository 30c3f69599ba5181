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
        if (contains(*scene, time))
            scene->render(time);
    }
}

void Demo::draw(double time)
{
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        if (contains(*scenes[i], time))
            scenes[i]->draw(time);
    }
}

bool Demo::contains(const Scene& scene, double time)
{
    return time > scene.startTime && time < scene.endTime;
}

} // namespace quorvane_engine
