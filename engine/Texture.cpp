#include "Texture.h"

#include <cstdio>

#include "Image.h"

Texture::Texture(const char* path)
    : Texture(path, Image::load(path))
{
}

Texture::Texture(const char* path, const Image& image)
    : id(0)
    , width(image.width)
    , height(image.height)
{
    glGenTextures(1, &id);
    if (!image.ok())
        fprintf(stderr, "warning: image %s: %s\n", path, image.error.c_str());

    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // RGBA rows are a multiple of four bytes, so the default unpack
    // alignment never skews an odd width.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.get());
}

bool Texture::reload(GLuint id, const char* path, std::string& error)
{
    const Image image = Image::load(path);
    if (!image.ok()) {
        error = image.error;
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.get());
    return true;
}
