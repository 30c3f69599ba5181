// The show's timeline: an ordered list of scenes, each drawn while the show
// time lies strictly inside its window. No transitions, no current scene.
#pragma once

#include <vector>

namespace quorvane_engine {

class Scene;

class Demo {
public:
    Demo(int width, int height);

    // Loads the show's resources and appends every scene to `scenes`.
    virtual void init() = 0;

    // Renders every scene whose window contains `time`, in list order.
    void render(double time);
    // Draws every scene whose window contains `time`, in list order, as its
    // state stands (Scene::draw); moves no state on.
    void draw(double time);
    // True when the window of `scene` contains `time` (both ends open).
    static bool contains(const Scene& scene, double time);

    int width;
    int height;
    std::vector<Scene*> scenes;
};

} // namespace quorvane_engine
