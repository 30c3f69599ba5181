// One image as a GL 2D texture: RGBA8, top row first, linear filtering,
// repeating in both directions. An image that does not load yields a valid
// texture name with no image (width and height 0) and a warning on stderr.
#pragma once

#include <GL/glew.h>

#include <string>

class Image;

class Texture {
public:
    // Decodes the image file at `path` and uploads it; leaves it bound to
    // GL_TEXTURE_2D on the active unit.
    explicit Texture(const char* path);
    // Uploads `image`, decoded beforehand from the file at `path`.
    Texture(const char* path, const Image& image);

    // Decodes the image file at `path` again and uploads it into the existing
    // texture `id`, whose name and settings stay. When the image does not
    // load, the texture keeps its picture and `error` says why.
    static bool reload(GLuint id, const char* path, std::string& error);

    GLuint id;
    int width;
    int height;
};
