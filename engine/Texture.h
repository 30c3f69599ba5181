// One image as a GL 2D texture: RGBA8, top row first, linear filtering,
// repeating in both directions. An image that does not load yields a valid
// texture name with no image (width and height 0) and a warning on stderr.
#pragma once

#include <GL/glew.h>

class Image;

class Texture {
public:
    // Decodes the image file at `path` and uploads it; leaves it bound to
    // GL_TEXTURE_2D on the active unit.
    explicit Texture(const char* path);
    // Uploads `image`, decoded beforehand from the file at `path`.
    Texture(const char* path, const Image& image);

    GLuint id;
    int width;
    int height;
};
