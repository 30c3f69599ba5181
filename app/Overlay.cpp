#include "Overlay.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "engine/InlineProgram.h"
#include "engine/SavedGlState.h"
#include "engine/TextRects.h"

namespace {

const char* const kVertexSource = R"(#version 410 core
layout(location = 0) in vec2 position; // pixels, y down
uniform vec2 viewport;
void main()
{
    gl_Position = vec4(position.x / viewport.x * 2.0 - 1.0, 1.0 - position.y / viewport.y * 2.0, 0.0, 1.0);
}
)";

const char* const kFragmentSource = R"(#version 410 core
uniform vec4 colour;
out vec4 fragColour;
void main()
{
    fragColour = colour;
}
)";

void addRect(std::vector<float>& vertices, float x, float y, float w, float h)
{
    const float corners[12] = {x, y, x + w, y, x + w, y + h, x, y, x + w, y + h, x, y + h};
    vertices.insert(vertices.end(), corners, corners + 12);
}

} // namespace

Overlay::Overlay()
{
    std::string error;
    program = InlineProgram::build(kVertexSource, kFragmentSource, error);
    if (!program)
        throw std::runtime_error("the overlay's program: " + error);
    viewportUniform = glGetUniformLocation(program, "viewport");
    colourUniform = glGetUniformLocation(program, "colour");

    const quorvane_engine::SavedGlState saved;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(0);
}

int Overlay::scaleFor(int height)
{
    // Two pixels a font unit up to 720 lines (a 24-pixel line at 640x360),
    // then one more for every 360 lines: 3 at 1080p, 6 at 4K.
    return std::max(2, height / 360);
}

void Overlay::draw(const std::vector<std::string>& lines, int width, int height)
{
    if (lines.empty() || width <= 0 || height <= 0)
        return;
    const int scale = scaleFor(height);
    const int margin = 4 * scale;
    const int lineHeight = TextRects::kLineHeight * scale;

    // The box first, then the text; their vertices share one buffer.
    int boxWidth = 0;
    for (const std::string& line : lines)
        boxWidth = std::max(boxWidth, TextRects::width(line, scale));
    vertices.clear();
    addRect(vertices, 0.0f, 0.0f, static_cast<float>(boxWidth + 2 * margin),
        static_cast<float>(lineHeight * static_cast<int>(lines.size()) + 2 * margin));
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = margin + static_cast<int>(i) * lineHeight + scale;
        for (const TextRects::Rect& rect : TextRects::layout(lines[i], margin, top, scale))
            addRect(vertices, static_cast<float>(rect.x), static_cast<float>(rect.y), static_cast<float>(rect.width),
                static_cast<float>(rect.height));
    }

    const quorvane_engine::SavedGlState saved;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(program);
    glUniform2f(viewportUniform, static_cast<float>(width), static_cast<float>(height));
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
        GL_STREAM_DRAW);
    glUniform4f(colourUniform, 0.0f, 0.0f, 0.0f, 0.6f);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glUniform4f(colourUniform, 1.0f, 1.0f, 1.0f, 1.0f);
    glDrawArrays(GL_TRIANGLES, 6, static_cast<GLsizei>(vertices.size() / 2 - 6));
}
