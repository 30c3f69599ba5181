// One scene of the show: a window of show time and a way to draw itself.
#pragma once

namespace quorvane_engine {

class Scene {
public:
    // Draws the scene at the absolute show time `time` (seconds).
    virtual void render(double time) = 0;

    double startTime = 0.0; // renders only at times strictly greater
    double endTime = 0.0;   // renders only at times strictly less
};

} // namespace quorvane_engine
