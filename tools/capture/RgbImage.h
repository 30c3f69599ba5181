// An 8-bit RGB picture in memory, rows top first, with the few operations
// the capture needs: fill, copy in, scale, and writing it as a PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RgbImage {
public:
    RgbImage() = default;
    // A picture of `width` x `height` filled with one colour.
    RgbImage(int width, int height, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0);

    // Takes RGBA rows (top first) of the same size, dropping alpha as the
    // screen does.
    void assignFromRgba(const std::vector<uint8_t>& rgba, int width, int height);

    // Fills the rectangle at (x, y) of `w` x `h`, clipped to the picture.
    void fillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b);
    // Copies `source` with its top-left corner at (x, y), clipped.
    void blit(const RgbImage& source, int x, int y);
    // This picture resampled to `w` x `h`.
    RgbImage scaled(int w, int h) const;

    // Writes an 8-bit RGB PNG; false when the file cannot be written.
    bool writePng(const std::string& path) const;

    const uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }

    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};
