// The makers' overlay: a few lines of text in the top-left corner over the
// frame, white on a dark translucent box, set in the font of TextRects. It
// brings its own small GL program (sources in the code, not in the resource
// list) and vertex buffer, blends its box over the frame, and leaves the GL
// state as it found it (SavedGlState).
// The text grows with the window so that it stays legible from 640x360 to
// 1080p and beyond.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

class Overlay {
public:
    // Builds the program and buffers; needs the GL context. Throws
    // std::runtime_error when the program does not build.
    Overlay();

    // Size of a font unit in pixels for a viewport `height` pixels high.
    static int scaleFor(int height);

    // Draws `lines` over a viewport of `width` x `height` pixels.
    void draw(const std::vector<std::string>& lines, int width, int height);

private:
    GLuint program = 0;
    GLuint vao = 0;
    GLuint vbo = 0;
    GLint viewportUniform = -1;
    GLint colourUniform = -1;
    std::vector<float> vertices; // two floats per vertex, six per rectangle
};
