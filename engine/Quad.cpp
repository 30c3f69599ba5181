#include "Quad.h"

namespace {

const GLfloat kPositions[8] = {-1.0f, -1.0f, 1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
const GLfloat kTexCoords[8] = {0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};

void uploadAttribute(GLuint buffer, GLuint location, const GLfloat* data)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(GLfloat), data, GL_STATIC_DRAW);
    glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(location);
}

} // namespace

Quad::Quad()
    : vao(0)
    , vbo{0, 0}
{
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(2, vbo);
    uploadAttribute(vbo[0], 0, kPositions);
    uploadAttribute(vbo[1], 1, kTexCoords);
}

void Quad::draw()
{
    glBindVertexArray(vao);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}
