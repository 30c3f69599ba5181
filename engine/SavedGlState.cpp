#include "SavedGlState.h"

namespace quorvane_engine {

namespace {

void setEnabled(GLenum capability, GLboolean enabled)
{
    if (enabled)
        glEnable(capability);
    else
        glDisable(capability);
}

} // namespace

SavedGlState::SavedGlState()
{
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    blend = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendSourceRgb);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendDestinationRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSourceAlpha);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDestinationAlpha);
    depthTest = glIsEnabled(GL_DEPTH_TEST);
    scissorTest = glIsEnabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
}

SavedGlState::~SavedGlState()
{
    glUseProgram(static_cast<GLuint>(program));
    glBindVertexArray(static_cast<GLuint>(vertexArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glActiveTexture(static_cast<GLenum>(activeTexture));
    setEnabled(GL_BLEND, blend);
    glBlendFuncSeparate(static_cast<GLenum>(blendSourceRgb), static_cast<GLenum>(blendDestinationRgb),
        static_cast<GLenum>(blendSourceAlpha), static_cast<GLenum>(blendDestinationAlpha));
    setEnabled(GL_DEPTH_TEST, depthTest);
    setEnabled(GL_SCISSOR_TEST, scissorTest);
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
}

} // namespace quorvane_engine
