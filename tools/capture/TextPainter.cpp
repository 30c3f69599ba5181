#include "TextPainter.h"

#include "RgbImage.h"
#include "engine/TextRects.h"

int TextPainter::width(const std::string& text, int scale)
{
    return TextRects::width(text, scale);
}

void TextPainter::draw(RgbImage& image, int x, int y, const std::string& text, int scale, uint8_t r, uint8_t g,
                       uint8_t b)
{
    for (const TextRects::Rect& rect : TextRects::layout(text, x, y, scale))
        image.fillRect(rect.x, rect.y, rect.width, rect.height, r, g, b);
}

std::string TextPainter::fit(const std::string& text, int scale, int maxWidth)
{
    if (width(text, scale) <= maxWidth)
        return text;
    for (std::size_t keep = text.size(); keep > 0; --keep) {
        const std::string shortened = text.substr(0, keep - 1) + "...";
        if (width(shortened, scale) <= maxWidth)
            return shortened;
    }
    return "";
}
