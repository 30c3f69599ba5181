// The rig as the sprite shader draws it: figures are drawn into a square
// target with one opaque part image at a time (every other part transparent)
// and measured where their colour runs.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "characters/Character.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"

namespace {

constexpr int kSize = 500;
constexpr double kPixel = 2.0 / kSize;

const Rgba kWhite{255, 255, 255, 255};
const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};
const Rgba kYellow{255, 255, 0, 255};

ShaderProgram* sprite()
{
    static ShaderProgram* program = loadRepositoryProgram("sprite");
    return program;
}

// A texture of `width` x `height` texels, top row first, sampled without
// filtering so that every texel keeps its colour up to its edges.
GLuint imageTexture(int width, int height, const std::vector<Rgba>& texels)
{
    std::vector<uint8_t> bytes;
    for (const Rgba& c : texels)
        bytes.insert(bytes.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b), uint8_t(c.a)});
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return id;
}

GLuint solid(Rgba c)
{
    return solidTexture(c.r, c.g, c.b, c.a);
}

// The part texture fields in drawing order.
std::array<GLuint*, Character::kPartCount> parts(Character& c)
{
    std::array<GLuint*, Character::kPartCount> fields{};
    for (int i = 0; i < Character::kPartCount; ++i)
        fields[i] = &(c.*Character::kParts[i].texture);
    return fields;
}

// A character whose parts are all transparent; tests colour the parts they
// look at (a texture of 0 would draw opaque black).
struct Figure : Character {
    Figure()
    {
        static const GLuint clear = solidTexture(0, 0, 0, 0);
        for (GLuint* part : parts(*this))
            *part = clear;
    }
};

// Clears a white square target, draws `figures` in order and reads it back.
std::vector<uint8_t> drawFigures(std::initializer_list<Character*> figures)
{
    Framebuffer target(kSize, kSize);
    setShowGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (Character* figure : figures)
        figure->draw(sprite(), UniformName::kSampler, UniformName::kMatrix);
    return target.readPixels();
}

Rgba at(const std::vector<uint8_t>& pixels, double x, double y)
{
    return pixelAtNdc(pixels, kSize, kSize, x, y);
}

struct Span {
    double from = 0, to = 0; // normalised device coordinates, from < to
    bool found = false;
};

// Where `colour` runs along the row at height y (left and right edges).
Span rowSpan(const std::vector<uint8_t>& pixels, double y, Rgba colour)
{
    Span span;
    const int row = static_cast<int>(std::floor((1.0 - y) * 0.5 * kSize));
    for (int x = 0; x < kSize; ++x) {
        if (!near(pixelAt(pixels, kSize, x, row), colour))
            continue;
        if (!span.found)
            span.from = -1.0 + x * kPixel;
        span.to = -1.0 + (x + 1) * kPixel;
        span.found = true;
    }
    return span;
}

// Where `colour` runs along the column at x (bottom and top edges).
Span columnSpan(const std::vector<uint8_t>& pixels, double x, Rgba colour)
{
    Span span;
    const int column = static_cast<int>(std::floor((x + 1.0) * 0.5 * kSize));
    for (int y = 0; y < kSize; ++y) {
        if (!near(pixelAt(pixels, kSize, column, y), colour))
            continue;
        if (!span.found)
            span.to = 1.0 - y * kPixel;
        span.from = 1.0 - (y + 1) * kPixel;
        span.found = true;
    }
    return span;
}

void expectSpan(const Span& span, double from, double to, const char* what)
{
    ASSERT_TRUE(span.found) << what;
    EXPECT_NEAR(span.from, from, kPixel) << what;
    EXPECT_NEAR(span.to, to, kPixel) << what;
}

GLint uniformInt(const char* name)
{
    GLint value = -1;
    glGetUniformiv(sprite()->id, glGetUniformLocation(sprite()->id, name), &value);
    return value;
}

GLfloat uniformFloat(const char* name)
{
    GLfloat value = -1;
    glGetUniformfv(sprite()->id, glGetUniformLocation(sprite()->id, name), &value);
    return value;
}

} // namespace

TEST(CharacterDraw, default_figure_is_centred_0_6644_wide_and_1_84_high)
{
    REQUIRE_GL();
    Figure figure;
    figure.bodyTexture = solid(kRed);
    const auto pixels = drawFigures({&figure});
    expectSpan(rowSpan(pixels, 0.0, kRed), -0.3322, 0.3322, "width");
    expectSpan(columnSpan(pixels, 0.0, kRed), -0.92, 0.92, "height");
    EXPECT_EQ(figure.depth, 0.11f);
    EXPECT_EQ(figure.mirrored, 0);
    EXPECT_EQ(figure.armsUp, 0);
}

TEST(CharacterDraw, scale_and_position_place_the_figure_and_scale_resets_the_position)
{
    REQUIRE_GL();
    const struct {
        const char* steps;
        std::function<void(Character&)> place;
        double x, y, halfWidth, halfHeight;
    } cases[] = {
        {"scale 0.4, position (0.47, -0.378)",
            [](Character& c) {
                c.setScale(0.4f);
                c.setPosition(0.47f, -0.378f);
            },
            0.47, -0.378, 0.13288, 0.368},
        {"position (0.47, -0.378), then scale 0.5",
            [](Character& c) {
                c.setPosition(0.47f, -0.378f);
                c.setScale(0.5f);
            },
            0.0, 0.0, 0.1661, 0.46},
        {"position (-0.5, 0.06) at scale 1", [](Character& c) { c.setPosition(-0.5f, 0.06f); }, -0.5, 0.06, 0.3322,
            0.92},
    };
    for (const auto& c : cases) {
        Figure figure;
        figure.bodyTexture = solid(kRed);
        c.place(figure);
        const auto pixels = drawFigures({&figure});
        expectSpan(rowSpan(pixels, c.y, kRed), c.x - c.halfWidth, c.x + c.halfWidth, c.steps);
        expectSpan(columnSpan(pixels, c.x, kRed), c.y - c.halfHeight, c.y + c.halfHeight, c.steps);
    }
}

TEST(CharacterDraw, mirrored_figure_reads_back_flipped_and_pupil_offset_is_unchanged)
{
    REQUIRE_GL();
    // Body red on its left half, green on its right; blue pupils moved half
    // a quad to the right, which uncovers the body's left quarter.
    for (bool mirrored : {false, true}) {
        Figure figure;
        figure.bodyTexture = imageTexture(2, 1, {kRed, kGreen});
        figure.pupilTexture = solid(kBlue);
        figure.setPupilOffset(0.5f, 0.0f);
        if (mirrored)
            figure.setMirrored();
        const auto pixels = drawFigures({&figure});
        EXPECT_TRUE(near(at(pixels, -0.25, 0.0), mirrored ? kGreen : kRed)) << mirrored << at(pixels, -0.25, 0.0);
        expectSpan(rowSpan(pixels, 0.0, kBlue), -0.1661, 0.4983, mirrored ? "mirrored pupils" : "pupils");
    }
}

TEST(CharacterDraw, rotations_add_up_until_the_next_scale_and_survive_set_position)
{
    REQUIRE_GL();
    const float eighth = static_cast<float>(std::acos(-1.0) / 4);
    const struct {
        const char* steps;
        std::function<void(Character&)> place;
        double x, y, scale;
        Rgba topLeft, topRight, bottomLeft, bottomRight;
    } cases[] = {
        {"no turn", [](Character&) {}, 0, 0, 1, kRed, kGreen, kBlue, kYellow},
        // A quarter turn counter-clockwise: the image's top-left lands at
        // the figure's bottom-left.
        {"two eighth turns",
            [&](Character& c) {
                c.rotate(eighth);
                c.rotate(eighth);
            },
            0, 0, 1, kGreen, kYellow, kRed, kBlue},
        {"two eighth turns, then position",
            [&](Character& c) {
                c.rotate(eighth);
                c.rotate(eighth);
                c.setPosition(0.3f, -0.2f);
            },
            0.3, -0.2, 1, kGreen, kYellow, kRed, kBlue},
        {"two eighth turns, then scale",
            [&](Character& c) {
                c.rotate(eighth);
                c.rotate(eighth);
                c.setScale(0.5f);
            },
            0, 0, 0.5, kRed, kGreen, kBlue, kYellow},
    };
    for (const auto& c : cases) {
        Figure figure;
        figure.bodyTexture = imageTexture(2, 2, {kRed, kGreen, kBlue, kYellow});
        c.place(figure);
        const auto pixels = drawFigures({&figure});
        const double dx = 0.1661 * c.scale, dy = 0.46 * c.scale;
        EXPECT_TRUE(near(at(pixels, c.x - dx, c.y + dy), c.topLeft)) << c.steps << " top left";
        EXPECT_TRUE(near(at(pixels, c.x + dx, c.y + dy), c.topRight)) << c.steps << " top right";
        EXPECT_TRUE(near(at(pixels, c.x - dx, c.y - dy), c.bottomLeft)) << c.steps << " bottom left";
        EXPECT_TRUE(near(at(pixels, c.x + dx, c.y - dy), c.bottomRight)) << c.steps << " bottom right";
    }
}

TEST(CharacterDraw, head_offset_moves_only_the_head_group_and_pupils_add_their_own)
{
    REQUIRE_GL();
    // At scale 0.5 a head offset of 0.05 is 0.023 on screen; the pupil
    // offset (0.1, 0.05) adds 0.01661 across and another 0.023 up.
    const struct {
        int part;
        const char* name;
        double top, left;
    } cases[] = {
        {0, "body", 0.46, -0.1661},
        {1, "arms", 0.46, -0.1661},
        {2, "legs", 0.46, -0.1661},
        {3, "head", 0.483, -0.1661},
        {4, "hair", 0.483, -0.1661},
        {5, "mouth", 0.483, -0.1661},
        {6, "eyes", 0.483, -0.1661},
        {7, "pupils", 0.506, -0.14949},
    };
    for (const auto& c : cases) {
        Figure figure;
        *parts(figure)[c.part] = solid(kRed);
        figure.setScale(0.5f);
        figure.setHeadOffset(0.05f);
        figure.setPupilOffset(0.1f, 0.05f);
        const auto pixels = drawFigures({&figure});
        const Span column = columnSpan(pixels, -0.1, kRed);
        const Span row = rowSpan(pixels, 0.0, kRed);
        ASSERT_TRUE(column.found && row.found) << c.name;
        EXPECT_NEAR(column.to, c.top, kPixel) << c.name;
        EXPECT_NEAR(row.from, c.left, kPixel) << c.name;
    }
}

TEST(CharacterDraw, each_part_is_drawn_at_its_depth_step)
{
    REQUIRE_GL();
    // A second figure's body drawn just nearer than a part hides it; drawn
    // just farther it stays behind.
    for (int part = 0; part < Character::kPartCount; ++part) {
        for (float margin : {-0.0005f, 0.0005f}) {
            Figure first;
            *parts(first)[part] = solid(kRed);
            Figure second;
            second.bodyTexture = solid(kBlue);
            second.setDepth(0.11f - Character::kParts[part].depthStep + margin);
            const auto pixels = drawFigures({&first, &second});
            EXPECT_TRUE(near(at(pixels, 0.0, 0.0), margin < 0 ? kBlue : kRed))
                << "part " << part << " margin " << margin << ": " << at(pixels, 0.0, 0.0);
        }
    }
}

TEST(CharacterDraw, nearer_figure_is_in_front_and_equal_depth_keeps_the_first)
{
    REQUIRE_GL();
    const struct {
        float first, second;
        Rgba expected;
    } cases[] = {
        {0.11f, 0.05f, kBlue}, // nearer and later
        {0.11f, 0.2f, kRed},   // farther and later
        {0.11f, 0.11f, kRed},  // same depth: the later one fails the less-than test
        {0.05f, 0.11f, kRed},  // nearer and earlier
    };
    for (const auto& c : cases) {
        Figure first, second;
        for (GLuint* part : parts(first))
            *part = solid(kRed);
        for (GLuint* part : parts(second))
            *part = solid(kBlue);
        first.setPosition(-0.1f, 0.0f);
        first.setDepth(c.first);
        second.setPosition(0.1f, 0.0f);
        second.setDepth(c.second);
        const auto pixels = drawFigures({&first, &second});
        EXPECT_TRUE(near(at(pixels, 0.0, 0.0), c.expected)) << c.first << " then " << c.second;
        EXPECT_TRUE(near(at(pixels, -0.4, 0.0), kRed));
        EXPECT_TRUE(near(at(pixels, 0.4, 0.0), kBlue));
    }
}

TEST(CharacterDraw, draw_leaves_up_0_and_the_figure_mirror_and_last_zscore)
{
    REQUIRE_GL();
    Figure raised;
    raised.setMirrored();
    raised.raiseArms();
    raised.setDepth(0.2f);
    drawFigures({&raised});
    EXPECT_EQ(uniformInt(UniformName::kArmsUp), 0);
    EXPECT_EQ(uniformInt(UniformName::kMirror), 1);
    EXPECT_EQ(uniformFloat(UniformName::kDepth), 0.2f - 0.008f);

    Figure plain;
    drawFigures({&plain});
    EXPECT_EQ(uniformInt(UniformName::kArmsUp), 0);
    EXPECT_EQ(uniformInt(UniformName::kMirror), 0);
    EXPECT_EQ(uniformFloat(UniformName::kDepth), 0.11f - 0.008f);
}

TEST(CharacterDraw, raised_arms_are_mirrored_about_the_shoulder_line)
{
    REQUIRE_GL();
    // Arms image in ten rows: nothing above the shoulder line (0.3 of the
    // way down), a blue row just below it, green down to the feet. Raised,
    // the image reflects about that line; the body stays as it is. The
    // figure drawn second, arms down, finds "up" back at 0.
    const Rgba none{0, 0, 0, 0};
    const GLuint arms = imageTexture(1, 10, {none, none, none, kBlue, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen});
    Figure raised, hanging;
    for (Figure* f : {&raised, &hanging}) {
        f->bodyTexture = solid(kRed);
        f->armsTexture = arms;
    }
    raised.raiseArms();
    raised.setPosition(-0.5f, 0.0f);
    hanging.setPosition(0.5f, 0.0f);
    const auto pixels = drawFigures({&raised, &hanging});

    const struct {
        double down; // texture row, 0 at the top of the figure
        Rgba raised, hanging;
    } cases[] = {
        {0.1, kGreen, kRed},
        {0.25, kBlue, kRed},
        {0.35, kRed, kBlue},
        {0.7, kRed, kGreen},
    };
    for (const auto& c : cases) {
        const double y = 0.92 - 1.84 * c.down;
        EXPECT_TRUE(near(at(pixels, -0.5, y), c.raised)) << "raised, " << c.down << ": " << at(pixels, -0.5, y);
        EXPECT_TRUE(near(at(pixels, 0.5, y), c.hanging)) << "hanging, " << c.down << ": " << at(pixels, 0.5, y);
    }
    EXPECT_TRUE(near(at(pixels, 0.0, 0.0), kWhite));
}
