// Where a caption's lines go on the picture, as arithmetic: the text height
// for a picture's height, one band per line behind its text, the bands
// stacked and centred with the lowest in the lower fifth, or where the cue's
// settings put them, always inside the picture. Whole pixels
// throughout, so that each texel of the caption's texture lands on one
// pixel. The glyphs and their widths are the font's business (the caller
// measures each line); drawing is the painter's. Touches no GL and no font.
#pragma once

#include <vector>

#include "CueSettings.h"

namespace quorvane_engine {

class CaptionLayout {
public:
    // One line of text and its band, in the box's pixels (y down from its top).
    struct Line {
        int top;       // the band's top row; the band is bandHeight rows
        int textLeft;  // where the pen starts
        int bandLeft;  // the band's columns [bandLeft, bandRight)
        int bandRight;
    };

    // Height in pixels of a line of text (ascender to descender) in a
    // picture `height` pixels high: 1/18 of it, at least 8.
    static int textHeightFor(int height);

    // Lays out lines `lineWidths` pixels wide (at the text height of a
    // `height`-pixel picture) whose ascender rises `ascent` pixels above the
    // baseline, over a `width` x `height` picture, where `settings` say:
    // the bands aligned in the box CueSettings::across() gives, their top,
    // middle or bottom at the line given. The box is never larger than the
    // picture and never leaves it: it is moved in from an edge it would
    // cross, lines wider than the picture are cut at its sides, and lines
    // beyond those that fit (above the bottom margin when no line is given)
    // are left out (the first ones stay).
    static CaptionLayout place(const std::vector<int>& lineWidths, int ascent, int width, int height,
        const CueSettings& settings = CueSettings());

    // The vertices of one quad a line (two triangles, six vertices), each
    // x, y in picture pixels (y down) and s, t in the box's texture.
    std::vector<float> quads() const;

    int textHeight = 0;
    int bandHeight = 0; // rows of one line's band
    int baseline = 0;   // rows from a band's top down to its text's baseline
    int boxLeft = 0;    // the box in the picture, y down
    int boxTop = 0;
    int boxWidth = 0;
    int boxHeight = 0;
    std::vector<Line> lines; // those that fit, first to last
};

} // namespace quorvane_engine
