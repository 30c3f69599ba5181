#include "TextRects.h"

#include <cmath>

#include <stb_easy_font.h>

namespace {

// stb_easy_font indexes its tables by character; keep to what they cover.
std::vector<char> printable(const std::string& text)
{
    std::vector<char> result;
    for (char c : text)
        result.push_back(c >= 32 && c <= 126 ? c : '?');
    result.push_back('\0');
    return result;
}

// One vertex as stb_easy_font writes it: position, z, colour.
struct FontVertex {
    float x, y, z;
    unsigned char colour[4];
};

} // namespace

int TextRects::width(const std::string& text, int scale)
{
    std::vector<char> chars = printable(text);
    return stb_easy_font_width(chars.data()) * scale;
}

std::vector<TextRects::Rect> TextRects::layout(const std::string& text, int x, int y, int scale)
{
    std::vector<char> chars = printable(text);
    // At most a handful of rectangles per character; 40 is ample.
    std::vector<FontVertex> vertices(chars.size() * 40 * 4);
    const int quads = stb_easy_font_print(0.0f, 0.0f, chars.data(), nullptr, vertices.data(),
                                          static_cast<int>(vertices.size() * sizeof(FontVertex)));
    std::vector<Rect> rects;
    rects.reserve(quads);
    for (int q = 0; q < quads; ++q) {
        // Corners 0 and 2 of each quad are opposite.
        const FontVertex& first = vertices[q * 4];
        const FontVertex& opposite = vertices[q * 4 + 2];
        const int left = static_cast<int>(std::lround(first.x * scale));
        const int top = static_cast<int>(std::lround(first.y * scale));
        const int right = static_cast<int>(std::lround(opposite.x * scale));
        const int bottom = static_cast<int>(std::lround(opposite.y * scale));
        rects.push_back({x + left, y + top, right - left, bottom - top});
    }
    return rects;
}
