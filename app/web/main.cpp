// Web entry points: the page (quorvane-page.js) loads the data into the
// virtual file system, then calls these to build the show on a WebGL 2
// context and to draw each frame at the show time it takes from the audio
// clock. Everything runs on the page's one thread.

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ConfigLine.h"
#include "engine/CueList.h"
#include "engine/Gl.h"
#include "engine/ResourceManager.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "engine/SceneStepper.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
MyDemo* show = nullptr;
// Moves the scenes' state on a fixed grid of show time, so that a frame shows
// the same state whatever the frame rate, and a page started at a later time
// (or a dropped frame) shows what playing up to it would have.
quorvane_engine::SceneStepper* stepper = nullptr;
// The name of a shader program of the resource list that did not link, "" when
// all did.
std::string brokenShader;
// The captions as the desktop player reads them, and why they could not be
// read ("" when they could).
quorvane_engine::CueList cues;
std::string cueError;
std::string text;
// Each texture's image path, by texture name, as data/config.txt gives them.
std::unordered_map<std::string, std::string> imagePaths;
// The image paths each scene asked for while the show was built, by scene in
// story order (a scene asks for its textures while it is made, before it is
// added to the show).
std::vector<std::vector<std::string>> sceneImages;

void noteTextureAsked(const std::string& name)
{
    const auto path = imagePaths.find(name);
    if (!show || path == imagePaths.end())
        return;
    const size_t scene = show->scenes.size();
    if (sceneImages.size() <= scene)
        sceneImages.resize(scene + 1);
    std::vector<std::string>& images = sceneImages[scene];
    if (std::find(images.begin(), images.end(), path->second) == images.end())
        images.push_back(path->second);
}

void readImagePaths()
{
    imagePaths.clear();
    std::ifstream list(MyDemo::kConfigPath, std::ios::binary);
    for (const ConfigLine& line : ConfigLine::readList(list)) {
        if (line.kind == ConfigLine::Texture)
            imagePaths[line.name] = line.first;
    }
}

// The name of the first shader program (in name order) that did not link.
std::string firstUnlinkedShader(const ResourceManager& resources)
{
    std::string first;
    for (const auto& [name, program] : resources.shaders) {
        GLint linked = GL_FALSE;
        glGetProgramiv(program->id, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE && (first.empty() || name < first))
            first = name;
    }
    return first;
}

// Points the viewport at the whole drawing buffer, which the browser may
// make smaller than the canvas asked for (it caps its size).
void fitViewport(int& width, int& height)
{
    emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
    glViewport(0, 0, width, height);
}

// Builds the show on the current context from the files in data/: 0 on
// success, 2 when it cannot be built (reported on stderr), 3 when a shader
// program did not link (quorvane_broken_shader names it). A show built
// before, on a context since lost, is left behind: its GL objects went with
// that context.
int buildShow()
{
    int width = 0;
    int height = 0;
    fitViewport(width, height);
    stepper = nullptr;
    show = new MyDemo(width, height);
    readImagePaths();
    sceneImages.clear();
    ResourceManager::textureAsked = noteTextureAsked;
    try {
        show->init();
    } catch (const std::exception& error) {
        ResourceManager::textureAsked = nullptr;
        fprintf(stderr, "quorvane: %s: %s\n", MyDemo::kConfigPath, error.what());
        show = nullptr;
        return 2;
    }
    ResourceManager::textureAsked = nullptr;
    brokenShader = show->resources ? firstUnlinkedShader(*show->resources) : std::string();
    if (!brokenShader.empty())
        return 3;
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
// show cannot be built (reported on stderr), 3 when a shader program did not
// link (named by quorvane_broken_shader).
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

// The image paths scene `index` (story order) asked for while the show was
// built, one a line; "" past the last scene.
EMSCRIPTEN_KEEPALIVE const char* quorvane_scene_images(int index)
{
    text.clear();
    if (!show || index < 0 || index >= static_cast<int>(show->scenes.size()) ||
        index >= static_cast<int>(sceneImages.size()))
        return text.c_str();
    for (const std::string& path : sceneImages[index])
        text += path + "\n";
    return text.c_str();
}

// Loads the image file at `path`, which arrived after the show was built,
// into every texture data/config.txt makes of it: 0 done, 1 when it did not
// load (the texture keeps its picture; the reason is on stderr).
EMSCRIPTEN_KEEPALIVE int quorvane_image_arrived(const char* path)
{
    if (!show || !show->resources)
        return 1;
    int status = 0;
    for (const auto& [name, imagePath] : imagePaths) {
        const auto texture = show->resources->textures.find(name);
        std::string error;
        if (imagePath != path || texture == show->resources->textures.end())
            continue;
        if (!Texture::reload(texture->second, path, error)) {
            fprintf(stderr, "quorvane: %s: %s\n", path, error.c_str());
            status = 1;
        }
    }
    return status;
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

// The class name of scene `index` ("GraveyardScene"), "" past the last.
EMSCRIPTEN_KEEPALIVE const char* quorvane_scene_name(int index)
{
    text = show && index >= 0 && index < static_cast<int>(show->scenes.size())
        ? SceneLabel::className(*show->scenes[index]) : std::string();
    return text.c_str();
}

// The name of the shader program that did not link in the last build.
EMSCRIPTEN_KEEPALIVE const char* quorvane_broken_shader()
{
    return brokenShader.c_str();
}

// Reads the captions file with the desktop player's reader: the number of
// cues, or -1 when the file does not read (quorvane_cue_error tells why).
EMSCRIPTEN_KEEPALIVE int quorvane_load_cues()
{
    try {
        cues = quorvane_engine::CueList::load(ShowFiles::kCaptions);
        cueError.clear();
        return static_cast<int>(cues.cues.size());
    } catch (const quorvane_engine::CueError& error) {
        cues = {};
        cueError = error.what();
        return -1;
    }
}

EMSCRIPTEN_KEEPALIVE const char* quorvane_cue_error()
{
    return cueError.c_str();
}

// Cue `index` in the reader's order: its start, end and lines (joined by
// line feeds).
EMSCRIPTEN_KEEPALIVE double quorvane_cue_start(int index)
{
    return index >= 0 && index < static_cast<int>(cues.cues.size()) ? cues.cues[index].start : -1;
}

EMSCRIPTEN_KEEPALIVE double quorvane_cue_end(int index)
{
    return index >= 0 && index < static_cast<int>(cues.cues.size()) ? cues.cues[index].end : -1;
}

EMSCRIPTEN_KEEPALIVE const char* quorvane_cue_text(int index)
{
    text.clear();
    if (index < 0 || index >= static_cast<int>(cues.cues.size()))
        return text.c_str();
    const std::vector<std::string>& lines = cues.cues[index].lines;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? "\n" : "") + lines[i];
    return text.c_str();
}

// Where cue `index` stands, as JSON: {"settings": its WebVTT settings as
// the reader keeps them, "left" and "right": the box across the picture
// whose width its lines share (percent of the width), "line": percent of the
// height or null for the captions' own place, "lineAlign": which of the
// box's "start" (top), "center" or "end" stands there, "align": "left",
// "center" or "right"}.
EMSCRIPTEN_KEEPALIVE const char* quorvane_cue_place(int index)
{
    text.clear();
    if (index < 0 || index >= static_cast<int>(cues.cues.size()))
        return text.c_str();
    using quorvane_engine::CueSettings;
    const CueSettings& settings = cues.cues[index].settings;
    double left = 0.0, right = 0.0;
    settings.across(left, right);
    char line[32] = "null";
    if (settings.line != CueSettings::kAuto)
        std::snprintf(line, sizeof line, "%.17g", settings.line);
    const CueSettings::Anchor anchor = settings.lineAlign;
    const CueSettings::Align align = settings.align;
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "\"left\": %.17g, \"right\": %.17g, \"line\": %s", left, right, line);
    // The settings text holds no quote or backslash: only the settings read are written.
    text = "{\"settings\": \"" + settings.text() + "\", " + numbers + ", \"lineAlign\": \""
        + (anchor == CueSettings::Anchor::center ? "center" : anchor == CueSettings::Anchor::end ? "end" : "start")
        + "\", \"align\": \""
        + (align == CueSettings::Align::left ? "left" : align == CueSettings::Align::right ? "right" : "center")
        + "\"}";
    return text.c_str();
}

// The index of the cue shown at `time` (as the player chooses it where cues
// overlap), or -1.
EMSCRIPTEN_KEEPALIVE int quorvane_cue_at(double time)
{
    const quorvane_engine::Cue* cue = cues.at(time);
    return cue ? static_cast<int>(cue - cues.cues.data()) : -1;
}

} // extern "C"
