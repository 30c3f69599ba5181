#include "Texture.h"

#include <cstdio>
#include <new>
#include <unordered_map>

namespace {

// Every texture made here, by GL name. Only the GL thread touches it.
std::unordered_map<GLuint, Texture>& made()
{
    static std::unordered_map<GLuint, Texture> textures;
    return textures;
}

// The largest texture side the current context's driver takes.
int maxTextureSide()
{
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    return maxSide;
}

} // namespace

Texture::Texture(const char* path)
    : Texture(path, Image::load(path))
{
}

Texture::Texture(const char* path, const Image& image)
    : id(0)
    , width(image.width)
    , height(image.height)
    , bounds(image.bounds)
    , opaque(image.opaque)
    , rows(image.rows)
{
    glGenTextures(1, &id);
    std::string error = image.error;
    if (image.ok())
        error = refusal(width, height, maxTextureSide());
    const bool usable = error.empty();
    if (!usable) {
        fprintf(stderr, "warning: image %s: %s\n", path, error.c_str());
        width = 0;
        height = 0;
        bounds = Image::Bounds{};
        opaque = false;
        rows.clear();
    }

    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // RGBA rows are a multiple of four bytes, so the default unpack
    // alignment never skews an odd width.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 usable ? image.pixels.get() : nullptr);
    made().insert_or_assign(id, *this);
}

const Texture* Texture::find(GLuint id)
{
    const auto entry = made().find(id);
    return entry == made().end() ? nullptr : &entry->second;
}

std::string Texture::refusal(int width, int height, int maxSide)
{
    if (width <= maxSide && height <= maxSide)
        return "";
    return std::to_string(width) + "x" + std::to_string(height) + " is larger than the " +
           std::to_string(maxSide) + " pixels a side this GL driver takes for a texture";
}

bool Texture::reload(GLuint id, const char* path, std::string& error)
{
    Image image;
    try {
        image = Image::load(path);
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
    error = image.ok() ? refusal(image.width, image.height, maxTextureSide()) : image.error;
    if (!error.empty())
        return false;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.get());
    // What find() tells follows the new picture.
    const auto entry = made().find(id);
    if (entry != made().end()) {
        Texture& texture = entry->second;
        texture.width = image.width;
        texture.height = image.height;
        texture.bounds = image.bounds;
        texture.opaque = image.opaque;
        texture.rows = image.rows;
    }
    return true;
}
