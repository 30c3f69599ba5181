// What loading leaves behind: the screen cleared to the show's clear colour
// and the shared random sequence advanced only by what the show itself
// draws while it is built (the blood spray's 60 particles, four each).
#include <gtest/gtest.h>

#include "TestShow.h"
#include "engine/Random.h"
#include "show/MyDemo.h"

TEST(StartUp, loading_leaves_a_clear_screen_and_the_random_sequence_where_the_show_left_it)
{
    REQUIRE_GL();
    TestShow show;
    resetRandom();
    for (int draw = 0; draw < 60 * 4; ++draw)
        randomInt();
    const int expected = randomInt();

    Framebuffer target(64, 36);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    resetRandom();
    MyDemo demo(64, 36);
    demo.init();

    EXPECT_EQ(randomInt(), expected);
    const auto pixels = target.readPixels();
    for (int y = 0; y < 36; y += 7) {
        for (int x = 0; x < 64; x += 9)
            ASSERT_TRUE(near(pixelAt(pixels, 64, x, y), {255, 255, 255, 255})) << x << "," << y;
    }
}
