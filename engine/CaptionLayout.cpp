#include "CaptionLayout.h"

#include <algorithm>
#include <cmath>

namespace quorvane_engine {

namespace {

// The band behind each line: this much wider than the text on each side and
// taller above and below, in text heights.
constexpr double kBandSide = 0.42;
constexpr double kBandAbove = 0.12;
constexpr double kBandBelow = 0.14;
// The caption's lowest pixel this far above the bottom, in picture heights:
// two lines still end inside the lower fifth.
constexpr double kBottomMargin = 0.05;

int rounded(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

int CaptionLayout::textHeightFor(int height)
{
    return std::max(8, rounded(height / 18.0));
}

CaptionLayout CaptionLayout::place(
    const std::vector<int>& lineWidths, int ascent, int width, int height, const CueSettings& settings)
{
    CaptionLayout layout;
    if (width <= 0 || height <= 0)
        return layout;
    const int size = textHeightFor(height);
    const int side = rounded(size * kBandSide);
    const int above = rounded(size * kBandAbove);
    layout.textHeight = size;
    layout.bandHeight = above + size + rounded(size * kBandBelow);
    layout.baseline = above + ascent;

    const bool lined = settings.line != CueSettings::kAuto;
    const int bottom = lined ? height : height - rounded(height * kBottomMargin);
    const size_t fit = static_cast<size_t>(std::max(0, bottom / layout.bandHeight));
    const size_t count = std::min(lineWidths.size(), fit);
    int widest = 0;
    for (size_t l = 0; l < count; ++l)
        widest = std::max(widest, std::max(0, lineWidths[l]));
    layout.boxWidth = std::min(width, widest + 2 * side);
    layout.boxHeight = layout.bandHeight * static_cast<int>(count);

    // Across: the bands aligned in the settings' box, the whole moved in
    // where it would come nearer the picture's sides than the box keeps
    // (or leave the picture, when it is wider).
    double leftPercent = 0.0, rightPercent = 100.0;
    settings.across(leftPercent, rightPercent);
    const int regionLeft = rounded(width * leftPercent / 100.0);
    const int regionRight = width - rounded(width * (100.0 - rightPercent) / 100.0);
    const CueSettings::Align align = settings.align;
    layout.boxLeft = align == CueSettings::Align::left ? regionLeft
        : align == CueSettings::Align::right           ? regionRight - layout.boxWidth
                                                       : (regionLeft + regionRight - layout.boxWidth) / 2;
    const int margin = std::min(rounded(width * CueSettings::kSideMargin / 100.0), (width - layout.boxWidth) / 2);
    layout.boxLeft = std::max(margin, std::min(layout.boxLeft, width - layout.boxWidth - margin));

    // Down: the lowest band above the bottom margin, or the box's top,
    // middle or bottom at the line given, moved in where it would leave the
    // picture.
    if (lined) {
        const int at = rounded(height * settings.line / 100.0);
        const CueSettings::Anchor anchor = settings.lineAlign;
        layout.boxTop = anchor == CueSettings::Anchor::end ? at - layout.boxHeight
            : anchor == CueSettings::Anchor::center        ? at - layout.boxHeight / 2
                                                           : at;
        layout.boxTop = std::max(0, std::min(layout.boxTop, height - layout.boxHeight));
    } else {
        layout.boxTop = bottom - layout.boxHeight;
    }
    for (size_t l = 0; l < count; ++l) {
        const int lineWidth = std::max(0, lineWidths[l]);
        const int left = align == CueSettings::Align::left ? 0
            : align == CueSettings::Align::right           ? layout.boxWidth - lineWidth - 2 * side
                                                           : (layout.boxWidth - lineWidth) / 2 - side;
        layout.lines.push_back({layout.bandHeight * static_cast<int>(l), left + side, std::max(0, left),
            std::min(layout.boxWidth, left + lineWidth + 2 * side)});
    }
    return layout;
}

std::vector<float> CaptionLayout::quads() const
{
    std::vector<float> vertices;
    vertices.reserve(lines.size() * 24);
    const float boxW = static_cast<float>(boxWidth);
    const float boxH = static_cast<float>(boxHeight);
    for (const Line& line : lines) {
        const float s0 = static_cast<float>(line.bandLeft) / boxW;
        const float s1 = static_cast<float>(line.bandRight) / boxW;
        const float t0 = static_cast<float>(line.top) / boxH;
        const float t1 = static_cast<float>(line.top + bandHeight) / boxH;
        const float x0 = static_cast<float>(boxLeft + line.bandLeft);
        const float x1 = static_cast<float>(boxLeft + line.bandRight);
        const float y0 = static_cast<float>(boxTop + line.top);
        const float y1 = y0 + static_cast<float>(bandHeight);
        const float corners[24] = {x0, y0, s0, t0, x1, y0, s1, t0, x0, y1, s0, t1,
                                   x1, y0, s1, t0, x1, y1, s1, t1, x0, y1, s0, t1};
        vertices.insert(vertices.end(), corners, corners + 24);
    }
    return vertices;
}

} // namespace quorvane_engine
