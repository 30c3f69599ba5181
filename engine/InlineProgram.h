// A small GL program whose sources live in the code: for what draws over the
// show (the makers' overlay, captions) and is no content to edit, so it is
// neither named by the resource list nor reloaded. Unlike ShaderProgram it
// prints nothing: the caller decides what a failure means.
#pragma once

#include "Gl.h"

#include <string>

class InlineProgram {
public:
    // Compiles and links the two sources; the program, or 0 with the
    // compiler's or linker's log in `error`. Needs the GL context.
    static GLuint build(const char* vertexSource, const char* fragmentSource, std::string& error);
};
