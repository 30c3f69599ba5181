#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestFiles.h"
#include "engine/Texture.h"

namespace fs = std::filesystem;

namespace {

// The texture's level 0 as RGBA rows, first uploaded row first.
std::vector<uint8_t> contents(const Texture& texture)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(texture.width) * texture.height * 4);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

uint32_t crc32(const uint8_t* data, size_t size)
{
    uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xff));
}

// A PNG that is only a signature and a header claiming `width` x `height`.
std::string pngHeaderOnly(uint32_t width, uint32_t height)
{
    std::string chunk = "IHDR";
    putBigEndian(chunk, width);
    putBigEndian(chunk, height);
    chunk += std::string("\x08\x06\x00\x00\x00", 5); // 8-bit RGBA
    std::string png = "\x89PNG\r\n\x1a\n";
    putBigEndian(png, 13);
    png += chunk;
    putBigEndian(png, crc32(reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size()));
    return png;
}

std::string testdata()
{
    return sourceRoot() + "/../shared/testdata/png";
}

} // namespace

TEST(Texture, grey_rgb_and_rgba_images_arrive_as_rgba_top_row_first)
{
    REQUIRE_GL();
    TempDir dir;
    // Two rows: the top row darker than the bottom one.
    writePng(dir.path("grey.png"), 2, 2, 1, {10, 20, 200, 250});
    writePng(dir.path("rgb.png"), 1, 2, 3, {1, 2, 3, 4, 5, 6});
    writePng(dir.path("rgba.png"), 1, 1, 4, {9, 8, 7, 100});

    const Texture grey(dir.path("grey.png").c_str());
    EXPECT_EQ(grey.width, 2);
    EXPECT_EQ(grey.height, 2);
    EXPECT_EQ(contents(grey),
        (std::vector<uint8_t>{10, 10, 10, 255, 20, 20, 20, 255, 200, 200, 200, 255, 250, 250, 250, 255}));
    const Texture rgb(dir.path("rgb.png").c_str());
    EXPECT_EQ(contents(rgb), (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255})) << "opaque without alpha";
    const Texture rgba(dir.path("rgba.png").c_str());
    EXPECT_EQ(contents(rgba), (std::vector<uint8_t>{9, 8, 7, 100})) << "alpha is kept";

    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, rgba.id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &filter);
    EXPECT_EQ(filter, GL_REPEAT);
}

TEST(Texture, odd_widths_upload_without_skew)
{
    REQUIRE_GL();
    TempDir dir;
    for (int width : {1, 3, 33, 101}) {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels.push_back(static_cast<uint8_t>(x));
                pixels.push_back(static_cast<uint8_t>(y * 50));
                pixels.push_back(static_cast<uint8_t>(x + y));
            }
        }
        writePng(dir.path("odd.png"), width, 3, 3, pixels);
        const Texture texture(dir.path("odd.png").c_str());
        const auto uploaded = contents(texture);
        for (int i = 0, j = 0; i < width * 3; ++i, j += 4) {
            ASSERT_EQ(uploaded[j], pixels[3 * i]) << "width " << width << " pixel " << i;
            ASSERT_EQ(uploaded[j + 1], pixels[3 * i + 1]) << "width " << width << " pixel " << i;
            ASSERT_EQ(uploaded[j + 3], 255);
        }
    }
}

TEST(Texture, a_file_that_does_not_load_gives_an_empty_texture_and_a_warning)
{
    REQUIRE_GL();
    TempDir dir;
    writeFile(dir.path("truncated.png"), pngHeaderOnly(4, 4));
    writeFile(dir.path("text.png"), "this is not an image");
    writeFile(dir.path("empty.png"), "");
    for (const std::string name : {"missing.png", "truncated.png", "text.png", "empty.png"}) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const Texture texture(dir.path(name).c_str());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "standard output stays for shaders";
        EXPECT_NE(texture.id, 0u) << name;
        EXPECT_EQ(glIsTexture(texture.id), GL_TRUE) << name;
        EXPECT_EQ(texture.width, 0) << name;
        EXPECT_EQ(texture.height, 0) << name;
        EXPECT_NE(err.find(dir.path(name)), std::string::npos) << "names the file: " << err;
    }
}

TEST(Texture, a_header_claiming_enormous_dimensions_is_refused_before_decoding)
{
    REQUIRE_GL();
    TempDir dir;
    for (auto size : {std::pair<uint32_t, uint32_t>{100000, 100000}, {16385, 1}, {9000, 9000}, {1u << 24, 1u << 24}}) {
        writeFile(dir.path("huge.png"), pngHeaderOnly(size.first, size.second));
        testing::internal::CaptureStderr();
        const Texture texture(dir.path("huge.png").c_str());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(texture.width, 0);
        EXPECT_EQ(texture.height, 0);
        EXPECT_NE(err.find(dir.path("huge.png")), std::string::npos) << size.first << "x" << size.second << ": " << err;
    }
}

TEST(Texture, every_test_image_decodes_or_is_refused_without_harm)
{
    REQUIRE_GL();
    if (!fs::exists(testdata()))
        GTEST_SKIP() << "no test images at " << testdata();
    int decoded = 0;
    for (const char* folder : {"pngsuite", "pngsuite-interlaced", "badpal"}) {
        for (const auto& entry : fs::directory_iterator(testdata() + "/" + folder)) {
            if (entry.path().extension() != ".png")
                continue;
            const Texture texture(entry.path().c_str());
            EXPECT_GT(texture.width, 0) << entry.path();
            decoded += texture.width > 0;
        }
    }
    EXPECT_GT(decoded, 50);
    // Malformed files: refused, or decoded as far as the decoder trusts them;
    // either way a texture name and no crash.
    for (const auto& entry : fs::directory_iterator(testdata() + "/crashers")) {
        testing::internal::CaptureStderr();
        const Texture texture(entry.path().c_str());
        testing::internal::GetCapturedStderr();
        EXPECT_NE(texture.id, 0u) << entry.path();
        EXPECT_EQ(texture.width == 0, texture.height == 0) << entry.path();
    }
}

TEST(Image, bounds_hold_every_texel_with_alpha_and_a_texel_of_margin)
{
    struct Texel {
        int x, y, alpha;
    };
    struct Case {
        const char* what;
        int width, height;
        std::vector<Texel> texels; // the rest is transparent (with colour)
        Image::Bounds bounds;
        bool opaque;
    };
    const auto every = [](int width, int height, int alpha) {
        std::vector<Texel> texels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                texels.push_back({x, y, alpha});
        return texels;
    };
    const Case cases[] = {
        {"fully transparent", 7, 5, {}, {}, false},
        {"fully opaque", 7, 5, every(7, 5, 255), {0, 0, 7, 5}, true},
        {"alpha 254 everywhere", 3, 3, every(3, 3, 254), {0, 0, 3, 3}, false},
        {"transparent border round a block", 9, 7, {{3, 2, 255}, {5, 4, 255}, {4, 3, 255}}, {2, 1, 7, 6}, false},
        {"a faint texel counts", 9, 7, {{4, 3, 1}}, {3, 2, 6, 5}, false},
        {"odd size, one texel", 11, 3, {{5, 1, 255}}, {4, 0, 7, 3}, false},
        {"one texel off the corner", 9, 7, {{1, 1, 255}}, {0, 0, 3, 3}, false},
        {"top-left corner wraps to both far edges", 9, 7, {{0, 0, 255}}, {0, 0, 9, 7}, false},
        {"top-right corner", 9, 7, {{8, 0, 255}}, {0, 0, 9, 7}, false},
        {"bottom-left corner", 9, 7, {{0, 6, 255}}, {0, 0, 9, 7}, false},
        {"bottom-right corner", 9, 7, {{8, 6, 255}}, {0, 0, 9, 7}, false},
        {"left edge only: whole width, rows with margin", 9, 7, {{0, 3, 255}}, {0, 2, 9, 5}, false},
        {"bottom edge only: whole height", 9, 7, {{4, 6, 255}}, {3, 0, 6, 7}, false},
        {"one texel image", 1, 1, {{0, 0, 255}}, {0, 0, 1, 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> rgba(static_cast<size_t>(c.width) * c.height * 4, 0);
        for (size_t i = 0; i < rgba.size(); i += 4)
            rgba[i] = rgba[i + 1] = rgba[i + 2] = 200; // colour without alpha shows nothing
        for (const Texel& t : c.texels)
            rgba[(static_cast<size_t>(t.y) * c.width + t.x) * 4 + 3] = static_cast<unsigned char>(t.alpha);
        const Image::Bounds found = Image::findBounds(rgba.data(), c.width, c.height);
        EXPECT_TRUE(found == c.bounds) << found.x0 << "," << found.y0 << " to " << found.x1 << "," << found.y1;
        EXPECT_EQ(found.empty(), c.texels.empty());
        EXPECT_EQ(Image::allOpaque(rgba.data(), c.width, c.height), c.opaque);
    }
}

TEST(Texture, keeps_its_bounds_and_is_found_by_its_gl_name)
{
    REQUIRE_GL();
    TempDir dir;
    std::vector<uint8_t> pixels(5 * 4 * 4, 0);
    pixels[(2 * 5 + 3) * 4 + 3] = 255; // one texel at (3, 2)
    writePng(dir.path("dot.png"), 5, 4, 4, pixels);
    writeSolidPng(dir.path("opaque.png"), 3, 2, 10, 20, 30);
    const Texture dot(dir.path("dot.png").c_str());
    const Texture opaque(dir.path("opaque.png").c_str());
    testing::internal::CaptureStderr();
    const Texture missing(dir.path("missing.png").c_str());
    testing::internal::GetCapturedStderr();

    EXPECT_TRUE(dot.bounds == (Image::Bounds{2, 1, 5, 4}));
    EXPECT_FALSE(dot.opaque);
    EXPECT_TRUE(opaque.bounds == (Image::Bounds{0, 0, 3, 2}));
    EXPECT_TRUE(opaque.opaque);
    EXPECT_TRUE(missing.bounds.empty());
    EXPECT_FALSE(missing.opaque);
    for (const Texture* texture : {&dot, &opaque, &missing}) {
        const Texture* found = Texture::find(texture->id);
        ASSERT_NE(found, nullptr);
        EXPECT_TRUE(found->bounds == texture->bounds);
        EXPECT_EQ(found->width, texture->width);
    }
    GLuint other = 0;
    glGenTextures(1, &other);
    EXPECT_EQ(Texture::find(other), nullptr) << "a texture made elsewhere is unknown";
    EXPECT_EQ(Texture::find(0), nullptr);
}

TEST(Texture, an_image_larger_than_the_driver_takes_is_refused)
{
    EXPECT_EQ(Texture::refusal(16384, 1, 16384), "");
    EXPECT_EQ(Texture::refusal(1, 1, 1), "");
    EXPECT_EQ(Texture::refusal(16385, 1, 16384),
              "16385x1 is larger than the 16384 pixels a side this GL driver takes for a texture");
    EXPECT_NE(Texture::refusal(2, 4097, 4096), "");
}

TEST(Texture, a_reloaded_picture_brings_its_own_bounds)
{
    REQUIRE_GL();
    TempDir dir;
    std::vector<uint8_t> pixels(6 * 6 * 4, 0);
    pixels[(3 * 6 + 3) * 4 + 3] = 255;
    writePng(dir.path("part.png"), 6, 6, 4, pixels);
    const Texture texture(dir.path("part.png").c_str());
    EXPECT_TRUE(Texture::find(texture.id)->bounds == (Image::Bounds{2, 2, 5, 5}));

    writeSolidPng(dir.path("part.png"), 8, 4, 1, 2, 3);
    std::string error;
    ASSERT_TRUE(Texture::reload(texture.id, dir.path("part.png").c_str(), error)) << error;
    const Texture* reloaded = Texture::find(texture.id);
    EXPECT_TRUE(reloaded->bounds == (Image::Bounds{0, 0, 8, 4}));
    EXPECT_TRUE(reloaded->opaque);
    EXPECT_EQ(reloaded->width, 8);

    EXPECT_FALSE(Texture::reload(texture.id, dir.path("gone.png").c_str(), error));
    EXPECT_EQ(error, "can't fopen");
    EXPECT_TRUE(Texture::find(texture.id)->bounds == (Image::Bounds{0, 0, 8, 4})) << "a failed reload keeps all";
    EXPECT_EQ(reloaded->rows.size(), 4u);
}

TEST(Image, row_spans_run_from_the_first_to_past_the_last_texel_with_alpha)
{
    // 5x3: row 0 transparent, row 1 alpha at x 1 and 3 (a gap between),
    // row 2 alpha at the last texel only.
    std::vector<unsigned char> rgba(5 * 3 * 4, 0);
    for (const int texel : {5 + 1, 5 + 3, 10 + 4})
        rgba[texel * 4 + 3] = 9;
    const std::vector<Image::Span> rows = Image::findRowSpans(rgba.data(), 5, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].from, rows[0].to);
    EXPECT_EQ(rows[1].from, 1);
    EXPECT_EQ(rows[1].to, 4);
    EXPECT_EQ(rows[2].from, 4);
    EXPECT_EQ(rows[2].to, 5);
    EXPECT_TRUE(Image::boundsOf(rows, 5) == (Image::Bounds{0, 0, 5, 3})) << "the last column wraps to the first";
}
