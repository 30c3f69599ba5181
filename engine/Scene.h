// One scene of the show: a window of show time and a way to draw itself.
//
// A scene whose picture depends on what happened in earlier frames (lip sync,
// twitches, particles, flags that stay set) keeps that state apart from its
// drawing: advance moves the state on, draw only draws, render does both, and
// rewind puts the state back to what construction left. A scene without such
// state only overrides render.
#pragma once

namespace quorvane_engine {

class Scene {
public:
    // Draws the scene at the absolute show time `time` (seconds), first moving
    // its state on to that time.
    virtual void render(double time) = 0;
    // Moves the scene's state on to show time `time` exactly as render would,
    // without touching GL. Scenes without state do nothing.
    virtual void advance(double) {}
    // Draws the scene at show time `time` as its state stands, leaving the
    // state as it is. Scenes without state draw with render.
    virtual void draw(double time) { render(time); }
    // Puts the scene's state back to what its constructor left; no resource
    // is touched. Scenes without state do nothing.
    virtual void rewind() {}

    double startTime = 0.0; // renders only at times strictly greater
    double endTime = 0.0;   // renders only at times strictly less
};

} // namespace quorvane_engine
