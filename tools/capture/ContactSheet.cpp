#include "ContactSheet.h"

#include <algorithm>
#include <cmath>

#include "TextPainter.h"

namespace {

constexpr uint8_t kLabelInk = 232;  // label text, near white
constexpr int kWideTile = 320;      // tiles this wide get double-size labels

int labelScaleFor(int tileWidth)
{
    return tileWidth >= kWideTile ? 2 : 1;
}

int labelHeightFor(int scale)
{
    return (TextPainter::kLineHeight + 4) * scale;
}

int sheetWidth(int columns, int tileWidth)
{
    return columns * tileWidth + (columns + 1) * ContactSheet::kMargin;
}

int sheetHeight(int rows, int tileHeight, int labelHeight)
{
    return rows * (tileHeight + labelHeight) + (rows + 1) * ContactSheet::kMargin;
}

} // namespace

int ContactSheet::columnsFor(int tiles)
{
    if (tiles <= 4)
        return std::max(tiles, 1);
    return std::max(4, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(tiles)))));
}

int ContactSheet::defaultTileWidth(int frameWidth)
{
    return std::min(frameWidth, kDefaultTileWidth);
}

int ContactSheet::tileHeightFor(int tileWidth, int frameWidth, int frameHeight)
{
    const long long height = (static_cast<long long>(tileWidth) * frameHeight + frameWidth / 2) / frameWidth;
    return static_cast<int>(std::max(height, 1LL));
}

bool ContactSheet::fits(int tiles, int tileWidth, int tileHeight, std::string& error)
{
    const int columns = columnsFor(tiles);
    const int rows = (tiles + columns - 1) / columns;
    const long long width = static_cast<long long>(columns) * tileWidth + (columns + 1) * kMargin;
    const long long height =
        static_cast<long long>(rows) * (tileHeight + labelHeightFor(labelScaleFor(tileWidth))) + (rows + 1) * kMargin;
    if (width <= kMaxSide && height <= kMaxSide)
        return true;
    error = "a contact sheet of " + std::to_string(tiles) + " tiles of " + std::to_string(tileWidth) + "x" +
            std::to_string(tileHeight) + " would be " + std::to_string(width) + "x" + std::to_string(height) +
            " pixels, more than " + std::to_string(kMaxSide) + " a side; use fewer frames or --tile-width";
    return false;
}

ContactSheet::ContactSheet(int tiles, int tileWidth, int tileHeight)
    : tiles(tiles), columns(columnsFor(tiles)), rows((tiles + columns - 1) / columns), tileWidth(tileWidth),
      tileHeight(tileHeight), labelScale(labelScaleFor(tileWidth)), labelHeight(labelHeightFor(labelScale)),
      image(sheetWidth(columns, tileWidth), sheetHeight(rows, tileHeight, labelHeight), kGround, kGround, kGround)
{
}

int ContactSheet::pictureX(int index) const
{
    return kMargin + (index % columns) * (tileWidth + kMargin);
}

int ContactSheet::pictureY(int index) const
{
    return kMargin + (index / columns) * (tileHeight + labelHeight + kMargin);
}

int ContactSheet::labelY(int index) const
{
    return pictureY(index) + tileHeight;
}

void ContactSheet::place(int index, const RgbImage& frame, const std::string& label)
{
    image.blit(frame.scaled(tileWidth, tileHeight), pictureX(index), pictureY(index));
    drawLabel(image, pictureX(index), labelY(index), label);
}

void ContactSheet::drawLabel(RgbImage& target, int x, int y, const std::string& label) const
{
    const int inset = 2 * labelScale;
    const std::string text = TextPainter::fit(label, labelScale, tileWidth - inset);
    TextPainter::draw(target, x + inset / 2, y + inset, text, labelScale, kLabelInk, kLabelInk, kLabelInk);
}
