// Web entry points: the page (quorvane-page.js) loads the data into the
// virtual file system, then calls these to build the show on a WebGL 2
// context and to draw each frame at the show time it takes from the audio
// clock. Everything runs on the page's one thread.

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <exception>

#include "engine/Gl.h"
#include "engine/Scene.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
MyDemo* show = nullptr;
// Moves the scenes' state on a fixed grid of show time, so that a frame shows
// the same state whatever the frame rate, and a page started at a later time
// (or a dropped frame) shows what playing up to it would have.
quorvane_engine::SceneStepper* stepper = nullptr;

// Points the viewport at the whole drawing buffer, which the browser may
// make smaller than the canvas asked for (it caps its size).
void fitViewport(int& width, int& height)
{
    emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
    glViewport(0, 0, width, height);
}

// Builds the show on the current context from the files in data/: 0 on
// success, 2 when it cannot be built (reported on stderr). A show built
// before, on a context since lost, is left behind: its GL objects went with
// that context.
int buildShow()
{
    int width = 0;
    int height = 0;
    fitViewport(width, height);
    stepper = nullptr;
    show = new MyDemo(width, height);
    try {
        show->init();
    } catch (const std::exception& error) {
        fprintf(stderr, "quorvane: %s: %s\n", MyDemo::kConfigPath, error.what());
        show = nullptr;
        return 2;
    }
    stepper = new quorvane_engine::SceneStepper(*show);
    return 0;
}

} // namespace

extern "C" {

// The music track's path, which the page fetches for Web Audio.
EMSCRIPTEN_KEEPALIVE const char* quorvane_music_path()
{
    return ShowFiles::kMusic;
}

// The captions' path (WebVTT), which the page shows as text.
EMSCRIPTEN_KEEPALIVE const char* quorvane_captions_path()
{
    return ShowFiles::kCaptions;
}

// Makes a WebGL 2 context on the canvas "#canvas" and builds the show from
// data/config.txt. `keepFrames` keeps each drawn frame readable after it is
// shown (for tests). Returns 0 on success, 1 without WebGL 2, 2 when the
// show cannot be built (reported on stderr).
EMSCRIPTEN_KEEPALIVE int quorvane_start(int keepFrames)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // An opaque canvas: blending writes alpha below 1, which the page must
    // not show through.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = keepFrames ? EM_TRUE : EM_FALSE;
    context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0)
        return 1;
    emscripten_webgl_make_context_current(context);
    return buildShow();
}

// Builds the show again after the browser restored a lost context: every
// GL resource is made anew from the files in data/. Returns as
// quorvane_start.
EMSCRIPTEN_KEEPALIVE int quorvane_rebuild()
{
    return context > 0 ? buildShow() : 1;
}

// Draws the frame at show time `time` seconds.
EMSCRIPTEN_KEEPALIVE void quorvane_frame(double time)
{
    if (!show || !stepper)
        return;
    stepper->moveTo(time);
    show->draw(time);
}

// Points the viewport at the whole drawing buffer after the canvas changed
// size.
EMSCRIPTEN_KEEPALIVE void quorvane_resize()
{
    int width = 0;
    int height = 0;
    if (context > 0)
        fitViewport(width, height);
}

// The window of scene `index` in story order, or -1 for both past the last
// scene.
EMSCRIPTEN_KEEPALIVE double quorvane_scene_start(int index)
{
    return show && index >= 0 && index < static_cast<int>(show->scenes.size()) ? show->scenes[index]->startTime : -1;
}

EMSCRIPTEN_KEEPALIVE double quorvane_scene_end(int index)
{
    return show && index >= 0 && index < static_cast<int>(show->scenes.size()) ? show->scenes[index]->endTime : -1;
}

} // extern "C"
