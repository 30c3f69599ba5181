// One compiled GL shader object, made from one source file. Compile failures
// are printed on standard output and the stage is returned all the same.
#pragma once

#include <GL/glew.h>

class ShaderStage {
public:
    // Compiles the file at `path` as a shader of `type` (GL_VERTEX_SHADER,
    // GL_FRAGMENT_SHADER). A file that cannot be opened is reported and
    // compiled as an empty source, which GL then judges.
    ShaderStage(const char* path, GLenum type);

    // Prints the info log of a program (isProgram 1) or shader (0), then a
    // line feed.
    static void printInfoLog(GLuint object, int isProgram);

    GLuint shader;
};
