// The GL state that the layers drawn over the show's picture (captions, the
// makers' overlay, the letterbox bars) may change, taken when it is made and
// put back as it was when it goes: the program, the vertex array, the array
// buffer, the active texture unit and unit 0's 2D texture, blending (on or
// off, and its separate colour and alpha functions), the depth test, the
// scissor test and box, the clear colour and the unpack alignment. A layer
// makes one on its stack and then sets what it needs; while it lives,
// texture unit 0 is the active one. Needs the GL context.
#pragma once

#include "engine/Gl.h"

namespace quorvane_engine {

class SavedGlState {
public:
    SavedGlState();
    ~SavedGlState();
    SavedGlState(const SavedGlState&) = delete;
    SavedGlState& operator=(const SavedGlState&) = delete;

private:
    GLint program = 0;
    GLint vertexArray = 0;
    GLint arrayBuffer = 0;
    GLint activeTexture = 0;
    GLint texture = 0; // unit 0's
    GLboolean blend = GL_FALSE;
    GLint blendSourceRgb = 0;
    GLint blendDestinationRgb = 0;
    GLint blendSourceAlpha = 0;
    GLint blendDestinationAlpha = 0;
    GLboolean depthTest = GL_FALSE;
    GLboolean scissorTest = GL_FALSE;
    GLint scissorBox[4] = {};
    GLfloat clearColour[4] = {};
    GLint unpackAlignment = 4;
};

} // namespace quorvane_engine
