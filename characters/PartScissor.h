// Where on the screen one part of a figure can show: the window rectangle
// outside which every fragment of the part's quad samples only transparent
// texels and is discarded by the sprite program. Drawing the part with the
// scissor test set to this rectangle skips those fragments without changing
// a single pixel: the quad, its interpolated texture coordinates, depth and
// blending stay exactly as they were. Pure arithmetic; no GL calls.
#pragma once

#include "engine/Image.h"

class Mat4;
class Texture;

class PartScissor {
public:
    // How the sprite program maps the quad onto the part's texture.
    struct Sampling {
        bool mirrored = false;    // "mirror": s becomes 1 - s
        bool raised = false;      // "up": t becomes 2 * shoulderLine - t
        double shoulderLine = -1; // the program's line; below 0 when unknown
    };

    // The rectangle for a texture of `width` x `height` texels with
    // `bounds`, drawn through `matrix` into `viewport` (x, y, width, height
    // as GL takes them), in `box` (the same form, inside the viewport).
    // False when the part cannot show at all.
    static bool find(const Image::Bounds& bounds, int width, int height, const Mat4& matrix, const Sampling& sampling,
                     const int viewport[4], int box[4]);

    // Most rectangles findBands gives, and the fewest pixel rows in one.
    static constexpr int kMaxBands = 8;
    static constexpr int kMinBandRows = 16;

    // The rectangle of find() for `texture`, cut into bands of whole pixel
    // rows, each only as wide as the texels of its rows need, when the part
    // is drawn upright (the matrix neither turns nor shears it) and the
    // bands save a quarter of the pixels; else that one rectangle. The
    // bands do not overlap, so drawing the part once through each draws
    // every pixel at most once. Writes `boxes` and returns how many; 0 when
    // the part cannot show.
    static int findBands(const Texture& texture, const Mat4& matrix, const Sampling& sampling, const int viewport[4],
                         int boxes[kMaxBands][4]);
};
