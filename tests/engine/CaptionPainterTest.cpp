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
        writeFile(config, "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n<dir>"
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
