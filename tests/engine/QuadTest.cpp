#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlTest.h"
#include "TestFiles.h"
#include "TestShow.h"
#include "engine/Mat4.h"
#include "engine/Quad.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};
const Rgba kYellow{255, 255, 0, 255};

// An 8x8 image in four quadrants: red, green on the top; blue, yellow below.
GLuint quadrantTexture(TempDir& dir)
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const Rgba c = y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kYellow);
            pixels.insert(pixels.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
        }
    }
    writePng(dir.path("quadrants.png"), 8, 8, 3, pixels);
    return Texture(dir.path("quadrants.png").c_str()).id;
}

} // namespace

TEST(Quad, backdrop_covers_the_viewport_upright_whatever_its_shape)
{
    REQUIRE_GL();
    TempDir dir;
    ShaderProgram* backdrop = loadRepositoryProgram("default");
    const GLuint texture = quadrantTexture(dir);
    Quad quad;

    for (auto size : {std::pair<int, int>{80, 30}, {30, 80}, {64, 64}}) {
        Framebuffer target(size.first, size.second);
        setShowGlState();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        backdrop->use();
        backdrop->bindTexture(UniformName::kSampler, texture);
        quad.draw();
        const auto pixels = target.readPixels();
        // A texel in from each corner: linear filtering blends the outermost
        // texels with the repeat on the far side.
        const int w = size.first, h = size.second;
        const int left = w / 8, right = w - 1 - w / 8, top = h / 8, bottom = h - 1 - h / 8;
        EXPECT_TRUE(near(pixelAt(pixels, w, left, top), kRed)) << pixelAt(pixels, w, left, top);
        EXPECT_TRUE(near(pixelAt(pixels, w, right, top), kGreen)) << pixelAt(pixels, w, right, top);
        EXPECT_TRUE(near(pixelAt(pixels, w, left, bottom), kBlue)) << pixelAt(pixels, w, left, bottom);
        EXPECT_TRUE(near(pixelAt(pixels, w, right, bottom), kYellow)) << pixelAt(pixels, w, right, bottom);
    }
}

TEST(Quad, texture_coordinates_outside_the_image_repeat_it)
{
    REQUIRE_GL();
    TempDir dir;
    writeFile(dir.path("twice.frag"),
        "#version 410 core\nuniform sampler2D img;\nin vec2 uv;\nout vec4 colour;\n"
        "void main() { colour = texture(img, uv * 2.0); }\n");
    ShaderProgram* program = new ShaderProgram();
    program->addShader(dir.path("twice.frag").c_str(), GL_FRAGMENT_SHADER);
    program->addShader((sourceRoot() + "/data/default.vert").c_str(), GL_VERTEX_SHADER);
    program->link();
    const GLuint texture = quadrantTexture(dir);
    Quad quad;
    Framebuffer target(64, 64);
    setShowGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    program->use();
    program->bindTexture(UniformName::kSampler, texture);
    quad.draw();
    const auto pixels = target.readPixels();
    // The image appears twice across and twice down: red at the top-left of
    // every repeat.
    for (auto at : {std::pair<int, int>{4, 4}, {36, 4}, {4, 36}, {36, 36}})
        EXPECT_TRUE(near(pixelAt(pixels, 64, at.first, at.second), kRed)) << at.first << "," << at.second;
}

TEST(Quad, sprites_blend_by_alpha_and_transparent_texels_leave_the_backdrop)
{
    REQUIRE_GL();
    ShaderProgram* backdrop = loadRepositoryProgram("default");
    ShaderProgram* sprite = loadRepositoryProgram("sprite");
    const GLuint blue = solidTexture(0, 0, 255, 255);
    Quad quad;
    Mat4 identity;
    identity.setTranslation(0, 0, 0);

    const struct {
        int alpha;
        Rgba expected;
    } cases[] = {{255, {255, 0, 0, 255}}, {128, {128, 0, 127, 255}}, {0, {0, 0, 255, 255}}};
    for (const auto& c : cases) {
        Framebuffer target(16, 16);
        setShowGlState();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        backdrop->use();
        backdrop->bindTexture(UniformName::kSampler, blue);
        quad.draw();

        sprite->use();
        sprite->setInt(UniformName::kMirror, 0);
        sprite->setInt(UniformName::kArmsUp, 0);
        sprite->setFloat(UniformName::kDepth, 0.11f);
        sprite->bindTexture(UniformName::kSampler, solidTexture(255, 0, 0, c.alpha));
        sprite->setMatrix(UniformName::kMatrix, identity);
        Quad second; // another quad's own vertex array
        second.draw();
        const Rgba got = pixelAt(target.readPixels(), 16, 8, 8);
        EXPECT_TRUE(near(got, {c.expected.r, c.expected.g, c.expected.b, got.a}, 2))
            << "alpha " << c.alpha << ": " << got;
    }
}
