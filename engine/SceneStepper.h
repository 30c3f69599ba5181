// Keeps the state of the show's scenes on a fixed grid of show time, so that
// the state at a time is the same however that time was reached: by playing,
// by seeking forwards or backwards, or by one capture of that moment.
//
// A scene's state at show time t is what advancing it at its start time and
// then every `step` seconds up to t leaves, starting from its constructor's
// state with the shared random sequence at its start state. Playing forwards
// steps on from where the last call stopped; going back, or leaving a scene's
// window, rewinds it. Scenes overlapping in time would share the random
// sequence and so depend on each other; the show's scenes do not overlap.
// Touches no GL: drawing is left to Demo::draw.
#pragma once

#include <cstddef>
#include <vector>

namespace quorvane_engine {

class Demo;

class SceneStepper {
public:
    // The step of the grid, in seconds of show time: one frame at 60 Hz.
    static constexpr double kStep = 1.0 / 60.0;

    // Steps the scenes of `demo`, which must outlive the stepper.
    explicit SceneStepper(Demo& demo, double step = kStep);

    // Brings the state of every scene to show time `time` (see above).
    void moveTo(double time);
    // Rewinds every scene and forgets all steps, as after construction.
    void restart();

    // Steps on the grid of a scene starting at `start` that lie at or before
    // `time`: 0 before the start, 1 at the start itself.
    long stepsUntil(double start, double time) const;

private:
    Demo& demo;
    double step;
    std::vector<long> stepsDone; // per scene, in list order
};

} // namespace quorvane_engine
