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
