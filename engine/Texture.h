// One image file as a GL 2D texture: RGBA8, top row first, linear filtering,
// repeating in both directions. An image that does not load yields a valid
// texture name with no image (width and height 0) and a warning on stderr.
#pragma once

#include <GL/glew.h>

class Texture {
public:
    // Largest image accepted, checked from the file's header before any
    // pixel is decoded, so a forged header cannot make us allocate gigabytes.
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 8192LL * 8192LL;

    // Decodes the image at `path` and uploads it; leaves it bound to
    // GL_TEXTURE_2D on the active unit.
    explicit Texture(const char* path);

    GLuint id;
    int width;
    int height;
};
