// The caption painter's font: found through fontconfig wherever it is
// installed; without it the painter says what it looked for and draws
// nothing, so the player and the capture tool go on without captions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "GlTest.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"
#include "support/TestFiles.h"

TEST(CaptionPainter, without_its_font_says_which_file_it_tried_and_draws_nothing)
{
    REQUIRE_GL();
    Framebuffer target(64, 36);
    target.bind();
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    quorvane_engine::CaptionPainter painter("/nonexistent/DejaVuSans.ttf");
    EXPECT_FALSE(painter.ok());
    EXPECT_NE(painter.error().find("/nonexistent/DejaVuSans.ttf"), std::string::npos) << painter.error();
    const quorvane_engine::Cue cue{0.0, 1.0, {"Hello"}};
    painter.draw(&cue, 64, 36);
    std::vector<uint8_t> pixels;
    target.readPixels(pixels);
    EXPECT_TRUE(near(pixelAt(pixels, 64, 32, 30), Rgba{51, 102, 153, 255}, 1)) << pixelAt(pixels, 64, 32, 30);
}

namespace {

// Points fontconfig at a configuration of the fonts in `folder` alone for
// as long as it lives.
class FontFolder {
public:
    explicit FontFolder(const TempDir& dir)
        : config(dir.path("fonts.conf"))
    {
        writeFile(config,
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n<dir>"
                + dir.path("fonts") + "</dir>\n<cachedir>" + dir.path("cache") + "</cachedir>\n</fontconfig>\n");
        EXPECT_EQ(std::system(("mkdir -p " + dir.path("fonts")).c_str()), 0);
        const char* before = std::getenv("FONTCONFIG_FILE");
        had = before != nullptr;
        previous = before ? before : "";
        setenv("FONTCONFIG_FILE", config.c_str(), 1);
    }
    ~FontFolder()
    {
        if (had)
            setenv("FONTCONFIG_FILE", previous.c_str(), 1);
        else
            unsetenv("FONTCONFIG_FILE");
    }

private:
    std::string config;
    std::string previous;
    bool had = false;
};

} // namespace

TEST(CaptionPainter, finds_its_font_wherever_fontconfig_knows_it_and_names_the_families_when_none)
{
    REQUIRE_GL();
    const quorvane_engine::Cue cue{0.0, 1.0, {"Hello"}};
    const struct {
        const char* what;
        const char* font; // the file put in the folder, under a name of its own; nullptr: none
        bool found;
    } cases[] = {
        {"DejaVu Sans in a folder of its own", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", true},
        {"no font at all", nullptr, false},
        {"only another family", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const FontFolder folder(dir);
        if (c.font) {
            ASSERT_EQ(std::system(("mkdir -p " + dir.path("fonts") + " && cp " + c.font + " "
                          + dir.path("fonts/caption-face.ttf"))
                                      .c_str()),
                0);
        }
        Framebuffer target(320, 180);
        target.bind();
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        quorvane_engine::CaptionPainter painter;
        EXPECT_EQ(painter.ok(), c.found) << painter.error();
        painter.draw(&cue, 320, 180);
        std::vector<uint8_t> pixels;
        target.readPixels(pixels);
        int touched = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            touched += pixels[i + 2] != 255;
        EXPECT_EQ(touched > 0, c.found) << touched << " pixels drawn";
        if (!c.found) {
            EXPECT_NE(painter.error().find("fontconfig knows no font of the family \"DejaVu Sans\" or \"Noto Sans\""),
                std::string::npos)
                << painter.error();
        }
    }
}

TEST(CaptionPainter, draws_a_cue_where_its_settings_place_it_and_never_off_the_picture)
{
    REQUIRE_GL();
    constexpr int kWidth = 640;
    constexpr int kHeight = 360;
    const struct {
        const char* settings; // of the cue's timing line
        // Rows and columns of what is drawn, edges exclusive at the bottom and
        // right; -1: not checked.
        int top, bottom, middleY, left, right, middleX;
    } cases[] = {
        // Without settings: centred, the lowest band 5 % above the bottom.
        {"", -1, 342, -1, -1, -1, 320},
        {"line:10%", 36, -1, -1, -1, -1, 320},
        {"line:50%,center", -1, -1, 180, -1, -1, 320},
        {"line:75%,end", -1, 270, -1, -1, -1, 320},
        // Moved in from the edge it would cross.
        {"line:100%", -1, 360, -1, -1, -1, 320},
        {"line:0%,end", 0, -1, -1, -1, -1, 320},
        {"position:25%", -1, 342, -1, -1, -1, 160},
        {"position:30% line:90%,end", -1, 324, -1, -1, -1, 192},
        {"position:5%,line-left align:left", -1, -1, -1, 32, -1, -1},
        {"align:right position:90%", -1, -1, -1, -1, 576, -1},
        // Kept 2 % in from the sides.
        {"position:0%,center", -1, -1, -1, 13, -1, -1},
        {"position:100%,center", -1, -1, -1, -1, 627, -1},
        // Not honoured: the captions' own place.
        {"vertical:lr size:10% line:-1", -1, 342, -1, -1, -1, 320},
    };
    quorvane_engine::CaptionPainter painter;
    ASSERT_TRUE(painter.ok()) << painter.error();
    Framebuffer target(kWidth, kHeight);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const quorvane_engine::CueList cues = quorvane_engine::CueList::parse(
            std::string("WEBVTT\n\n00:01.000 --> 00:02.000 ") + c.settings + "\nHarlan: Look at the grave.\nNow.\n",
            "placed.vtt");
        target.bind();
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        painter.draw(cues.at(1.5), kWidth, kHeight);
        std::vector<uint8_t> pixels;
        target.readPixels(pixels);
        int top = kHeight, bottom = 0, left = kWidth, right = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (near(pixelAt(pixels, kWidth, x, y), Rgba{0, 0, 255, 255}, 0))
                    continue;
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
        ASSERT_LT(top, bottom) << "nothing drawn";
        // Two bands of 25 rows at this size, whatever the place.
        EXPECT_EQ(bottom - top, 50);
        if (c.top >= 0) {
            EXPECT_EQ(top, c.top);
        }
        if (c.bottom >= 0) {
            EXPECT_EQ(bottom, c.bottom);
        }
        if (c.middleY >= 0) {
            EXPECT_NEAR((top + bottom) / 2.0, c.middleY, 1.0);
        }
        if (c.left >= 0) {
            EXPECT_EQ(left, c.left);
        }
        if (c.right >= 0) {
            EXPECT_EQ(right, c.right);
        }
        if (c.middleX >= 0) {
            EXPECT_NEAR((left + right) / 2.0, c.middleX, 1.0);
        }
    }
}
