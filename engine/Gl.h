// The OpenGL API the engine and the show draw with: OpenGL 4.1 core through
// GLEW on the desktop, OpenGL ES 3.0 (WebGL 2) in a browser. Include this
// instead of a platform's GL header.
#pragma once

#ifdef __EMSCRIPTEN__

#include <GLES3/gl3.h>

// WebGL always takes point sizes from the vertex shader and has no switch
// for it: enabling GL_PROGRAM_POINT_SIZE there is an invalid enum. The name
// stays so that the same GL state set-up serves both; glEnable skips it.
#ifndef GL_PROGRAM_POINT_SIZE
#define GL_PROGRAM_POINT_SIZE 0x8642
#endif

// glEnable without the capabilities that WebGL 2 lacks.
inline void quorvaneGlEnable(GLenum capability)
{
    if (capability != GL_PROGRAM_POINT_SIZE)
        glEnable(capability);
}
#define glEnable quorvaneGlEnable

#else

#include <GL/glew.h>

#endif
