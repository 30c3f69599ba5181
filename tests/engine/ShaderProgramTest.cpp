#include <gtest/gtest.h>

#include <string>

#include "GlTest.h"
#include "TestFiles.h"
#include "TestShow.h"
#include "engine/Mat4.h"
#include "engine/Quad.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"
#include "engine/ShaderStage.h"

namespace {

const char* const kVertex = "#version 410 core\n"
                            "layout(location = 0) in vec2 position;\n"
                            "uniform mat4 pmatrix;\n"
                            "void main() { gl_Position = pmatrix * vec4(position, 0.0, 1.0); }\n";
const char* const kFragment = "#version 410 core\n"
                              "uniform sampler2D a;\nuniform sampler2D b;\nuniform sampler2D c;\n"
                              "out vec4 colour;\n"
                              "void main() { colour = vec4(1.0, 0.0, 0.0, 1.0) + 1e-6 * (texture(a, vec2(0)) +"
                              " texture(b, vec2(0)) + texture(c, vec2(0))); }";

// Builds a program from two source texts and returns what it printed.
std::string build(TempDir& dir, const std::string& fragment, const std::string& vertex, ShaderProgram** out)
{
    writeFile(dir.path("f.frag"), fragment);
    writeFile(dir.path("v.vert"), vertex);
    testing::internal::CaptureStdout();
    ShaderProgram* program = new ShaderProgram();
    program->addShader(dir.path("f.frag").c_str(), GL_FRAGMENT_SHADER);
    program->addShader(dir.path("v.vert").c_str(), GL_VERTEX_SHADER);
    program->link();
    if (out)
        *out = program;
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(ShaderProgram, good_sources_build_silently_and_the_last_byte_counts)
{
    REQUIRE_GL();
    TempDir dir;
    ShaderProgram* program = nullptr;
    // The fragment source ends in '}' with no newline: passed whole.
    EXPECT_EQ(build(dir, kFragment, kVertex, &program), "");
    GLint linked = 0;
    glGetProgramiv(program->id, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
}

TEST(ShaderProgram, a_bad_stage_prints_its_source_and_every_failure_in_order)
{
    REQUIRE_GL();
    TempDir dir;
    const std::string broken = "#version 410 core\nout vec4 colour;\nvoid main() { colour = nonsense; }\n";
    const std::string out = build(dir, broken, kVertex, nullptr);

    const size_t shaderError = out.find("Shader error\n");
    const size_t source = out.find(broken);
    const size_t linkError = out.find("Link error\n");
    const size_t validateError = out.find("Validate error\n");
    ASSERT_EQ(shaderError, 0u) << out;
    EXPECT_EQ(source, shaderError + 13) << "the source follows the first line";
    EXPECT_NE(out.find("nonsense", source + broken.size()), std::string::npos) << "the compiler's log follows";
    ASSERT_NE(linkError, std::string::npos) << out;
    ASSERT_NE(validateError, std::string::npos) << out;
    EXPECT_LT(source, linkError);
    EXPECT_LT(linkError, validateError);
}

TEST(ShaderProgram, empty_and_missing_sources_are_judged_by_gl_and_building_goes_on)
{
    REQUIRE_GL();
    TempDir dir;
    const std::string empty = build(dir, "", kVertex, nullptr);
    EXPECT_NE(empty.find("Link error\n"), std::string::npos) << empty;

    testing::internal::CaptureStdout();
    ShaderProgram* program = new ShaderProgram();
    program->addShader(dir.path("no-such.frag").c_str(), GL_FRAGMENT_SHADER);
    program->link();
    const std::string missing = testing::internal::GetCapturedStdout();
    EXPECT_NE(missing.find(dir.path("no-such.frag")), std::string::npos) << "the path is named: " << missing;
    EXPECT_NE(missing.find("Link error\n"), std::string::npos) << missing;
}

TEST(ShaderProgram, an_empty_info_log_prints_an_empty_line)
{
    REQUIRE_GL();
    TempDir dir;
    ShaderProgram* program = nullptr;
    build(dir, kFragment, kVertex, &program);
    GLint length = -1;
    glGetProgramiv(program->id, GL_INFO_LOG_LENGTH, &length);
    if (length > 1)
        GTEST_SKIP() << "this driver logs something even for a good program";
    testing::internal::CaptureStdout();
    ShaderStage::printInfoLog(program->id, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
}

TEST(ShaderProgram, each_bind_after_use_takes_the_next_texture_unit)
{
    REQUIRE_GL();
    TempDir dir;
    ShaderProgram* program = nullptr;
    build(dir, kFragment, kVertex, &program);
    const GLuint textures[3] = {solidTexture(1, 0, 0, 255), solidTexture(2, 0, 0, 255), solidTexture(3, 0, 0, 255)};

    program->use();
    const char* names[3] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        program->bindTexture(names[i], textures[i]);
        GLint unit = -1;
        glGetUniformiv(program->id, glGetUniformLocation(program->id, names[i]), &unit);
        EXPECT_EQ(unit, i) << names[i];
        GLint bound = 0;
        glActiveTexture(GL_TEXTURE0 + i);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), textures[i]) << "unit " << i;
    }
    EXPECT_EQ(program->textureUnit, 3);

    program->use();
    EXPECT_EQ(program->textureUnit, 0);
    program->bindTexture("c", textures[0]);
    GLint unit = -1;
    glGetUniformiv(program->id, glGetUniformLocation(program->id, "c"), &unit);
    EXPECT_EQ(unit, 0) << "a new use starts again at unit 0";

    program->setInt("no_such_uniform", 3); // ignored by GL, no crash
    program->setFloat("no_such_uniform", 3.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ShaderProgram, set_matrix_uploads_untransposed_so_a_translation_moves_geometry)
{
    REQUIRE_GL();
    TempDir dir;
    ShaderProgram* program = nullptr;
    build(dir, kFragment, kVertex, &program);
    Framebuffer target(64, 32);
    setShowGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    Mat4 matrix;
    matrix.setScale(0.25, 0.5, 1);
    matrix.set(12, 0.5f); // the quad now spans x = 0.25 ... 0.75
    program->use();
    program->setMatrix(UniformName::kMatrix, matrix);
    Quad quad;
    quad.draw();

    const auto pixels = target.readPixels();
    const Rgba red{255, 0, 0, 255};
    const Rgba white{255, 255, 255, 255};
    EXPECT_TRUE(near(pixelAtNdc(pixels, 64, 32, 0.5, 0.0), red));
    EXPECT_TRUE(near(pixelAtNdc(pixels, 64, 32, 0.3, 0.4), red));
    EXPECT_TRUE(near(pixelAtNdc(pixels, 64, 32, 0.1, 0.0), white));
    EXPECT_TRUE(near(pixelAtNdc(pixels, 64, 32, 0.9, 0.0), white));
    EXPECT_TRUE(near(pixelAtNdc(pixels, 64, 32, -0.5, 0.0), white));
}

const std::string kEsPrecisions = "precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n";
const std::string kEsHeader = "#version 300 es\n" + kEsPrecisions;

// Desktop sources that GLSL ES takes only once converted: a byte-order mark
// or comments before #version, #extension lines, uniform initializers on a
// line with another declaration or over several lines, and a declaration
// that can only be refused.
const struct {
    const char* source;
    std::string expected;
} kEsCases[] = {
    {"\xEF\xBB\xBF#version 410 core\nvoid main() {}\n", kEsHeader + "#line 2\nvoid main() {}\n"},
    {"// a\n/* b\n c */ #version 410 core\nvoid main() {}\n", kEsHeader + "#line 4\nvoid main() {}\n"},
    {"#version 410 core\n#extension GL_OES_standard_derivatives : enable\n\n// x\n"
     "#extension GL_EXT_shader_texture_lod : enable\nvoid main() {}\n",
        "#version 300 es\n#line 2\n#extension GL_OES_standard_derivatives : enable\n\n// x\n"
        "#extension GL_EXT_shader_texture_lod : enable\n"
            + kEsPrecisions + "#line 6\nvoid main() {}\n"},
    {"#version 410 core\nuniform float a; uniform float b = 1.0, c = 2.0; /* uniform d = 3; */\n"
     "uniform vec2 e\n    = vec2(b,\n           c);\nvoid main() {}\n",
        kEsHeader
            + "#line 2\nuniform float a; const   float b = 1.0, c = 2.0; /* uniform d = 3; */\n"
              "const   vec2 e\n    = vec2(b,\n           c);\nvoid main() {}\n"},
    {"#version 410 core\n\nuniform float a = 1.0, b;\nvoid main() {}\n",
        "#version 300 es\n#error line 3: a uniform declaration gives some names an initializer and others none; GLSL "
        "ES has no uniform initializers: declare those with one apart\n"
            + kEsPrecisions + "#line 2\n\nuniform float a = 1.0, b;\nvoid main() {}\n"},
};

TEST(ShaderStage, es300_replaces_the_version_line_and_keeps_line_numbers)
{
    const struct {
        const char* source;
        std::string expected;
    } cases[] = {
        {"#version 410 core\nvoid main() {}\n", kEsHeader + "#line 2\nvoid main() {}\n"},
        {"\n\n#version 410 core\r\nvoid main() {}", kEsHeader + "#line 4\nvoid main() {}"},
        {"void main() {}\n", kEsHeader + "#line 1\nvoid main() {}\n"},
        {"", kEsHeader + "#line 1\n"},
        {"#version 410 core", kEsHeader},
        {"#version 410 core\nuniform float line = 0.3;\n  uniform int n;\nuniform vec2 v = vec2(1.0, 2.0); // x\n",
            kEsHeader + "#line 2\nconst   float line = 0.3;\n  uniform int n;\nconst   vec2 v = vec2(1.0, 2.0); // x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ShaderStage::toEs300(c.source), c.expected);
    }
    for (const auto& c : kEsCases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ShaderStage::toEs300(c.source), c.expected);
    }
}

TEST(ShaderStage, every_show_shader_builds_as_glsl_es_300)
{
    REQUIRE_GL();
    // The browser build hands these same files to WebGL 2 through toEs300;
    // a desktop GL with ES 3.0 compatibility judges them the same way.
    if (!GLEW_ARB_ES3_compatibility)
        GTEST_SKIP() << "this OpenGL cannot compile GLSL ES 3.00";
    const auto linked = [](const ShaderProgram* program) {
        GLint status = 0;
        glGetProgramiv(program->id, GL_LINK_STATUS, &status);
        return status == GL_TRUE;
    };
    for (const char* name : {"default", "sprite", "blood"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string data = sourceRoot() + "/data/" + name;
        ShaderProgram* program = nullptr;
        EXPECT_EQ(build(dir, ShaderStage::toEs300(readFile(data + ".frag")),
                      ShaderStage::toEs300(readFile(data + ".vert")), &program),
            "");
        EXPECT_TRUE(linked(program));
    }
    // The converted sources compile too, but for the refused one, whose
    // compiler log tells why.
    const std::string vertex = ShaderStage::toEs300("#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n");
    for (const auto& c : kEsCases) {
        SCOPED_TRACE(c.source);
        TempDir dir;
        const std::string fragment = std::string(c.source) + "out vec4 colour;\n";
        ShaderProgram* program = nullptr;
        const std::string printed = build(dir, ShaderStage::toEs300(fragment), vertex, &program);
        const bool refused = c.expected.find("#error") != std::string::npos;
        EXPECT_EQ(linked(program), !refused) << printed;
        if (refused) {
            EXPECT_NE(printed.find("declare those with one apart"), std::string::npos) << printed;
        }
    }
}
