// Without its font the caption painter says which files it tried and draws
// nothing, so the player and the capture tool go on without captions.
#include <gtest/gtest.h>

#include "GlTest.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"

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
