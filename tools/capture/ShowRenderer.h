// The show drawn into an offscreen framebuffer instead of a window: the
// same MyDemo, built and initialised as the shell builds it. Each frame
// brings the scenes' state to its time on the fixed grid of SceneStepper (as
// the player does after a seek), then draws it with Demo::draw; so a frame
// looks the same whether it is captured alone or in a run of frames. What the
// show leaves undrawn (a time at which no scene renders) stays as the
// previous frame left it, as on screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Framebuffer.h"
#include "engine/SceneStepper.h"

class MyDemo;
class RgbImage;

namespace quorvane_engine {
class CaptionPainter;
class CueList;
}

class ShowRenderer {
public:
    // One scene's place in the show.
    struct SceneWindow {
        std::string className;
        double startTime;
        double endTime;
    };

    // Needs a current GL 4.1 core context. Creates a `width` x `height`
    // framebuffer and the show (which sets its GL state), and clears the
    // framebuffer once with the show's clear colour. Throws
    // std::runtime_error when the framebuffer cannot be made.
    ShowRenderer(int width, int height);

    // Runs the show's init, which reads data/config.txt from the working
    // directory and builds the scenes; lets its exceptions (such as
    // std::out_of_range for a missing resource) through. Call once, first.
    void init();

    // Draws the show at `time` and reads the result back into `frame` (RGB,
    // top row first). Times may come in any order.
    void render(double time, RgbImage& frame);

    // Draws the cue of each frame's time of `cues` over it with `painter`
    // from now on; both must live as long as frames are rendered.
    void setCaptions(const quorvane_engine::CueList* cues, quorvane_engine::CaptionPainter* painter);

    // The scenes of the show, in list order.
    std::vector<SceneWindow> sceneWindows() const;
    // Class names of the scenes that draw at `time`, in list order.
    std::vector<std::string> scenesAt(double time) const;

private:
    std::unique_ptr<Framebuffer> framebuffer;
    MyDemo* show; // lives until the process ends, as in the show itself
    std::unique_ptr<quorvane_engine::SceneStepper> stepper;
    std::vector<uint8_t> rgba;
    const quorvane_engine::CueList* captionCues = nullptr;
    quorvane_engine::CaptionPainter* captionPainter = nullptr;
};
