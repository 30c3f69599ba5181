// Where a caption's lines go, without GL or a font: the lines' widths in,
// bands and a box no larger than the picture out.
#include <gtest/gtest.h>

#include <vector>

#include "engine/CaptionLayout.h"

using quorvane_engine::CaptionLayout;

TEST(CaptionLayout, two_lines_sit_centred_in_the_lower_fifth_at_every_size)
{
    const struct {
        int width, height;
    } pictures[] = {{640, 360}, {1280, 720}, {1920, 1080}, {3840, 2160}, {400, 225}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(std::to_string(picture.width) + "x" + std::to_string(picture.height));
        const int text = CaptionLayout::textHeightFor(picture.height);
        const CaptionLayout layout = CaptionLayout::place({10 * text, 6 * text}, text * 3 / 4, picture.width,
            picture.height);
        ASSERT_EQ(layout.lines.size(), 2u);
        EXPECT_EQ(layout.textHeight, text);
        EXPECT_GE(layout.boxTop, picture.height * 4 / 5) << "above the lower fifth";
        EXPECT_LT(layout.boxTop + layout.boxHeight, picture.height) << "on the picture's bottom";
        EXPECT_EQ(layout.boxHeight, 2 * layout.bandHeight);
        EXPECT_NEAR(layout.boxLeft * 2 + layout.boxWidth, picture.width, 1) << "centred";
        // The wider line's band fills the box; the narrower one is centred in it.
        EXPECT_EQ(layout.lines[0].bandLeft, 0);
        EXPECT_EQ(layout.lines[0].bandRight, layout.boxWidth);
        EXPECT_NEAR(layout.lines[1].bandLeft + layout.lines[1].bandRight, layout.boxWidth, 1);
        EXPECT_EQ(layout.lines[1].top, layout.bandHeight);
        EXPECT_GT(layout.baseline, text / 2);
        EXPECT_LT(layout.baseline, layout.bandHeight);
    }
}

TEST(CaptionLayout, the_box_never_outgrows_the_picture)
{
    const struct {
        const char* what;
        std::vector<int> widths;
        int width, height;
        size_t lines;
    } cases[] = {
        {"a line wider than the picture", {5000}, 640, 360, 1},
        {"a hundred lines", std::vector<int>(100, 200), 640, 360, 13},
        {"five thousand lines, a tiny picture", std::vector<int>(5000, 200), 16, 9, 0},
        {"no picture", {100}, 0, 0, 0},
        {"a negative width", {-5}, 640, 360, 1},
    };
    // Placed anywhere, even past an edge, the box stays on the picture.
    const char* const placements[] = {"", "line:100%", "line:0%,end", "line:50%,center",
        "position:0%,line-right align:right", "position:100%,line-left align:left", "position:50%,center"};
    for (const auto& c : cases) {
        for (const char* placement : placements) {
            SCOPED_TRACE(std::string(c.what) + ", " + placement);
            const quorvane_engine::CueSettings settings = quorvane_engine::CueSettings::read(placement);
            const CaptionLayout layout = CaptionLayout::place(c.widths, 10, c.width, c.height, settings);
            // A line given lets the lines use the bottom margin.
            EXPECT_EQ(layout.lines.size(), settings.line == settings.kAuto || c.lines != 13 ? c.lines : 14u);
            EXPECT_LE(layout.boxLeft + layout.boxWidth, c.width);
            EXPECT_LE(layout.boxTop + layout.boxHeight, c.height);
            EXPECT_LE(layout.boxWidth, c.width);
            EXPECT_LE(layout.boxHeight, c.height);
            EXPECT_GE(layout.boxLeft, 0);
            EXPECT_GE(layout.boxTop, 0);
            for (const CaptionLayout::Line& line : layout.lines) {
                EXPECT_GE(line.bandLeft, 0);
                EXPECT_LE(line.bandRight, layout.boxWidth);
                EXPECT_LE(line.top + layout.bandHeight, layout.boxHeight);
            }
        }
    }
}

TEST(CaptionLayout, each_band_is_one_quad_with_a_texel_to_a_pixel)
{
    const CaptionLayout layout = CaptionLayout::place({300, 120, 200}, 20, 1280, 720);
    const std::vector<float> quads = layout.quads();
    ASSERT_EQ(quads.size(), 3u * 6u * 4u);
    for (size_t l = 0; l < layout.lines.size(); ++l) {
        SCOPED_TRACE(l);
        const float* v = &quads[l * 24];
        const CaptionLayout::Line& line = layout.lines[l];
        // Corners in pixels: the band's place on the picture.
        EXPECT_EQ(v[0], static_cast<float>(layout.boxLeft + line.bandLeft));
        EXPECT_EQ(v[1], static_cast<float>(layout.boxTop + line.top));
        EXPECT_EQ(v[16], static_cast<float>(layout.boxLeft + line.bandRight));
        EXPECT_EQ(v[17], static_cast<float>(layout.boxTop + line.top + layout.bandHeight));
        // As many texels across and down as pixels.
        EXPECT_FLOAT_EQ((v[18] - v[2]) * layout.boxWidth, v[16] - v[0]);
        EXPECT_FLOAT_EQ((v[19] - v[3]) * layout.boxHeight, v[17] - v[1]);
    }
}
