// One image as a GL 2D texture: RGBA8, top row first, linear filtering,
// repeating in both directions. An image that does not load, or is larger
// than the driver takes, yields a valid texture name with no image (width
// and height 0, empty bounds) and a warning on stderr.
//
// Each texture made here is remembered by its GL name with where its picture
// can show (its bounds) and whether it is opaque, so that drawing code that
// holds only GL names can draw less; textures made elsewhere are unknown.
#pragma once

#include "Gl.h"

#include <string>
#include <vector>

#include "Image.h"

class Texture {
public:
    // Decodes the image file at `path` and uploads it; leaves it bound to
    // GL_TEXTURE_2D on the active unit.
    explicit Texture(const char* path);
    // Uploads `image`, decoded beforehand from the file at `path`.
    Texture(const char* path, const Image& image);

    // Decodes the image file at `path` again and uploads it into the existing
    // texture `id`, whose name and settings stay, with what find() tells of
    // it. When the image does not load (memory running out included), or is
    // larger than the driver takes, the texture keeps its picture and
    // `error` says why.
    static bool reload(GLuint id, const char* path, std::string& error);

    // The texture this class made with GL name `id` in this process, or null
    // (another texture, or 0). The pointer stays valid.
    static const Texture* find(GLuint id);

    // Why an image of `width` x `height` cannot be uploaded to a driver whose
    // largest texture side is `maxSide`; empty when it can.
    static std::string refusal(int width, int height, int maxSide);

    GLuint id;
    int width;
    int height;
    // Where sampling the texture can give anything but transparent black
    // (see Image::findBounds); empty for an image that did not load.
    Image::Bounds bounds;
    // Every texel has alpha 255, so drawing it with blending changes nothing.
    bool opaque;
    // The texels with alpha in each row, top row first (Image::rows); none
    // for an image that did not load.
    std::vector<Image::Span> rows;
};
