#include "InlineProgram.h"

namespace {

// The stage compiled; 0 with the log in `error` when it does not compile.
GLuint compile(GLenum type, const char* source, std::string& error)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return shader;
    char log[1024] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string(type == GL_VERTEX_SHADER ? "the vertex shader" : "the fragment shader")
        + " does not compile: " + log;
    glDeleteShader(shader);
    return 0;
}

} // namespace

GLuint InlineProgram::build(const char* vertexSource, const char* fragmentSource, std::string& error)
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource, error);
    const GLuint fragment = vertex ? compile(GL_FRAGMENT_SHADER, fragmentSource, error) : 0;
    if (!fragment) {
        glDeleteShader(vertex);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked)
        return program;
    char log[1024] = "";
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    error = std::string("the program does not link: ") + log;
    glDeleteProgram(program);
    return 0;
}
