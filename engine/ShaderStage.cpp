#include "ShaderStage.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

ShaderStage::ShaderStage(const char* path, GLenum type)
    : shader(0)
{
    std::string source;
    std::ifstream file(path);
    if (file)
        source.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    else
        printf("Cannot open shader source %s\n", path);

    shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        printf("Shader error\n");
        printf("%s\n", text);
        printInfoLog(shader, 0);
    }
}

void ShaderStage::printInfoLog(GLuint object, int isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);

    std::string log(static_cast<size_t>(length) + 1, '\0');
    if (isProgram)
        glGetProgramInfoLog(object, length, nullptr, &log[0]);
    else
        glGetShaderInfoLog(object, length, nullptr, &log[0]);
    printf("%s\n", log.c_str());
}
