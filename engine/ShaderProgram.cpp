#include "ShaderProgram.h"

#include <cstdio>

#include "ShaderStage.h"

ShaderProgram::ShaderProgram()
    : id(glCreateProgram())
    , textureUnit(0)
{
}

void ShaderProgram::addShader(const char* path, GLenum type)
{
    // The shader object stays attached for as long as the program lives.
    const ShaderStage stage(path, type);
    glAttachShader(id, stage.shader);
}

void ShaderProgram::link()
{
    GLint status = 0;
    glLinkProgram(id);
    glGetProgramiv(id, GL_LINK_STATUS, &status);
    if (status == 0) {
        printf("Link error\n");
        ShaderStage::printInfoLog(id, 1);
    }

    glValidateProgram(id);
    glGetProgramiv(id, GL_VALIDATE_STATUS, &status);
    if (status == 0) {
        printf("Validate error\n");
        ShaderStage::printInfoLog(id, 1);
    }
}

void ShaderProgram::use()
{
    glUseProgram(id);
    textureUnit = 0;
}

void ShaderProgram::bindTexture(const char* name, GLuint texture)
{
    const int unit = textureUnit;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(glGetUniformLocation(id, name), unit);
    textureUnit = unit + 1;
}

void ShaderProgram::setInt(const char* name, int value)
{
    glUniform1i(glGetUniformLocation(id, name), value);
}

void ShaderProgram::setFloat(const char* name, float value)
{
    glUniform1f(glGetUniformLocation(id, name), value);
}

void ShaderProgram::setMatrix(const char* name, Mat4 matrix)
{
    glUniformMatrix4fv(glGetUniformLocation(id, name), 1, GL_FALSE, matrix.data());
}
