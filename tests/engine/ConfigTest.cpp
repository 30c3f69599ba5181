#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestFiles.h"
#include "engine/ConfigLine.h"
#include "engine/ImageLoader.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

TEST(ConfigLine, fields_split_at_single_spaces_and_the_last_runs_to_the_end)
{
    const struct {
        const char* line;
        ConfigLine::Kind kind;
        const char* name;
        const char* first;
        const char* second;
    } cases[] = {
        {"Texture intro data/intro.png", ConfigLine::Texture, "intro", "data/intro.png", ""},
        {"Texture sky data/my sky.png", ConfigLine::Texture, "sky", "data/my sky.png", ""},
        {"Texture sky data/sky.png ", ConfigLine::Texture, "sky", "data/sky.png ", ""},
        {"Texture  data/x.png", ConfigLine::Texture, "", "data/x.png", ""},
        {"File  some text", ConfigLine::File, "", "some text", ""},
        {"File d data/a b.dialog", ConfigLine::File, "d", "data/a b.dialog", ""},
        {"File d ", ConfigLine::File, "d", "", ""},
        {"Shader sprite f.frag v.vert", ConfigLine::Shader, "sprite", "f.frag", "v.vert"},
        {"Shader sprite f.frag my v.vert", ConfigLine::Shader, "sprite", "f.frag", "my v.vert"},
        {"Shader s  v.vert", ConfigLine::Shader, "s", "", "v.vert"},
        {"texture intro data/intro.png", ConfigLine::Skipped, "", "", ""},
        {"TEXTURE intro data/intro.png", ConfigLine::Skipped, "", "", ""},
        {"Texture\tintro data/intro.png", ConfigLine::Skipped, "", "", ""},
        {" Texture intro data/intro.png", ConfigLine::Skipped, "", "", ""},
        {"# Texture intro data/intro.png", ConfigLine::Skipped, "", "", ""},
        {"", ConfigLine::Skipped, "", "", ""},
        {"Texture", ConfigLine::Incomplete, "", "", ""},
        {"Texture intro", ConfigLine::Incomplete, "", "", ""},
        {"Shader sprite f.frag", ConfigLine::Incomplete, "", "", ""},
        {"File name", ConfigLine::Incomplete, "", "", ""},
    };
    for (const auto& c : cases) {
        const ConfigLine parsed = ConfigLine::parse(c.line);
        EXPECT_EQ(parsed.kind, c.kind) << '"' << c.line << '"';
        if (parsed.kind == c.kind && c.kind != ConfigLine::Skipped && c.kind != ConfigLine::Incomplete) {
            EXPECT_EQ(parsed.name, c.name) << c.line;
            EXPECT_EQ(parsed.first, c.first) << c.line;
            EXPECT_EQ(parsed.second, c.second) << c.line;
        }
    }
    EXPECT_EQ(ConfigLine::parse(std::string("Texture a b\0c", 13)).kind, ConfigLine::HasNul);
    EXPECT_EQ(ConfigLine::parse(std::string(1 << 20, 'x')).kind, ConfigLine::Skipped);
    const ConfigLine longPath = ConfigLine::parse("File long " + std::string(1 << 20, 'p'));
    EXPECT_EQ(longPath.first.size(), 1u << 20);
}

TEST(ConfigLine, a_carriage_return_is_dropped_only_before_a_line_feed)
{
    const struct {
        const char* list;
        const char* text; // of the one File line
    } cases[] = {
        {"File a x\r\n", "x"},
        {"File a x\r", "x\r"},     // the last line, without a line feed
        {"File a x\r\r\n", "x\r"}, // only the one just before the line feed
        {"File a x\ry\n", "x\ry"},
        {"File a x\n\r", "x"}, // a last line of a lone carriage return is skipped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.list)));
        std::istringstream in(c.list);
        const std::vector<ConfigLine> lines = ConfigLine::readList(in);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].first, c.text);
    }
}

TEST(ResourceManager, file_entries_are_stored_exactly_and_lookups_never_insert)
{
    TempDir dir;
    writeFile(dir.path("config.txt"),
        "File a data/a.dialog\r\n"
        "File  empty name\n"
        "File a data/second.dialog\n"
        "file b data/b.dialog\n"
        "File spaced text with  two spaces \n"
        "File missing-is-fine data/does-not-exist.dialog");
    ResourceManager resources(dir.path("config.txt").c_str());

    EXPECT_EQ(resources.getFile("a"), "data/second.dialog") << "the later line replaces the earlier";
    EXPECT_EQ(resources.getFile(""), "empty name");
    EXPECT_EQ(resources.getFile("spaced"), "text with  two spaces ");
    EXPECT_EQ(resources.getFile("missing-is-fine"), "data/does-not-exist.dialog") << "not opened";
    EXPECT_THROW(resources.getFile("b"), std::out_of_range) << "keywords are case-sensitive";
    EXPECT_EQ(resources.files.size(), 4u);
    EXPECT_THROW(resources.getTexture("a"), std::out_of_range) << "name spaces are separate";
    EXPECT_THROW(resources.getShader("a"), std::out_of_range);
    EXPECT_EQ(resources.textures.size(), 0u) << "a failed lookup adds nothing";
}

TEST(ResourceManager, failed_lookup_message_names_the_kind_and_the_name)
{
    TempDir dir;
    writeFile(dir.path("config.txt"), "");
    ResourceManager resources(dir.path("config.txt").c_str());
    try {
        resources.getTexture("harlan_body");
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("texture"), std::string::npos) << message;
        EXPECT_NE(message.find("\"harlan_body\""), std::string::npos) << message;
    }
}

TEST(ResourceManager, unreadable_list_and_incomplete_lines_are_reported_on_stderr)
{
    TempDir dir;
    testing::internal::CaptureStderr();
    ResourceManager missing(dir.path("nothing.txt").c_str());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(dir.path("nothing.txt")), std::string::npos) << err;
    EXPECT_TRUE(missing.files.empty());

    writeFile(dir.path("config.txt"), "File ok text\nShader sprite only.frag\nTexture lonely\n");
    testing::internal::CaptureStderr();
    ResourceManager partial(dir.path("config.txt").c_str());
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("config.txt:2:"), std::string::npos) << err;
    EXPECT_NE(err.find("config.txt:3:"), std::string::npos) << err;
    EXPECT_EQ(partial.getFile("ok"), "text");
    EXPECT_TRUE(partial.shaders.empty());
    EXPECT_TRUE(partial.textures.empty());

    writeFile(dir.path("nul.txt"), std::string("File bad a\0b\nFile good c\n", 24));
    testing::internal::CaptureStderr();
    ResourceManager nul(dir.path("nul.txt").c_str());
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("nul.txt:1:"), std::string::npos) << err;
    EXPECT_THROW(nul.getFile("bad"), std::out_of_range);
    EXPECT_EQ(nul.getFile("good"), "c");
}

TEST(ResourceManager, textures_and_programs_load_from_paths_with_spaces_in_file_order)
{
    REQUIRE_GL();
    TempDir dir;
    writeSolidPng(dir.path("my picture.png"), 3, 2, 255, 0, 0);
    writeSolidPng(dir.path("second.png"), 5, 4, 0, 255, 0);
    writeFile(dir.path("vertex shader.vert"),
        "#version 410 core\nlayout(location = 0) in vec2 p;\nvoid main() { gl_Position = vec4(p, 0, 1); }\n");
    writeFile(dir.path("f.frag"), "#version 410 core\nout vec4 c;\nvoid main() { c = vec4(1); }\n");
    writeFile(dir.path("config.txt"),
        "Texture pic " + dir.path("my picture.png") + "\r\n" + "Texture twice " + dir.path("my picture.png") + "\n"
            + "Texture twice " + dir.path("second.png") + "\n" + "Shader pic " + dir.path("f.frag") + " "
            + dir.path("vertex shader.vert") + "\n");
    testing::internal::CaptureStdout();
    ResourceManager resources(dir.path("config.txt").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the program builds without diagnostics";

    const GLuint pic = resources.getTexture("pic");
    const GLuint twice = resources.getTexture("twice");
    EXPECT_NE(pic, 0u);
    EXPECT_NE(twice, pic);
    EXPECT_EQ(twice, pic + 2) << "both textures of the repeated name were uploaded, in file order";
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, twice);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 5) << "the later line's image is returned";

    ShaderProgram* program = resources.getShader("pic");
    ASSERT_NE(program, nullptr);
    GLint linked = 0;
    glGetProgramiv(program->id, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << "same name as a texture, still its own entry";
}

TEST(ResourceManager, images_decoded_ahead_still_arrive_in_file_order_with_their_warnings)
{
    REQUIRE_GL();
    TempDir dir;
    std::string config;
    constexpr int kImages = 40;
    for (int i = 0; i < kImages; ++i) {
        const std::string file = dir.path("image" + std::to_string(i) + ".png");
        if (i % 9 == 4)
            writeFile(file, "broken " + std::to_string(i));
        else
            writeSolidPng(file, i + 1, 2, i, 0, 0);
        config += "Texture t" + std::to_string(i) + " " + file + "\n";
        if (i == 20)
            config += "File middle text\n";
    }
    writeFile(dir.path("config.txt"), config);
    testing::internal::CaptureStderr();
    ResourceManager resources(dir.path("config.txt").c_str());
    const std::string err = testing::internal::GetCapturedStderr();

    GLuint previous = 0;
    size_t previousWarning = 0;
    for (int i = 0; i < kImages; ++i) {
        const GLuint id = resources.getTexture("t" + std::to_string(i));
        EXPECT_GT(id, previous) << "texture names are made in file order";
        previous = id;
        GLint width = -1;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        if (i % 9 == 4) {
            EXPECT_EQ(width, 0) << i;
            const size_t warning = err.find("image" + std::to_string(i) + ".png");
            ASSERT_NE(warning, std::string::npos) << err;
            EXPECT_GE(warning, previousWarning) << "warnings come in file order";
            previousWarning = warning;
        } else {
            EXPECT_EQ(width, i + 1) << i;
        }
    }
    EXPECT_EQ(resources.getFile("middle"), "text");
}

TEST(ResourceManager, images_prefetched_at_start_up_give_the_same_textures)
{
    REQUIRE_GL();
    TempDir dir;
    writeSolidPng(dir.path("a.png"), 3, 1, 10, 20, 30);
    writeSolidPng(dir.path("b.png"), 5, 1, 40, 50, 60);
    writeFile(dir.path("config.txt"), "Texture a " + dir.path("a.png") + "\nTexture b " + dir.path("b.png") + "\n");
    writeFile(dir.path("other.txt"), "Texture b " + dir.path("b.png") + "\n");

    const auto widthOf = [](GLuint id) {
        GLint width = -1;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    };
    // The prefetch matches the list: its images are used.
    ImageLoader::prefetch(dir.path("config.txt"));
    ResourceManager matching(dir.path("config.txt").c_str());
    EXPECT_EQ(widthOf(matching.getTexture("a")), 3);
    EXPECT_EQ(widthOf(matching.getTexture("b")), 5);
    EXPECT_EQ(ImageLoader::takePrefetched(dir.path("config.txt"), {}), nullptr) << "a prefetch is used once";

    // A prefetch of another list is dropped, not misused.
    ImageLoader::prefetch(dir.path("config.txt"));
    ResourceManager other(dir.path("other.txt").c_str());
    EXPECT_EQ(widthOf(other.getTexture("b")), 5);
    EXPECT_THROW(other.getTexture("a"), std::out_of_range);
}
