// Figures drawn only where their part pictures can show (each part clipped
// to its texture's bounds) read back exactly as the same figures drawn with
// whole quads (the same pixels in textures whose bounds are unknown), in
// every way the show places a figure.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestFiles.h"
#include "TestShow.h"
#include "characters/Character.h"
#include "engine/Image.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace {

constexpr int kSize = 240;
// Part pictures of an odd size, a tenth of the show's figure frame.
constexpr int kWidth = 51;
constexpr int kHeight = 79;

ShaderProgram* sprite()
{
    static ShaderProgram* program = loadRepositoryProgram("sprite");
    return program;
}

// A part picture: transparent but for a block from (x0, y0) to (x1, y1)
// (inclusive) in `colour`, with a ring of half-transparent texels around
// it and a faint texel (alpha 1) at its top left. A slanted block loses a
// texel on the left with every row down, down to a third of its width, so
// that its rows differ in width as a figure's do.
std::vector<uint8_t> partPicture(int x0, int y0, int x1, int y1, Rgba colour, bool slanted = false)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    const auto put = [&](int x, int y, int alpha) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            return;
        uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
        p[0] = static_cast<uint8_t>(colour.r);
        p[1] = static_cast<uint8_t>(colour.g);
        p[2] = static_cast<uint8_t>(colour.b);
        p[3] = static_cast<uint8_t>(alpha);
    };
    for (int y = y0 - 1; y <= y1 + 1; ++y) {
        const int left = slanted ? std::min(x0 + std::max(y - y0, 0), x1 - (x1 - x0) / 3) : x0;
        for (int x = left - 1; x <= x1 + 1; ++x)
            put(x, y, (x < left || x > x1 || y < y0 || y > y1) ? 128 : colour.a);
    }
    put(x0 - 2, y0 - 2, 1);
    return rgba;
}

// The same pixels as a texture whose bounds nobody knows: drawn whole.
GLuint wholeTexture(const std::vector<uint8_t>& rgba)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kWidth, kHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return id;
}

// Eight parts in drawing order (body, arms, legs, head, hair, mouth, eyes,
// pupils), each once as a Texture (bounds known) and once whole. The arms
// hang below the shoulder line; the hair reaches the right and top edges
// (their texels wrap round to the other side); the eyes are empty.
struct Parts {
    std::array<GLuint, 8> bounded{};
    std::array<GLuint, 8> whole{};

    Parts()
    {
        const std::vector<uint8_t> pictures[8] = {
            partPicture(14, 24, 36, 50, {200, 40, 40, 255}, true), // body
            partPicture(2, 26, 48, 60, {40, 160, 40, 230}, true),  // arms
            partPicture(20, 50, 30, 77, {30, 30, 30, 255}),        // legs
            partPicture(12, 2, 40, 22, {230, 190, 150, 255}, true), // head
            partPicture(40, 0, 50, 9, {120, 60, 10, 255}),     // hair, at two edges
            partPicture(23, 17, 27, 18, {150, 0, 60, 255}),    // mouth
            std::vector<uint8_t>(static_cast<size_t>(kWidth) * kHeight * 4, 0), // eyes: nothing
            partPicture(22, 11, 22, 11, {0, 0, 120, 255}),     // pupils: one texel
        };
        TempDir dir;
        for (int i = 0; i < 8; ++i) {
            const std::string path = dir.path("part" + std::to_string(i) + ".png");
            writePng(path, kWidth, kHeight, 4, pictures[i]);
            bounded[i] = Texture(path.c_str()).id;
            whole[i] = wholeTexture(pictures[i]);
        }
    }
};

void dress(Character& figure, const std::array<GLuint, 8>& textures)
{
    GLuint* parts[8] = {&figure.bodyTexture, &figure.armsTexture, &figure.legsTexture, &figure.headTexture,
        &figure.hairTexture, &figure.mouthTexture, &figure.eyesTexture, &figure.pupilTexture};
    for (int i = 0; i < 8; ++i)
        *parts[i] = textures[i];
}

std::vector<uint8_t> draw(Character& figure)
{
    Framebuffer target(kSize, kSize);
    setShowGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    figure.draw(sprite(), "img", "pmatrix");
    return target.readPixels();
}

long differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    long count = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] || a[i + 3] != b[i + 3];
    return count;
}

long notWhite(const std::vector<uint8_t>& pixels)
{
    long count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        count += pixels[i] != 255 || pixels[i + 1] != 255 || pixels[i + 2] != 255;
    return count;
}

} // namespace

TEST(PartBoundsDraw, figures_clipped_to_their_bounds_read_back_as_whole_quads)
{
    REQUIRE_GL();
    static const Parts parts;
    const struct {
        const char* what;
        std::function<void(Character&)> place;
    } cases[] = {
        {"plain", [](Character&) {}},
        {"mirrored", [](Character& c) { c.setMirrored(); }},
        {"arms raised", [](Character& c) { c.raiseArms(); }},
        {"mirrored, arms raised", [](Character& c) { c.setMirrored(); c.raiseArms(); }},
        {"turned", [](Character& c) { c.setScale(0.6f); c.setPosition(0.1f, -0.2f); c.rotate(0.7f); }},
        {"lying, mirrored", [](Character& c) { c.setScale(0.5f); c.rotate(-1.5708f); c.setMirrored(); }},
        {"scaled unevenly", [](Character& c) { c.baseTransform.setScale(0.9, 0.35, 1.0); }},
        {"magnified (texels of several pixels)", [](Character& c) { c.setScale(3.0f); c.setPosition(0.0f, 0.6f); }},
        {"small and off the edge", [](Character& c) { c.setScale(0.3f); c.setPosition(0.95f, -0.9f); }},
        {"head dipped, pupils moved", [](Character& c) { c.setHeadOffset(-0.05f); c.setPupilOffset(0.03f, -0.02f); }},
        {"sub-pixel position", [](Character& c) { c.setScale(0.77f); c.setPosition(0.0031f, -0.0047f); }},
        {"small (texels smaller than pixels)", [](Character& c) { c.setScale(0.45f); c.setPosition(-0.4f, 0.3f); }},
        {"upside down (negative scale)", [](Character& c) { c.baseTransform.setScale(0.5, -0.8, 1.0); }},
        {"raised, mirrored, large", [](Character& c) { c.setScale(1.6f); c.raiseArms(); c.setMirrored(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Character bounded, whole;
        dress(bounded, parts.bounded);
        dress(whole, parts.whole);
        c.place(bounded);
        c.place(whole);
        const std::vector<uint8_t> expected = draw(whole);
        const std::vector<uint8_t> drawn = draw(bounded);
        EXPECT_GT(notWhite(expected), 200) << "the figure shows";
        EXPECT_EQ(differing(drawn, expected), 0);
    }
}

TEST(PartBoundsDraw, parts_with_nothing_to_show_draw_nothing)
{
    REQUIRE_GL();
    // A picture that does not load (an empty texture, which GL would sample
    // as opaque black) and a fully transparent one leave the frame white.
    TempDir dir;
    writePng(dir.path("clear.png"), 3, 3, 4, std::vector<uint8_t>(36, 0));
    testing::internal::CaptureStderr();
    const GLuint missing = Texture(dir.path("missing.png").c_str()).id;
    testing::internal::GetCapturedStderr();
    const GLuint clear = Texture(dir.path("clear.png").c_str()).id;
    for (GLuint texture : {missing, clear}) {
        Character figure;
        dress(figure, {texture, texture, texture, texture, texture, texture, texture, texture});
        EXPECT_EQ(notWhite(draw(figure)), 0) << (texture == missing ? "missing" : "transparent");
    }
}
