// Text set in the small bitmap font of stb_easy_font, as filled rectangles in
// pixels: each font unit a `scale` x `scale` block. Whoever shows the text
// fills the rectangles (into an image on the CPU, or as GL quads). Printable
// ASCII only; anything else shows as '?'. Touches no GL.
#pragma once

#include <string>
#include <vector>

class TextRects {
public:
    // Height of one line of text in font units; the glyphs, descenders
    // included, fit inside it.
    static constexpr int kLineHeight = 12;

    struct Rect {
        int x, y, width, height;
    };

    // The rectangles of `text` at `scale`, its top-left corner at (x, y),
    // y growing downwards.
    static std::vector<Rect> layout(const std::string& text, int x, int y, int scale);
    // Width in pixels of `text` at `scale`.
    static int width(const std::string& text, int scale);
};
