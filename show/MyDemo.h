// The show: sets the fixed GL state, loads every resource named by
// data/config.txt and builds the thirteen scenes in story order.
#pragma once

#include "engine/Demo.h"

class MyDemo : public quorvane_engine::Demo {
public:
    // The resource list, relative to the working directory.
    static constexpr const char* kConfigPath = "data/config.txt";

    // Sets the GL state the whole show draws with; needs a current context.
    MyDemo(int width, int height);

    // Loads data/config.txt and appends the scenes. Throws std::out_of_range
    // when the resource list lacks a name that a scene or character needs.
    void init() override;
};
