// Labels drawn on the CPU: the rectangles of TextRects filled into an
// RgbImage, each font unit a `scale` x `scale` block. Printable ASCII only;
// anything else shows as '?'.
#pragma once

#include <cstdint>
#include <string>

#include "engine/TextRects.h"

class RgbImage;

class TextPainter {
public:
    // Height of one line of text in font units; the glyphs, descenders
    // included, fit inside it.
    static constexpr int kLineHeight = TextRects::kLineHeight;

    // Width in pixels of `text` at `scale`.
    static int width(const std::string& text, int scale);

    // Draws `text` with its top-left corner at (x, y), clipped to `image`.
    static void draw(RgbImage& image, int x, int y, const std::string& text, int scale, uint8_t r, uint8_t g,
                     uint8_t b);

    // `text`, or as much of its start as fits `maxWidth` pixels followed by
    // "...".
    static std::string fit(const std::string& text, int scale, int maxWidth);
};
