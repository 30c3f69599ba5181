#include "ShowRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "RgbImage.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "show/MyDemo.h"

namespace {

// Throws unless GL can hold a colour buffer of `width` x `height`.
void checkSize(int width, int height)
{
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int limitX = std::min(renderbuffer, viewport[0]);
    const int limitY = std::min(renderbuffer, viewport[1]);
    if (width > limitX || height > limitY)
        throw std::runtime_error("a framebuffer of " + std::to_string(width) + "x" + std::to_string(height)
            + " is larger than this OpenGL allows (" + std::to_string(limitX) + "x" + std::to_string(limitY) + ")");
}

} // namespace

ShowRenderer::ShowRenderer(int width, int height)
    : show(nullptr)
{
    checkSize(width, height);
    framebuffer = std::make_unique<Framebuffer>(width, height);
    if (!framebuffer->complete())
        throw std::runtime_error(
            "cannot create a " + std::to_string(width) + "x" + std::to_string(height) + " offscreen framebuffer");
    framebuffer->bind();
    show = new MyDemo(width, height);
    // The first frame at which no scene draws shows what a fresh screen
    // shows: the show's clear colour, which the constructor just set.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ShowRenderer::init()
{
    show->init();
    stepper = std::make_unique<quorvane_engine::SceneStepper>(*show);
}

void ShowRenderer::render(double time, RgbImage& frame)
{
    framebuffer->bind();
    stepper->moveTo(time);
    show->draw(time);
    if (captionCues)
        captionPainter->draw(captionCues->at(time), framebuffer->width, framebuffer->height);
#ifndef NDEBUG
    // Debug builds hold every frame to GL's error state: the show never
    // asks GL for it, so a fault in a draw would otherwise pass unseen.
    if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
        char text[80];
        std::snprintf(text, sizeof text, "OpenGL error 0x%04x in the frame at %.6f s", error, time);
        throw std::runtime_error(text);
    }
#endif
    framebuffer->readPixels(rgba);
    frame.assignFromRgba(rgba, framebuffer->width, framebuffer->height);
}

void ShowRenderer::setCaptions(const quorvane_engine::CueList* cues, quorvane_engine::CaptionPainter* painter)
{
    captionCues = cues;
    captionPainter = painter;
}

std::vector<ShowRenderer::SceneWindow> ShowRenderer::sceneWindows() const
{
    std::vector<SceneWindow> windows;
    for (const quorvane_engine::Scene* scene : show->scenes)
        windows.push_back({SceneLabel::className(*scene), scene->startTime, scene->endTime});
    return windows;
}

std::vector<std::string> ShowRenderer::scenesAt(double time) const
{
    std::vector<std::string> names;
    for (const quorvane_engine::Scene* scene : show->scenes)
        if (quorvane_engine::Demo::contains(*scene, time))
            names.push_back(SceneLabel::className(*scene));
    return names;
}
