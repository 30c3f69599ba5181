// What the player draws over the show's picture (a caption, the letterbox
// bars, the overlay) leaves the GL state as it found it, read back with
// glGet after each; and it draws what it should where it should.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "GlTest.h"
#include "app/Letterbox.h"
#include "app/Overlay.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"
#include "engine/InlineProgram.h"

namespace {

// The state a layer could change, as glGet reads it.
struct GlState {
    GLint program, vertexArray, arrayBuffer, activeTexture, texture0, texture1;
    GLboolean blend;
    GLint blendFunctions[4]; // source and destination colour, source and destination alpha
    GLboolean depthTest, scissorTest;
    GLint scissorBox[4];
    GLfloat clearColour[4];
    GLint unpackAlignment;

    static GlState read()
    {
        GlState state{};
        glGetIntegerv(GL_CURRENT_PROGRAM, &state.program);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &state.vertexArray);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &state.arrayBuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &state.activeTexture);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture0);
        glActiveTexture(GL_TEXTURE1);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture1);
        glActiveTexture(static_cast<GLenum>(state.activeTexture));
        state.blend = glIsEnabled(GL_BLEND);
        glGetIntegerv(GL_BLEND_SRC_RGB, &state.blendFunctions[0]);
        glGetIntegerv(GL_BLEND_DST_RGB, &state.blendFunctions[1]);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &state.blendFunctions[2]);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &state.blendFunctions[3]);
        state.depthTest = glIsEnabled(GL_DEPTH_TEST);
        state.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
        glGetIntegerv(GL_SCISSOR_BOX, state.scissorBox);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, state.clearColour);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &state.unpackAlignment);
        return state;
    }

    std::string text() const
    {
        std::ostringstream out;
        out << "program " << program << ", vertex array " << vertexArray << ", array buffer " << arrayBuffer
            << ", active texture 0x" << std::hex << activeTexture << std::dec << ", textures " << texture0 << " "
            << texture1 << ", blend " << int(blend) << " functions 0x" << std::hex << blendFunctions[0] << " 0x"
            << blendFunctions[1] << " 0x" << blendFunctions[2] << " 0x" << blendFunctions[3] << std::dec
            << ", depth test " << int(depthTest) << ", scissor test " << int(scissorTest) << " box "
            << scissorBox[0] << " " << scissorBox[1] << " " << scissorBox[2] << " " << scissorBox[3]
            << ", clear colour " << clearColour[0] << " " << clearColour[1] << " " << clearColour[2] << " "
            << clearColour[3] << ", unpack alignment " << unpackAlignment;
        return out.str();
    }
};

// A state unlike any a layer sets: objects of the test's own bound, a
// second texture unit active, blending with separate alpha functions.
struct ForeignState {
    GLuint program = 0, vertexArray = 0, buffer = 0, textures[2] = {};

    ForeignState(bool enabled)
    {
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(1, &buffer);
        glGenTextures(2, textures);
        std::string error;
        program = InlineProgram::build("#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n",
            "#version 410 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n", error);
        EXPECT_NE(program, 0u) << error;
        glUseProgram(program);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        (enabled ? glEnable : glDisable)(GL_BLEND);
        glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
        (enabled ? glEnable : glDisable)(GL_DEPTH_TEST);
        (enabled ? glEnable : glDisable)(GL_SCISSOR_TEST);
        glScissor(3, 5, 7, 11);
        glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    }
    ~ForeignState()
    {
        glUseProgram(0);
        glDeleteProgram(program);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(1, &buffer);
        glDeleteTextures(2, textures);
        glDisable(GL_SCISSOR_TEST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
};

} // namespace

TEST(GlState, a_caption_the_letterbox_bars_and_the_overlay_leave_the_gl_state_as_they_found_it)
{
    REQUIRE_GL();
    // A square picture in a 400x400 drawable: bars above and below.
    Framebuffer target(400, 400);
    target.bind();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const quorvane_engine::Cue cue{0.0, 1.0, {"Rest well, Milo.", "Later."}};
    const Letterbox::Rect picture = Letterbox::fit(400, 400);
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "tests and blending on" : "tests and blending off");
        ForeignState foreign(enabled);
        const GlState before = GlState::read();
        const struct {
            const char* layer;
            std::function<void()> draw;
        } layers[] = {
            {"a caption painter made and drawing", [&] {
                 quorvane_engine::CaptionPainter painter;
                 ASSERT_TRUE(painter.ok()) << painter.error();
                 glViewport(picture.x, picture.y, picture.width, picture.height);
                 painter.draw(&cue, picture.width, picture.height);
                 painter.draw(&cue, picture.width, picture.height); // set once, drawn again
             }},
            {"the letterbox bars", [&] { Letterbox::clearBars(picture, 400, 400); }},
            {"the overlay made and drawing", [&] {
                 Overlay overlay;
                 overlay.draw({"12.000 s", "paused"}, picture.width, picture.height);
             }},
        };
        for (const auto& layer : layers) {
            SCOPED_TRACE(layer.layer);
            layer.draw();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            EXPECT_EQ(GlState::read().text(), before.text());
        }
    }
    glViewport(0, 0, 400, 400);
    const std::vector<uint8_t> pixels = target.readPixels();
    // Black bars above and below the picture, none on it; the caption's band
    // in its lower fifth, darker than the green behind it.
    for (const int row : {0, picture.y - 1, 399 - picture.y + 1, 399}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(near(pixelAt(pixels, 400, 200, row), Rgba{0, 0, 0, 255}, 0)) << pixelAt(pixels, 400, 200, row);
    }
    const int middle = 400 / 2;
    EXPECT_TRUE(near(pixelAt(pixels, 400, 399, middle), Rgba{0, 255, 0, 255}, 0)) << pixelAt(pixels, 400, 399, middle);
    const int bandRow = picture.y + picture.height * 9 / 10; // rows from the top; the picture is centred
    EXPECT_LT(pixelAt(pixels, 400, middle, bandRow).g, 200) << "no caption band";
}
