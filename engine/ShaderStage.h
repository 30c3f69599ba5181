// One compiled GL shader object, made from one source file. Compile failures
// are printed on standard output and the stage is returned all the same.
#pragma once

#include "Gl.h"

#include <string>

class ShaderStage {
public:
    // Compiles the file at `path` as a shader of `type` (GL_VERTEX_SHADER,
    // GL_FRAGMENT_SHADER). A file that cannot be opened is reported and
    // compiled as an empty source, which GL then judges.
    ShaderStage(const char* path, GLenum type);

    // The GLSL source in the dialect of this platform's GL: unchanged on the
    // desktop, toEs300 in a browser.
    static std::string forThisGl(const std::string& source);
    // The desktop GLSL `source` as GLSL ES 3.00: its #version directive
    // (after any byte-order mark, blanks and comments, which are dropped)
    // becomes "#version 300 es"; the #extension directives that follow it
    // stay ahead of the default precisions added next (high for floats, ints
    // and 2D samplers); #line directives keep the line numbers of compiler
    // messages those of the file. A source without a #version directive gets
    // the same lines in front of it.
    // Uniforms declared with an initializer (which GLSL ES lacks) become
    // constants of that value: code that looks them up finds none. A
    // declaration that gives some of its names an initializer and others
    // none is refused: an #error directive then says where, and the compiler
    // reports it.
    static std::string toEs300(const std::string& source);
    // `source`, whose first line is line `firstLine` of its file, with each
    // uniform declared with an initializer declaring a constant instead;
    // line breaks and columns stay where they were. A declaration that
    // initializes some names and not others stays as it is, and `refusal`
    // (empty otherwise) says where the first one is.
    static std::string constantUniforms(std::string source, int firstLine, std::string& refusal);

    // Prints the info log of a program (isProgram 1) or shader (0), then a
    // line feed.
    static void printInfoLog(GLuint object, int isProgram);

    GLuint shader;
};
