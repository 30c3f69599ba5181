// The contact sheet's layout, the labels drawn on the CPU, and how scenes
// are named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContactSheet.h"
#include "RgbImage.h"
#include "TextPainter.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"

namespace {

// Ink of `colour` inside the rectangle, and nowhere else.
struct InkBox {
    int left, top, right, bottom; // bounds of the inked pixels; right and bottom exclusive
    int count;
};

InkBox inkOf(const RgbImage& image, uint8_t background)
{
    InkBox box{image.width, image.height, 0, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.pixel(x, y)[0] != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
                ++box.count;
            }
    return box;
}

} // namespace

// A scene class of the tests' own, to be named from its type.
class LanternScene : public quorvane_engine::Scene {
public:
    void render(double) override {}
};

namespace tests_own {
class NestedScene : public quorvane_engine::Scene {
public:
    void render(double) override {}
};
} // namespace tests_own

TEST(SceneLabel, names_a_scene_by_its_dynamic_class)
{
    LanternScene lantern;
    tests_own::NestedScene nested;
    const quorvane_engine::Scene& asBase = lantern;
    EXPECT_EQ(SceneLabel::className(asBase), "LanternScene");
    EXPECT_EQ(SceneLabel::className(nested), "tests_own::NestedScene");
    EXPECT_EQ(SceneLabel::demangle("not a mangled name!"), "not a mangled name!");
}

TEST(SceneLabel, reads_as_scenes_and_time)
{
    const struct {
        std::vector<std::string> scenes;
        double time;
        const char* text;
    } cases[] = {
        {{"IntroScene"}, 2.7085, "IntroScene 2.7085 s"},
        {{"StuffScene"}, 40.0, "StuffScene 40 s"},
        {{"A", "B"}, 1.25, "A + B 1.25 s"},
        {{}, 5.417, "no scene 5.417 s"},
        {{}, -1.5, "no scene -1.5 s"},
        {{}, 0.0, "no scene 0 s"},
        {{}, -0.0000001, "no scene 0 s"},
        {{"CemetryNightScene"}, 102.863071, "CemetryNightScene 102.863071 s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SceneLabel::text(c.scenes, c.time), c.text);
}

TEST(ContactSheet, tiles_fill_rows_left_to_right_with_margins)
{
    const struct {
        int tiles, columns;
    } grids[] = {{1, 1}, {3, 3}, {4, 4}, {5, 4}, {13, 4}, {16, 4}, {17, 5}, {100, 10}, {1000, 32}};
    for (const auto& g : grids)
        EXPECT_EQ(ContactSheet::columnsFor(g.tiles), g.columns) << g.tiles << " tiles";

    EXPECT_EQ(ContactSheet::defaultTileWidth(1920), 480);
    EXPECT_EQ(ContactSheet::defaultTileWidth(64), 64);
    EXPECT_EQ(ContactSheet::tileHeightFor(480, 1920, 1080), 270);
    EXPECT_EQ(ContactSheet::tileHeightFor(100, 1000, 1), 1) << "never zero";

    const ContactSheet sheet(13, 480, 270);
    const int margin = ContactSheet::kMargin;
    EXPECT_EQ(sheet.columns, 4);
    EXPECT_EQ(sheet.rows, 4);
    EXPECT_EQ(sheet.labelScale, 2) << "wide tiles get labels of double size";
    EXPECT_EQ(sheet.image.width, 4 * 480 + 5 * margin);
    EXPECT_EQ(sheet.image.height, 4 * (270 + sheet.labelHeight) + 5 * margin);
    EXPECT_EQ(sheet.pictureX(0), margin);
    EXPECT_EQ(sheet.pictureY(0), margin);
    EXPECT_EQ(sheet.pictureX(3), margin + 3 * (480 + margin));
    EXPECT_EQ(sheet.pictureX(4), margin) << "the fifth tile starts the second row";
    EXPECT_EQ(sheet.pictureY(4), 2 * margin + 270 + sheet.labelHeight);
    EXPECT_EQ(sheet.labelY(12), sheet.pictureY(12) + 270);
    EXPECT_EQ(sheet.labelY(12) + sheet.labelHeight + margin, sheet.image.height) << "the last row ends the sheet";
    EXPECT_GE(sheet.labelHeight, TextPainter::kLineHeight * sheet.labelScale);

    std::string error;
    EXPECT_TRUE(ContactSheet::fits(13, 480, 270, error));
    EXPECT_FALSE(ContactSheet::fits(1000, 1920, 1080, error));
    EXPECT_NE(error.find("more than 32768"), std::string::npos) << error;
}

TEST(ContactSheet, places_the_scaled_frame_and_its_label_in_the_tile)
{
    ContactSheet sheet(5, 100, 50);
    const RgbImage frame(400, 200, 200, 40, 10);
    sheet.place(4, frame, "PartyScene 240 s");

    // The frame, scaled to the tile, fills exactly the picture of tile 4.
    for (int y = 0; y < sheet.image.height; ++y)
        for (int x = 0; x < sheet.image.width; ++x) {
            const bool inside = x >= sheet.pictureX(4) && x < sheet.pictureX(4) + 100 &&
                                y >= sheet.pictureY(4) && y < sheet.pictureY(4) + 50;
            const uint8_t* p = sheet.image.pixel(x, y);
            if (inside)
                ASSERT_TRUE(p[0] == 200 && p[1] == 40 && p[2] == 10) << x << "," << y;
            else
                ASSERT_NE(p[1], 40) << "frame colour outside its tile at " << x << "," << y;
        }

    // The label is drawn in the strip below, exactly as drawLabel draws it.
    RgbImage strip(100, sheet.labelHeight, ContactSheet::kGround, ContactSheet::kGround, ContactSheet::kGround);
    sheet.drawLabel(strip, 0, 0, "PartyScene 240 s");
    EXPECT_GT(inkOf(strip, ContactSheet::kGround).count, 0);
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            ASSERT_EQ(strip.pixel(x, y)[0], sheet.image.pixel(sheet.pictureX(4) + x, sheet.labelY(4) + y)[0])
                << x << "," << y;
}

TEST(TextPainter, draws_text_inside_its_line_and_width)
{
    for (int scale : {1, 2, 3}) {
        const std::string text = "VeryrichOfficeScene 146.9 s";
        const int width = TextPainter::width(text, scale);
        RgbImage image(width + 20, TextPainter::kLineHeight * scale + 20, 0, 0, 0);
        TextPainter::draw(image, 10, 10, text, scale, 255, 255, 255);
        const InkBox ink = inkOf(image, 0);
        EXPECT_GT(ink.count, 0) << scale;
        EXPECT_GE(ink.left, 10) << scale;
        EXPECT_GE(ink.top, 10) << scale;
        EXPECT_LE(ink.right, 10 + width) << scale;
        EXPECT_LE(ink.bottom, 10 + TextPainter::kLineHeight * scale) << scale;
        EXPECT_GT(ink.right - ink.left, width * 9 / 10) << "the text spans its width at scale " << scale;
    }

    // Different text, different ink; clipped at the picture's edge.
    RgbImage a(80, 20, 0, 0, 0);
    RgbImage b(80, 20, 0, 0, 0);
    TextPainter::draw(a, 0, 0, "IntroScene", 1, 255, 255, 255);
    TextPainter::draw(b, 0, 0, "StuffScene", 1, 255, 255, 255);
    EXPECT_NE(a.pixels, b.pixels);
    RgbImage edge(10, 10, 0, 0, 0);
    TextPainter::draw(edge, -5, -5, "Wide text past the edges\x01\xff", 3, 255, 255, 255);
    EXPECT_GT(inkOf(edge, 0).count, 0);
}

TEST(TextPainter, long_labels_are_shortened_to_fit)
{
    const std::string label = "VeryrichOfficeScene 146.951442 s";
    EXPECT_EQ(TextPainter::fit(label, 1, 1000), label);
    const std::string shortened = TextPainter::fit(label, 2, 120);
    EXPECT_LE(TextPainter::width(shortened, 2), 120);
    EXPECT_EQ(shortened.substr(shortened.size() - 3), "...");
    EXPECT_EQ(shortened.substr(0, shortened.size() - 3), label.substr(0, shortened.size() - 3));
    EXPECT_EQ(TextPainter::fit(label, 2, 1), "");
}
