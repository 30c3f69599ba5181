// One picture of many frames: a grid of tiles, each a frame scaled down with
// a label strip below it, on a dark ground. The layout is plain arithmetic
// on the tile count and size, so it can be checked without drawing.
#pragma once

#include <cstdint>
#include <string>

#include "RgbImage.h"

class ContactSheet {
public:
    static constexpr int kMaxTiles = 1000;
    static constexpr int kMinTileWidth = 32;
    static constexpr int kMaxTileWidth = 1920;
    static constexpr int kDefaultTileWidth = 480;
    // Largest sheet side in pixels.
    static constexpr int kMaxSide = 32768;
    // Space around and between tiles.
    static constexpr int kMargin = 8;
    // Grey level of the ground around tiles and under labels.
    static constexpr uint8_t kGround = 32;

    // Tiles per row: all in one row up to four, otherwise about as many
    // columns as rows, at least four.
    static int columnsFor(int tiles);
    // Tile width when none is asked for: the frame's own, at most 480.
    static int defaultTileWidth(int frameWidth);
    // Tile height keeping the frame's aspect, at least 1.
    static int tileHeightFor(int tileWidth, int frameWidth, int frameHeight);
    // False with the reason when the sheet would exceed kMaxSide.
    static bool fits(int tiles, int tileWidth, int tileHeight, std::string& error);

    // An empty sheet for `tiles` tiles of `tileWidth` x `tileHeight`.
    ContactSheet(int tiles, int tileWidth, int tileHeight);

    // Top-left corner of the picture of tile `index`.
    int pictureX(int index) const;
    int pictureY(int index) const;
    // Top of the label strip of tile `index` (right below its picture).
    int labelY(int index) const;

    // Scales `frame` into tile `index` and writes `label` under it.
    void place(int index, const RgbImage& frame, const std::string& label);

    // Draws `label` as it appears in a strip of this sheet into `target`
    // with the strip's top-left corner at (x, y).
    void drawLabel(RgbImage& target, int x, int y, const std::string& label) const;

    int tiles;
    int columns;
    int rows;
    int tileWidth;
    int tileHeight;
    int labelScale;  // font units to pixels
    int labelHeight; // height of the strip under each picture
    RgbImage image;
};
