#include "RgbImage.h"

#include <algorithm>

#include <stb_image_resize.h>
#include <stb_image_write.h>

RgbImage::RgbImage(int width, int height, uint8_t r, uint8_t g, uint8_t b)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height * 3)
{
    fillRect(0, 0, width, height, r, g, b);
}

void RgbImage::assignFromRgba(const std::vector<uint8_t>& rgba, int w, int h)
{
    width = w;
    height = h;
    const std::size_t count = static_cast<std::size_t>(w) * h;
    pixels.resize(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        pixels[i * 3] = rgba[i * 4];
        pixels[i * 3 + 1] = rgba[i * 4 + 1];
        pixels[i * 3 + 2] = rgba[i * 4 + 2];
    }
}

void RgbImage::fillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + w, width);
    const int y1 = std::min(y + h, height);
    for (int row = y0; row < y1; ++row) {
        uint8_t* p = &pixels[(static_cast<std::size_t>(row) * width + x0) * 3];
        for (int column = x0; column < x1; ++column) {
            *p++ = r;
            *p++ = g;
            *p++ = b;
        }
    }
}

void RgbImage::blit(const RgbImage& source, int x, int y)
{
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + source.width, width);
    if (x1 <= x0)
        return;
    for (int row = std::max(y, 0); row < std::min(y + source.height, height); ++row) {
        const uint8_t* from = source.pixel(x0 - x, row - y);
        std::copy(from, from + (x1 - x0) * 3, &pixels[(static_cast<std::size_t>(row) * width + x0) * 3]);
    }
}

RgbImage RgbImage::scaled(int w, int h) const
{
    RgbImage result(w, h);
    if (w == width && h == height)
        return *this;
    stbir_resize_uint8(pixels.data(), width, height, 0, result.pixels.data(), w, h, 0, 3);
    return result;
}

bool RgbImage::writePng(const std::string& path) const
{
    return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
}
