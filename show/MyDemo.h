// The show: sets the fixed GL state, loads every resource named by
// data/config.txt and builds the thirteen scenes in story order.
#pragma once

#include "ShowFiles.h"
#include "engine/Demo.h"

class PartyScene;
class ResourceManager;

class MyDemo : public quorvane_engine::Demo {
public:
    // The resource list, relative to the working directory.
    static constexpr const char* kConfigPath = ShowFiles::kConfig;

    // Sets the GL state the whole show draws with; needs a current context.
    MyDemo(int width, int height);

    // Loads data/config.txt and appends the scenes. Throws std::out_of_range
    // when the resource list lacks a name that a scene or character needs.
    void init() override;

    // What init loaded; null before it. Lives until the process ends.
    ResourceManager* resources = nullptr;

private:
    // Scale of the figure the warm-up draws: a few pixels.
    static constexpr float kWarmUpScale = 0.02f;
    // Lets the GL driver build, before the show starts, what it would
    // otherwise build in the first frame of each kind of drawing.
    void warmUp(ResourceManager* resources, PartyScene* party);
};
