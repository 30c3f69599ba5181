#include "Texture.h"

#include <cstdio>

#include <stb_image.h>

namespace {

// Decodes `path` into RGBA rows unless its header is unreadable or claims a
// size beyond the limits; reports why on stderr when it gives nothing.
unsigned char* loadPixels(const char* path, int* width, int* height)
{
    int channels = 0;
    if (stbi_info(path, width, height, &channels)) {
        const long long pixels = static_cast<long long>(*width) * *height;
        if (*width > Texture::kMaxSide || *height > Texture::kMaxSide || pixels > Texture::kMaxPixels) {
            fprintf(stderr, "warning: image %s: %dx%d is larger than the limit of %dx%d or %lld pixels\n", path, *width,
                *height, Texture::kMaxSide, Texture::kMaxSide, Texture::kMaxPixels);
            *width = *height = 0;
            return nullptr;
        }
    }
    unsigned char* pixels = stbi_load(path, width, height, &channels, 4);
    if (!pixels) {
        fprintf(stderr, "warning: image %s: %s\n", path, stbi_failure_reason());
        *width = *height = 0;
    }
    return pixels;
}

} // namespace

Texture::Texture(const char* path)
    : id(0)
    , width(0)
    , height(0)
{
    glGenTextures(1, &id);
    unsigned char* pixels = loadPixels(path, &width, &height);

    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // RGBA rows are a multiple of four bytes, so the default unpack
    // alignment never skews an odd width.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    stbi_image_free(pixels);
}
