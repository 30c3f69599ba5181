#include "ShaderStage.h"

#include <algorithm>
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

    source = forThisGl(source);
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

std::string ShaderStage::forThisGl(const std::string& source)
{
#ifdef __EMSCRIPTEN__
    return toEs300(source);
#else
    return source;
#endif
}

std::string ShaderStage::toEs300(const std::string& source)
{
    const std::string header = "#version 300 es\n"
                               "precision highp float;\n"
                               "precision highp int;\n"
                               "precision highp sampler2D;\n";
    // Skip leading blanks; a #version line must come first in GLSL.
    const size_t start = source.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || source.compare(start, 8, "#version") != 0)
        return header + "#line 1\n" + constantUniforms(source);
    const size_t lineEnd = source.find('\n', start);
    if (lineEnd == std::string::npos)
        return header;
    // Lines before and including the #version line: the next line is number
    // that count plus one.
    size_t versionLine = 1;
    for (size_t i = 0; i < start; ++i)
        versionLine += source[i] == '\n' ? 1 : 0;
    return header + "#line " + std::to_string(versionLine + 1) + "\n" + constantUniforms(source.substr(lineEnd + 1));
}

std::string ShaderStage::constantUniforms(std::string source)
{
    size_t line = 0;
    while (line < source.size()) {
        const size_t end = std::min(source.find('\n', line), source.size());
        const size_t word = source.find_first_not_of(" \t", line);
        if (word < end && source.compare(word, 8, "uniform ") == 0) {
            const size_t equals = source.find('=', word);
            const size_t semicolon = source.find(';', word);
            if (equals < end && equals < semicolon)
                source.replace(word, 8, "const   ");
        }
        line = end + 1;
    }
    return source;
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
