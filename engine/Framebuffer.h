// An offscreen colour (RGBA8) and depth framebuffer of a given size, on the
// current GL context, with a read-back of what was drawn into it.
#pragma once

#include "Gl.h"

#include <cstdint>
#include <vector>

class Framebuffer {
public:
    // Creates the framebuffer, binds it and sets the viewport to cover it.
    Framebuffer(int width, int height);
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    // True when GL accepted the framebuffer as complete.
    bool complete() const;
    // Makes this the draw and read target with a viewport over all of it.
    void bind();
    // RGBA pixels, width * height * 4 bytes, top row first.
    std::vector<uint8_t> readPixels() const;
    // Same, into `out` (resized as needed), for callers that reuse a buffer.
    void readPixels(std::vector<uint8_t>& out) const;

    int width;
    int height;

private:
    GLuint fbo = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};
