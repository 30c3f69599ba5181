// GL for tests: one hidden GL 4.1 core context per test binary, offscreen
// framebuffers and pixel read-back.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/Framebuffer.h"

struct Rgba {
    int r, g, b, a;
};

// Brings up the shared context on first use; a test that needs GL calls it
// first and is skipped with the reason when there is no GL 4.1 core context.
#define REQUIRE_GL()                                                                                                   \
    do {                                                                                                               \
        if (!glAvailable())                                                                                            \
            GTEST_SKIP() << glUnavailableReason();                                                                     \
    } while (0)

bool glAvailable();
const char* glUnavailableReason();

// The fixed GL state the show draws with (white clear colour, depth test,
// alpha blending, program point size).
void setShowGlState();

// Pixel (x, y) of RGBA rows `pixels`, `width` wide, row 0 at the top.
Rgba pixelAt(const std::vector<uint8_t>& pixels, int width, int x, int y);

// The pixel under the point (x, y) of normalised device coordinates.
Rgba pixelAtNdc(const std::vector<uint8_t>& pixels, int width, int height, double x, double y);

// True when every channel of `a` is within `tolerance` of `b`.
bool near(Rgba a, Rgba b, int tolerance = 2);

::std::ostream& operator<<(::std::ostream& out, const Rgba& c);
