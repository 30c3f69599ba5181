// A linked GL program built from a fragment and a vertex source file, with
// texture binding and uniform setters by name. Failures to compile, link or
// validate are printed on standard output; nothing here stops the show.
#pragma once

#include "Gl.h"

#include "Mat4.h"

class ShaderProgram {
public:
    // Creates an empty GL program.
    ShaderProgram();

    // Compiles the file at `path` as a stage of `type` and attaches it.
    void addShader(const char* path, GLenum type);
    // Links, then validates against the GL state of this moment.
    void link();

    // Makes the program current and restarts the texture-unit count at 0.
    void use();
    // Binds `texture` on the next texture unit and points sampler `name` at it.
    void bindTexture(const char* name, GLuint texture);
    // Uniform setters act on the current program; an unknown name is ignored.
    void setInt(const char* name, int value);
    void setFloat(const char* name, float value);
    void setMatrix(const char* name, Mat4 matrix);

    GLuint id;
    int textureUnit;
};
